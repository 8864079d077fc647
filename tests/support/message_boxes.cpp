#include "message_boxes.h"

#include <chrono>

#include "platform/wide_text.h"
#include "window_reading.h"

namespace renpin::test {

SeenMessageBox answer_message_box(HWND box, int button_id) {
    // The message box's text is the static control with the id 0xFFFF; the system keeps a
    // static's text where another process can read it.
    SeenMessageBox seen{platform::window_text(box), platform::window_text(GetDlgItem(box, 0xFFFF))};
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button_id)));
    return seen;
}

MessageBoxAnswerer::MessageBoxAnswerer(int button_id)
    : thread_([this, button_id] { watch(button_id); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    finish();
}

std::vector<SeenMessageBox> MessageBoxAnswerer::finish() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    return seen_;
}

void MessageBoxAnswerer::watch(int button_id) {
    // One message box, found within ten seconds or not at all.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!stop_ && std::chrono::steady_clock::now() < deadline) {
        if (const HWND box = find_visible_window(GetCurrentProcessId(), message_box_class)) {
            seen_.push_back(answer_message_box(box, button_id));
            return;
        }
        Sleep(20);
    }
}

}  // namespace renpin::test
