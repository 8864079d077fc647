#pragma once

#include <windows.h>

namespace renpin::platform {

// The DPI the window is shown at: its monitor's where the system knows per-monitor DPI (the
// window's own from Windows 10 1607, its monitor's from shcore on Windows 8.1), the system DPI
// otherwise.
[[nodiscard]] UINT window_dpi(HWND window);

// The window rectangle that gives `client` as the client area for that style at that DPI.
[[nodiscard]] RECT window_rect_for_client(const RECT& client, DWORD style, DWORD ex_style,
                                          UINT dpi);

// The system's message font (the default GUI font of dialogs) at the given DPI.
[[nodiscard]] LOGFONTW message_font(UINT dpi);

// Keeps the dialog manager of Windows 10 1703 and later from rescaling the dialog and its present
// controls (their fonts, places and sizes) when the dialog's DPI changes, for a dialog that lays
// itself out. Does nothing on systems without that rescaling.
void disable_dialog_dpi_scaling(HWND dialog);

}  // namespace renpin::platform
