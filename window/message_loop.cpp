#include "window/message_loop.h"

namespace renpin::window {
namespace {

// The keys that the dialog manager handles differently for a plain window than for a dialog.
// Returns whether the key was handled here and must go no further.
bool handle_dialog_key(HWND form, const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.hwnd != form && !IsChild(form, message.hwnd))) {
        return false;
    }
    switch (message.wParam) {
        case VK_ESCAPE:
            // The window has no Cancel button, so Esc has nothing to do. Left to go on, it
            // would reach the output box, which turns it into a close request.
            return true;
        case VK_TAB: {
            // As for a dialog: the window moves the focus, so the default button follows it.
            const auto wanted = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                             reinterpret_cast<LPARAM>(&message));
            if (wanted & (DLGC_WANTTAB | DLGC_WANTMESSAGE)) {
                return false;
            }
            const bool backwards = GetKeyState(VK_SHIFT) < 0;
            SendMessageW(form, WM_NEXTDLGCTL, backwards ? TRUE : FALSE, FALSE);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

void route_message(HWND form, MSG& message) {
    if (handle_dialog_key(form, message)) {
        return;
    }
    if (!IsDialogMessageW(form, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int run_message_loop(HWND form) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        route_message(form, message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace renpin::window
