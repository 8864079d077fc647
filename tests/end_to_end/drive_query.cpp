// Drives the running program from outside, as a user would, for screenshots:
//   drive_query NAME      types NAME into the name box and clicks the query button
//   drive_query --dismiss presses OK in the program's message box
#include <windows.h>

#include <string>

#include "message_boxes.h"
#include "window_reading.h"

int wmain(int argc, wchar_t** argv) {
    using renpin::window::ControlId;
    if (argc != 2) {
        return 2;
    }
    // Up to 20 s for the window or the box to show; the window is complete, controls and all,
    // once it is shown.
    const bool dismiss = std::wstring(argv[1]) == L"--dismiss";
    const HWND window = renpin::test::wait_for_visible_window(
        0, dismiss ? renpin::test::message_box_class : L"RenpinForm1", 20'000, 50);
    if (window == nullptr) {
        return 1;
    }
    if (dismiss) {
        renpin::test::answer_message_box(window, IDOK);
        return 0;
    }
    SendMessageW(renpin::test::form_control(window, ControlId::Text1), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(argv[1]));
    PostMessageW(renpin::test::form_control(window, ControlId::Command1), BM_CLICK, 0, 0);
    return 0;
}
