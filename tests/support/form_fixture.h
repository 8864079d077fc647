#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "evaluation/notice.h"
#include "window/form1.h"

// The main window in the test's own process.
namespace renpin::test {

struct RecordedNotice {
    std::u16string text;
    std::u16string title;
    NoticeIcon icon;
    NoticeButtons buttons;
};

// Takes the place of the system's message box and of the browser's start for the window in the
// test's process: records each notice and each page, and answers as told. One is in place from
// its construction to its destruction; with none in place, notices go to the system's message
// box and no browser starts. The program's own two functions are linked into the program only.
class RecordedEffects {
  public:
    RecordedEffects();
    ~RecordedEffects();
    RecordedEffects(const RecordedEffects&) = delete;
    RecordedEffects& operator=(const RecordedEffects&) = delete;

    std::vector<RecordedNotice> notices;
    NoticeResult answer = NoticeResult::ok;
    // Runs once, at the next notice, as if it happened while that notice was on the screen.
    std::function<void()> while_open;
    // Sends the notices to the system's message box, as the program does, instead.
    bool to_system_box = false;

    std::vector<std::wstring> opened_pages;
    bool page_opens = true;
};

// Handles whatever messages are waiting, as the program's message loop would.
void pump_messages(HWND form);

// Creates the main window with the common controls initialised, as the program does.
[[nodiscard]] std::unique_ptr<window::Form1> create_form();

// Sends a key press to the focused control through the form's keyboard handling.
void press_key(HWND form, WPARAM key);

// A fixture with the main window, whose notices and pages are recorded instead of shown.
class RecordedFormTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void click(window::ControlId button);
    void show();

    RecordedEffects recorder;  // declared first, so it outlives the window
    std::unique_ptr<window::Form1> form;
};

}  // namespace renpin::test
