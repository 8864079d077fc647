#pragma once

#include <windows.h>

namespace renpin::window {

// Registers the main window's class under `class_name`: a dialog class, whose procedure hands
// what it does not handle to DefDlgProcW, with the program's icon at both sizes, the arrow cursor
// and the dialog face as background. Returns 0 on failure.
[[nodiscard]] ATOM register_form_class(HINSTANCE instance, WNDPROC procedure,
                                       const wchar_t* class_name);

}  // namespace renpin::window
