#include "window/message_loop.h"

namespace renpin::window {

void route_message(HWND form, MSG& message) {
    // The window has no Cancel button, so Esc has nothing to do. Left to go on, it would reach
    // the output box, which as a multi-line box in a dialog turns it into a close request.
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
        (message.hwnd == form || IsChild(form, message.hwnd))) {
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
