#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "evaluation/notice.h"
#include "window/form1.h"

namespace renpin::test {

struct RecordedNotice {
    std::u16string text;
    std::u16string title;
    NoticeIcon icon;
    NoticeButtons buttons;
};

// Takes the place of the system message box: records each notice and answers with `answer`.
// The next notice runs `while_open` once, as if it happened while that notice was on the screen.
struct NoticeRecorder {
    std::vector<RecordedNotice> notices;
    NoticeResult answer = NoticeResult::ok;
    std::function<void()> while_open;

    window::Form1::NoticeBox box() {
        return [this](std::u16string_view text, std::u16string_view title, NoticeIcon icon,
                      NoticeButtons buttons) {
            notices.push_back({std::u16string(text), std::u16string(title), icon, buttons});
            if (while_open) {
                const std::function<void()> action = std::move(while_open);
                while_open = nullptr;
                action();
            }
            return answer;
        };
    }
};

// Handles whatever messages are waiting, as the program's message loop would.
void pump_messages(HWND form);

// A fixture with the main window, whose notices go to a recorder instead of the screen.
class RecordedFormTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void click(window::ControlId button);
    void show();

    NoticeRecorder recorder;  // declared first, so it outlives the window
    std::unique_ptr<window::Form1> form;
};

// Creates the main window with the common controls initialised, as the program does.
std::unique_ptr<window::Form1> create_form();

// The control's rectangle in the client area of its parent window.
RECT rect_in_parent(HWND control);

std::wstring class_name(HWND window);

// Sends a key press to the focused control through the form's keyboard handling.
void press_key(HWND form, WPARAM key);

// A message box as a user saw it.
struct SeenMessageBox {
    std::wstring title;
    std::wstring text;
};

// Watches, on a thread of its own, for the next message box of this process, reads it, and
// presses the button with `button_id` (IDOK, IDYES, IDNO).
class MessageBoxAnswerer {
  public:
    explicit MessageBoxAnswerer(int button_id);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits for the watcher to finish; returns what it saw, if it saw a message box in time.
    std::vector<SeenMessageBox> finish();

  private:
    void watch(int button_id);

    std::atomic<bool> stop_{false};
    std::vector<SeenMessageBox> seen_;
    std::thread thread_;
};

}  // namespace renpin::test
