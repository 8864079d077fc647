#pragma once

#include <windows.h>

namespace renpin::platform {

// Clears WS_THICKFRAME from the window's style, keeping every other bit, so the window can no
// longer be resized with the mouse.
void remove_sizing_border(HWND window);

}  // namespace renpin::platform
