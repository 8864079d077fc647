#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com_apartment.h"
#include "display_dpi.h"
#include "driven_program.h"
#include "platform/unique_handles.h"
#include "platform/wide_text.h"
#include "registry_value.h"
#include "window_reading.h"

// Starts the built program as a user would and drives it from outside, as another process.
// Runs under Wine, where the Linux paths of the build are reached through drive Z:.

namespace {

using renpin::platform::window_text;
using renpin::test::control_text;
using renpin::test::RegistryValue;
using renpin::test::SeenMessageBox;
using renpin::test::windows_path;
using renpin::window::ControlId;
using Clock = std::chrono::steady_clock;

// The built program, or the one that RENPIN_PROGRAM_UNDER_TEST names (a signed copy, say).
std::string_view program_path() {
    const char* other = std::getenv("RENPIN_PROGRAM_UNDER_TEST");
    return other != nullptr && *other != '\0' ? other : RENPIN_PROGRAM;
}

class RunningProgram : public renpin::test::DrivenProgram {
  public:
    RunningProgram() { start(windows_path(program_path()), L"RenpinForm1"); }

    // The control of the program that has the keyboard focus, as the system tracks it.
    HWND focus() const {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof(thread);
        GetGUIThreadInfo(GetWindowThreadProcessId(window(), nullptr), &thread);
        return thread.hwndFocus;
    }

    // The message boxes the program shows.
    std::size_t message_boxes() const {
        return renpin::test::visible_windows(process().id(), renpin::test::message_box_class)
            .size();
    }

    // Reads the program's next message box, "title|text", and presses one of its buttons.
    std::wstring answer_message_box(int button) {
        const auto seen = answer_next_message_box(button, 20'000);
        return seen ? seen->title + L"|" + seen->text : L"<no message box>";
    }
};

// Presses the keys together, as a user's fingers do, through the system's input queue: down in
// order, then up in reverse.
void press(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    const auto add = [&](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (const WORD key : keys) {
        add(key, 0);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        add(*key, KEYEVENTF_KEYUP);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Waits up to five seconds for the condition, which the program reaches in its own time.
bool eventually(const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

// The window of the control's thread that has the mouse captured, as the system tracks it.
HWND mouse_capture(HWND control) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &thread);
    return thread.hwndCapture;
}

// Moves the pointer to the point and presses or releases the left button there, in one input.
// The point goes with the button rather than being set before it: under Wine the program's own
// window-system driver reports each move of the pointer to the system again, in its own time,
// and one that comes late puts the pointer back where an earlier click left it.
void left_button_at(POINT point, DWORD button) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    // Absolute positions run from 0 to 65535 across the screens; this one falls within the pixel.
    const auto normalized = [](int offset, int extent) {
        return static_cast<LONG>((offset * 65536LL + extent - 1) / extent);
    };
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = normalized(point.x - left, width);
    input.mi.dy = normalized(point.y - top, height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | button;
    SendInput(1, &input, sizeof(INPUT));
}

// Clicks the middle of the control with the mouse, through the system's input queue, and returns
// once the control has had both halves of the click: push buttons and edit boxes hold the mouse
// captured from the press to the release. False if the press or the release did not reach it.
bool click(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    left_button_at(middle, MOUSEEVENTF_LEFTDOWN);
    if (!eventually([&] { return mouse_capture(control) == control; })) {
        return false;
    }
    left_button_at(middle, MOUSEEVENTF_LEFTUP);
    return eventually([&] { return mouse_capture(control) == nullptr; });
}

// The push buttons that show the default button's thick border.
std::vector<ControlId> default_buttons(const RunningProgram& program) {
    std::vector<ControlId> found;
    for (const ControlId button :
         {ControlId::Command1, ControlId::Command2, ControlId::Command3, ControlId::Command4}) {
        const auto style = static_cast<DWORD>(GetWindowLongW(program.control(button), GWL_STYLE));
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            found.push_back(button);
        }
    }
    return found;
}

void set_text(HWND control, const wchar_t* text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

TEST(Program, AsksBeforeClosingAndEndsOnlyOnYes) {
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    EXPECT_EQ(window_text(program.window()), L"Ｍq.人品计算器");

    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.answer_message_box(IDNO), L"k-Vem阿朴提示|您确定退出本程序吗?");
    EXPECT_FALSE(program.wait_for_exit(500).has_value());
    EXPECT_TRUE(IsWindowVisible(program.window()));

    PostMessageW(program.control(ControlId::Command4), BM_CLICK, 0, 0);
    EXPECT_EQ(program.answer_message_box(IDYES), L"k-Vem阿朴提示|您确定退出本程序吗?");
    const auto exit_code = program.wait_for_exit(10'000);
    ASSERT_TRUE(exit_code.has_value());
    EXPECT_EQ(*exit_code, 0u);
}

TEST(Program, AnswersTheKeyboardAndTheMouseAsADialogDoes) {
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    SetForegroundWindow(program.window());
    ASSERT_TRUE(eventually([&] { return GetForegroundWindow() == program.window(); }));
    const HWND name_box = program.control(ControlId::Text1);
    const HWND output_box = program.control(ControlId::Text2);
    set_text(name_box, L"张三");
    set_text(output_box, L"上一次的结果");
    const auto expect_at = [&](ControlId focus, ControlId default_button, const char* step) {
        EXPECT_TRUE(eventually([&] {
            return program.focus() == program.control(focus) &&
                   default_buttons(program) == std::vector<ControlId>{default_button};
        })) << step
            << ": focus on " << GetDlgCtrlID(program.focus()) << ", "
            << default_buttons(program).size() << " default buttons";
        EXPECT_EQ(SendMessageW(program.window(), DM_GETDEFID, 0, 0),
                  MAKELRESULT(static_cast<int>(ControlId::Command1), DC_HASDEFID))
            << step;
    };

    // Each Tab stop in turn, Esc at each: Esc does nothing, and the Tab after it still moves on.
    const struct {
        ControlId focus;
        ControlId default_button;
    } stops[] = {
        {ControlId::Command1, ControlId::Command1}, {ControlId::Text2, ControlId::Command1},
        {ControlId::Text1, ControlId::Command1},    {ControlId::Command2, ControlId::Command2},
        {ControlId::Command3, ControlId::Command3}, {ControlId::Command4, ControlId::Command4}};
    for (const auto& stop : stops) {
        expect_at(stop.focus, stop.default_button, "Tab");
        press({VK_ESCAPE});
        press({VK_TAB});
    }
    expect_at(ControlId::Command1, ControlId::Command1, "Tab from the last stop");
    EXPECT_EQ(program.message_boxes(), 0u);
    EXPECT_EQ(control_text(name_box), L"张三");
    EXPECT_EQ(control_text(output_box), L"上一次的结果");

    press({VK_SHIFT, VK_TAB});
    expect_at(ControlId::Command4, ControlId::Command4, "Shift+Tab");
    press({VK_SHIFT, VK_TAB});
    press({VK_SHIFT, VK_TAB});
    expect_at(ControlId::Command2, ControlId::Command2, "Shift+Tab twice more");

    // Enter and Space on the focused clear button click it, and nothing else.
    for (const WORD key : {VK_RETURN, VK_SPACE}) {
        set_text(name_box, L"张三");
        set_text(output_box, L"上一次的结果");
        press({key});
        EXPECT_TRUE(eventually([&] {
            return control_text(name_box).empty() && control_text(output_box).empty();
        })) << key;
        EXPECT_EQ(program.message_boxes(), 0u) << key;
        EXPECT_EQ(program.focus(), program.control(ControlId::Command2)) << key;
    }

    // A click moves the border as the keyboard does, and a click into a box leaves the caret
    // where it was clicked rather than selecting the text.
    set_text(name_box, L"张三");
    ASSERT_TRUE(click(name_box)) << "the click did not reach the name box";
    expect_at(ControlId::Text1, ControlId::Command1, "click into the name box");
    const auto selection = static_cast<DWORD>(SendMessageW(name_box, EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(selection), HIWORD(selection));
    ASSERT_TRUE(click(program.control(ControlId::Command2)))
        << "the click did not reach the clear button";
    expect_at(ControlId::Command2, ControlId::Command2, "click on the clear button");
    EXPECT_TRUE(eventually([&] { return control_text(name_box).empty(); }));
    ASSERT_TRUE(click(output_box)) << "the click did not reach the output box";
    expect_at(ControlId::Text2, ControlId::Command1, "click into the output box");

    // Alt+F4 asks, and No keeps the program with the focus where it was. It comes before any
    // message box: under Wine, a program catching up on the focus changes of a message box that
    // has just gone lets go of the keys held down then (its window-system driver takes the
    // keyboard's state from X, where these keys were never pressed), which would part Alt from F4.
    press({VK_TAB});
    expect_at(ControlId::Text1, ControlId::Command1, "Tab to the name box");
    press({VK_MENU, VK_F4});
    EXPECT_EQ(program.answer_message_box(IDNO), L"k-Vem阿朴提示|您确定退出本程序吗?");
    EXPECT_FALSE(program.wait_for_exit(300).has_value());
    expect_at(ControlId::Text1, ControlId::Command1, "after Alt+F4 and No");

    // Enter in the name box asks for the name; the focus and the border come back after it.
    set_text(name_box, L"张三");
    press({VK_RETURN});
    EXPECT_EQ(program.answer_message_box(IDOK),
              L"k-Vem阿朴提示|查询姓名：张三\r\n人品得分：29\r\n综合评价：你的人品太差了。"
              L"你应该有干坏事的嗜好吧?\r\n");
    expect_at(ControlId::Text1, ControlId::Command1, "after the notice");
}

TEST(Program, AsksOnceHoweverManyCloseRequestsArrive) {
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(eventually([&] { return program.message_boxes() == 1u; }));

    // Each arrives inside the open confirmation; a second box would hold its answer back.
    const struct {
        UINT message;
        WPARAM wparam;
        LRESULT answer;
    } requests[] = {{WM_CLOSE, 0, 0}, {WM_SYSCOMMAND, SC_CLOSE, 0}, {WM_QUERYENDSESSION, 0, FALSE}};
    for (const auto& request : requests) {
        DWORD_PTR answer = 1234;
        EXPECT_NE(SendMessageTimeoutW(program.window(), request.message, request.wparam, 0,
                                      SMTO_NORMAL, 3'000, &answer),
                  0)
            << request.message;
        EXPECT_EQ(static_cast<LRESULT>(answer), request.answer) << request.message;
        EXPECT_EQ(program.message_boxes(), 1u) << request.message;
    }
    EXPECT_EQ(program.answer_message_box(IDNO), L"k-Vem阿朴提示|您确定退出本程序吗?");
    EXPECT_FALSE(program.wait_for_exit(500).has_value());
    EXPECT_EQ(program.message_boxes(), 0u);
    EXPECT_TRUE(IsWindowEnabled(program.window()));
}

TEST(Program, ScalesItsLayoutExactlyAt144Dpi) {
    const renpin::test::StartingDpi before = renpin::test::dpi_of_programs_started_now();
    ASSERT_NE(before.monitor, 0u) << "cannot learn the DPI that programs start at";
    renpin::test::LogicalDpi high_dpi(144);
    ASSERT_EQ(high_dpi.seen().system, 144u) << "programs started now do not read LogPixels";
    if (high_dpi.seen().monitor != 144) {
        GTEST_SKIP() << "this Wine keeps the monitor at the DPI its desktop process started with ("
                     << high_dpi.seen().monitor
                     << "), as it does where XRandR reports the displays";
    }
    {
        RunningProgram program;
        ASSERT_NE(program.window(), nullptr);
        const renpin::test::PixelCoordinates in_pixels;
        RECT client{};
        GetClientRect(program.window(), &client);
        EXPECT_EQ(client.right, 522);
        EXPECT_EQ(client.bottom, 558);
        const RECT query_button =
            renpin::test::rect_in_parent(program.control(ControlId::Command1));
        EXPECT_EQ(query_button.left, 372);
        EXPECT_EQ(query_button.top, 144);
        EXPECT_EQ(query_button.right, 482);
        EXPECT_EQ(query_button.bottom, 182);
        const RECT exit_button = renpin::test::rect_in_parent(program.control(ControlId::Command4));
        EXPECT_EQ(exit_button.left, 348);
        EXPECT_EQ(exit_button.right, 494);
    }
    // The programs of the tests after this one start at the DPI of before again.
    const renpin::test::StartingDpi after = high_dpi.restore();
    EXPECT_EQ(after.system, before.system);
    EXPECT_EQ(after.monitor, before.monitor);
}

TEST(Program, StartsTheShellWithTheMakersPageOncePerClickWithoutWaiting) {
    // Wine runs the browsers named here, Linux programs, with the address to open.
    const std::wstring script = L"" RENPIN_BROWSER_SCRIPT;
    const RegistryValue browser(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers",
                                REG_SZ, script.c_str(),
                                static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t)));
    const std::wstring log = windows_path(RENPIN_BROWSER_LOG);
    DeleteFileW(log.c_str());

    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    for (int click = 0; click < 2; ++click) {
        DWORD_PTR result = 0;
        // The click returns as soon as the shell has been started.
        EXPECT_NE(SendMessageTimeoutW(program.control(ControlId::Command3), BM_CLICK, 0, 0,
                                      SMTO_NORMAL, 5'000, &result),
                  0);
    }
    int lines = 0;
    std::string last_line;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline && lines < 2) {
        Sleep(100);
        std::ifstream file(std::string("Z:") + RENPIN_BROWSER_LOG);
        lines = 0;
        for (std::string line; std::getline(file, line);) {
            ++lines;
            last_line = line;
        }
    }
    EXPECT_EQ(lines, 2);
    EXPECT_NE(last_line.find(RENPIN_MAKER_PAGE), std::string::npos) << last_line;
    EXPECT_TRUE(IsWindowVisible(program.window()));
}

// What a screen reader announces for a control: the name and role of its client area.
struct Announced {
    std::wstring name;
    LONG role = 0;
};

Announced announced(HWND control) {
    Announced heard;
    void* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), &object))) {
        heard.name = L"<no accessible object>";
        return heard;
    }
    const renpin::platform::UniqueCom<IAccessible> accessible(static_cast<IAccessible*>(object));
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr) {
        heard.name.assign(name, SysStringLen(name));
    }
    SysFreeString(name);
    VARIANT role{};
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) {
        heard.role = role.lVal;
    }
    VariantClear(&role);
    return heard;
}

TEST(Program, NamesTheTextBoxesForScreenReadersAndKeepsTheOtherNames) {
    const renpin::test::ComApartment com;
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    const struct {
        ControlId control;
        const wchar_t* name;
    } names[] = {
        {ControlId::StatusBar1, L"k-Vem阿朴 出品  ·  结果仅供娱乐，欢迎访问阿朴博客"},
        {ControlId::Command1, L"查询人品"},
        {ControlId::Text2, L"查询结果"},
        {ControlId::Text1, L"姓名"},
        {ControlId::Label1, L"本程序仅供娱乐参考，绝无科学根据"},
        {ControlId::Command2, L"清空"},
        {ControlId::Command3, L"访问阿朴博客"},
        {ControlId::Command4, L"退出程序"},
    };
    for (const auto& expected : names) {
        EXPECT_EQ(announced(program.control(expected.control)).name, expected.name)
            << "control " << static_cast<int>(expected.control);
    }
    EXPECT_EQ(announced(program.control(ControlId::Text1)).role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(announced(program.control(ControlId::Text2)).role, ROLE_SYSTEM_TEXT);
}

}  // namespace
