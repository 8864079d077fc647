// Drives the running program from outside, as a user would, for screenshots:
//   drive_query NAME      types NAME into the name box and clicks the query button
//   drive_query --dismiss presses OK in the program's message box
#include <windows.h>

#include <string>

namespace {

// Waits up to 20 s for a visible top-level window of the class.
HWND wait_for_visible(const wchar_t* window_class) {
    for (int attempt = 0; attempt < 400; ++attempt) {
        const HWND window = FindWindowW(window_class, nullptr);
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    if (std::wstring(argv[1]) == L"--dismiss") {
        const HWND message_box = wait_for_visible(L"#32770");
        if (message_box == nullptr) {
            return 1;
        }
        PostMessageW(message_box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(message_box, IDOK)));
        return 0;
    }
    // The window is complete, controls and all, once it is shown.
    const HWND form = wait_for_visible(L"RenpinForm1");
    if (form == nullptr) {
        return 1;
    }
    constexpr int text1 = 104;
    constexpr int command1 = 102;
    SendMessageW(GetDlgItem(form, text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
    PostMessageW(GetDlgItem(form, command1), BM_CLICK, 0, 0);
    return 0;
}
