#pragma once

#include <windows.h>

namespace renpin::window {

// Hands one message to the dialog manager's keyboard handling of the form (Tab, Enter, Space)
// or, failing that, to its window. Esc goes nowhere.
void route_message(HWND form, MSG& message);

// Runs until the form is closed; returns the exit code the form posted.
int run_message_loop(HWND form);

}  // namespace renpin::window
