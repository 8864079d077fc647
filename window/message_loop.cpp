#include "window/message_loop.h"

namespace renpin::window {

void route_message(HWND form, MSG& message) {
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
