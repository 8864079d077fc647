#pragma once

#include <windows.h>

namespace renpin::window {

// Sent to the form after one of its controls has taken the keyboard focus, whichever way it came:
// Tab, a mouse click, a program's SetFocus, or the focus coming back after a notice.
inline constexpr UINT control_focused_message = WM_APP + 1;

// Has every control of the form that takes the focus report it with control_focused_message.
void report_control_focus(HWND form);

}  // namespace renpin::window
