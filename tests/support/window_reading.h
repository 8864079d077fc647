#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "window/controls.h"

// Reading windows as another program sees them: no call here runs in the window's process.
namespace renpin::test {

// A control of the main window.
[[nodiscard]] HWND form_control(HWND form, window::ControlId id);

[[nodiscard]] std::wstring class_name(HWND window);

// The window's rectangle in the client area of its parent.
[[nodiscard]] RECT rect_in_parent(HWND window);

// The whole text of a control, asked of the control itself: GetWindowText does not ask another
// process's edit box. Empty if the control does not answer within the time.
[[nodiscard]] std::wstring control_text(HWND control, DWORD timeout_milliseconds = 5'000);

// The visible top-level windows of a process (of any process for 0), of a class when one is
// given, in z-order.
[[nodiscard]] std::vector<HWND> visible_windows(DWORD process, const wchar_t* window_class);

// The first of visible_windows, or null.
[[nodiscard]] HWND find_visible_window(DWORD process, const wchar_t* window_class);

// Polls find_visible_window every `poll_milliseconds` until it finds one or the time is up.
[[nodiscard]] HWND wait_for_visible_window(DWORD process, const wchar_t* window_class,
                                           DWORD timeout_milliseconds, DWORD poll_milliseconds);

// Waits until the window is visible, looking once a millisecond: meant for the short time
// between a window's creation or focus, which a WindowWatch reports, and its showing.
bool wait_until_visible(HWND window, DWORD timeout_milliseconds);

// Polls every millisecond until the window is gone; returns whether it went in time.
bool wait_until_gone(HWND window, DWORD timeout_milliseconds);

}  // namespace renpin::test
