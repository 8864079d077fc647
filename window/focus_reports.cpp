#include "window/focus_reports.h"

#include <commctrl.h>

#include "window/controls.h"

namespace renpin::window {
namespace {

constexpr UINT_PTR subclass_id = 1;

LRESULT CALLBACK report_focus(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, report_focus, subclass_id);
        return DefSubclassProc(control, message, wparam, lparam);
    }
    const LRESULT result = DefSubclassProc(control, message, wparam, lparam);
    if (message == WM_SETFOCUS) {
        // After the control's own handling, so the form sees the focus where it now is.
        SendMessageW(GetParent(control), control_focused_message, 0, 0);
    }
    return result;
}

}  // namespace

void report_control_focus(HWND form) {
    for (const ControlEntry& entry : form1_controls) {
        if (entry.style & WS_TABSTOP) {
            SetWindowSubclass(GetDlgItem(form, static_cast<int>(entry.id)), report_focus,
                              subclass_id, 0);
        }
    }
}

}  // namespace renpin::window
