#pragma once

#include <windows.h>

namespace renpin::window {

// Hands one message to the form's keyboard handling (Tab, Enter) or, failing that, to its window.
void route_message(HWND form, MSG& message);

// Runs until the form is closed; returns the exit code the form posted.
int run_message_loop(HWND form);

}  // namespace renpin::window
