#include "window_test_support.h"

#include <commctrl.h>

#include <chrono>

#include "platform/wide_text.h"
#include "window/message_loop.h"

namespace renpin::test {

void pump_messages(HWND form) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            window::route_message(form, message);
        }
    }
}

void RecordedFormTest::SetUp() {
    form = create_form();
    ASSERT_TRUE(form);
    form->replace_notice_box(recorder.box());
}

void RecordedFormTest::click(window::ControlId button) {
    SendMessageW(form->control(button), BM_CLICK, 0, 0);
    pump_messages(form->handle());
}

void RecordedFormTest::show() {
    form->show(SW_SHOWNORMAL);
    SetForegroundWindow(form->handle());
    pump_messages(form->handle());
}

std::unique_ptr<window::Form1> create_form() {
    INITCOMMONCONTROLSEX common_controls{sizeof(common_controls),
                                         ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common_controls);
    return window::Form1::create(GetModuleHandleW(nullptr));
}

RECT rect_in_parent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring class_name(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

void press_key(HWND form, WPARAM key) {
    MSG down{GetFocus(), WM_KEYDOWN, key, 1, static_cast<DWORD>(GetMessageTime()), {}};
    window::route_message(form, down);
    MSG up{GetFocus(),
           WM_KEYUP,
           key,
           static_cast<LPARAM>(0xC0000001),
           static_cast<DWORD>(GetMessageTime()),
           {}};
    window::route_message(form, up);
    pump_messages(form);
}

MessageBoxAnswerer::MessageBoxAnswerer(int button_id)
    : thread_([this, button_id] { watch(button_id); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::vector<SeenMessageBox> MessageBoxAnswerer::finish() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    return seen_;
}

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK find_message_box(HWND window, LPARAM search_address) {
    auto* search = reinterpret_cast<Search*>(search_address);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window) && class_name(window) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void MessageBoxAnswerer::watch(int button_id) {
    // One message box, found within ten seconds or not at all.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!stop_ && std::chrono::steady_clock::now() < deadline) {
        Search search{GetCurrentProcessId(), nullptr};
        EnumWindows(find_message_box, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            Sleep(20);
            continue;
        }
        // The message box's text is the static control with the id 0xFFFF.
        seen_.push_back({platform::window_text(search.found),
                         platform::window_text(GetDlgItem(search.found, 0xFFFF))});
        PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(search.found, button_id)));
        return;
    }
}

}  // namespace renpin::test
