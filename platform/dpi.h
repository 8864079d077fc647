#pragma once

#include <windows.h>

namespace renpin::platform {

// The DPI the window is shown at: its monitor's where the system knows per-monitor DPI, the
// system DPI otherwise.
UINT window_dpi(HWND window);

// The effective DPI of the monitor that holds most of the window, from shcore (Windows 8.1 and
// later); 0 where the system cannot tell.
UINT monitor_dpi(HWND window);

// The window rectangle that gives `client` as the client area for that style at that DPI.
RECT window_rect_for_client(const RECT& client, DWORD style, DWORD ex_style, UINT dpi);

// The system's message font (the default GUI font of dialogs) at the given DPI.
LOGFONTW message_font(UINT dpi);

}  // namespace renpin::platform
