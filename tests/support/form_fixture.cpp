#include "form_fixture.h"

#include <commctrl.h>

#include "platform/notice_box.h"
#include "platform/process_start.h"
#include "platform/wide_text.h"
#include "window/message_loop.h"

namespace renpin::test {
namespace {

RecordedEffects* recorded_effects = nullptr;

}  // namespace

RecordedEffects::RecordedEffects() {
    recorded_effects = this;
}

RecordedEffects::~RecordedEffects() {
    if (recorded_effects == this) {
        recorded_effects = nullptr;
    }
}

void pump_messages(HWND form) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            window::route_message(form, message);
        }
    }
}

std::unique_ptr<window::Form1> create_form() {
    INITCOMMONCONTROLSEX common_controls{sizeof(common_controls),
                                         ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common_controls);
    return window::Form1::create(GetModuleHandleW(nullptr));
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

void RecordedFormTest::SetUp() {
    form = create_form();
    ASSERT_TRUE(form);
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

}  // namespace renpin::test

// The window's calls of the two: defined here, beside the fixture that every test of the window
// in its own process uses, so that the linker takes these before it reaches the window's library.
namespace renpin::platform {

NoticeResult show_notice_box(HWND owner, std::u16string_view text, std::u16string_view title,
                             NoticeIcon icon, NoticeButtons buttons) {
    test::RecordedEffects* recorder = test::recorded_effects;
    if (recorder == nullptr || recorder->to_system_box) {
        return static_cast<NoticeResult>(
            MessageBoxW(owner, to_wide(text).c_str(), to_wide(title).c_str(),
                        static_cast<UINT>(icon) | static_cast<UINT>(buttons)));
    }
    recorder->notices.push_back({std::u16string(text), std::u16string(title), icon, buttons});
    if (recorder->while_open) {
        const std::function<void()> action = std::move(recorder->while_open);
        recorder->while_open = nullptr;
        action();
    }
    return recorder->answer;
}

bool start_explorer(const std::wstring& argument) {
    test::RecordedEffects* recorder = test::recorded_effects;
    if (recorder == nullptr) {
        return false;
    }
    recorder->opened_pages.push_back(argument);
    return recorder->page_opens;
}

}  // namespace renpin::platform
