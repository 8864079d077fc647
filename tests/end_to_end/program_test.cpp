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
#include <vector>

#include "driven_program.h"
#include "platform/unique_handles.h"
#include "platform/wide_text.h"
#include "tests/com_apartment.h"

// Starts the built program as a user would and drives it from outside, as another process.
// Runs under Wine, where the Linux paths of the build are reached through drive Z:.

namespace {

using renpin::platform::window_text;
using Clock = std::chrono::steady_clock;

std::wstring windows_path(std::string_view linux_path) {
    std::wstring path = L"Z:";
    for (const char c : linux_path) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

// The built program, or the one that RENPIN_PROGRAM_UNDER_TEST names (a signed copy, say).
std::string_view program_path() {
    const char* other = std::getenv("RENPIN_PROGRAM_UNDER_TEST");
    return other != nullptr && *other != '\0' ? other : RENPIN_PROGRAM;
}

struct BoxCount {
    DWORD process;
    int boxes;
};

BOOL CALLBACK count_box(HWND window, LPARAM count_address) {
    auto* count = reinterpret_cast<BoxCount*>(count_address);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (process == count->process && IsWindowVisible(window) && lstrcmpW(name, L"#32770") == 0) {
        ++count->boxes;
    }
    return TRUE;
}

class RunningProgram {
  public:
    RunningProgram() {
        if (program_.start(windows_path(program_path()))) {
            window_ = wait_for_window(L"RenpinForm1");
        }
    }

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }

    // The control of the program that has the keyboard focus, as the system tracks it.
    HWND focus() const {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof(thread);
        GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &thread);
        return thread.hwndFocus;
    }

    // The message boxes the program shows.
    int message_boxes() const {
        BoxCount count{program_.id(), 0};
        EnumWindows(count_box, reinterpret_cast<LPARAM>(&count));
        return count.boxes;
    }

    // The exit code once the process has ended within the time, or nothing.
    std::optional<DWORD> wait_for_exit(DWORD milliseconds) const {
        if (!program_.wait_for_exit(milliseconds)) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(program_.handle(), &code);
        return code;
    }

    // Reads the program's next message box and presses one of its buttons.
    std::wstring answer_message_box(int button) const {
        const HWND box = wait_for_window(L"#32770");
        if (box == nullptr) {
            return L"<no message box>";
        }
        const std::wstring seen = window_text(box) + L"|" + window_text(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        renpin::bench::wait_until_gone(box, 5'000);
        return seen;
    }

  private:
    HWND wait_for_window(const wchar_t* window_class) const {
        return renpin::bench::wait_for_visible_window(program_.id(), window_class, 20'000, 50);
    }

    renpin::bench::StartedProgram program_;
    HWND window_ = nullptr;
};

// Control identifiers of the main window.
constexpr int status_bar1 = 100;
constexpr int command1 = 102;
constexpr int text2 = 103;
constexpr int text1 = 104;
constexpr int label1 = 106;
constexpr int command2 = 108;
constexpr int command3 = 109;
constexpr int command4 = 110;

// Sets a string or number value under HKEY_CURRENT_USER for the life of the object.
class RegistryValue {
  public:
    RegistryValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size)
        : key_(key), name_(name) {
        RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle_,
                        nullptr);
        DWORD old_size = sizeof(old_);
        had_old_ =
            RegQueryValueExW(handle_, name, nullptr, &old_type_, old_, &old_size) == ERROR_SUCCESS;
        old_size_ = old_size;
        RegSetValueExW(handle_, name, 0, type, static_cast<const BYTE*>(data), size);
    }
    ~RegistryValue() {
        if (had_old_) {
            RegSetValueExW(handle_, name_.c_str(), 0, old_type_, old_, old_size_);
        } else {
            RegDeleteValueW(handle_, name_.c_str());
        }
        RegCloseKey(handle_);
    }
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;

  private:
    std::wstring key_;
    std::wstring name_;
    HKEY handle_ = nullptr;
    bool had_old_ = false;
    DWORD old_type_ = 0;
    BYTE old_[1024] = {};
    DWORD old_size_ = 0;
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

// The push buttons that show the default button's thick border.
std::vector<int> default_buttons(const RunningProgram& program) {
    std::vector<int> found;
    for (const int button : {command1, command2, command3, command4}) {
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

// A text box's text: asked of the box itself, since GetWindowText does not ask another
// process's windows.
std::wstring box_text(HWND control) {
    const auto length = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

SIZE client_size(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

RECT rect_in_client(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(Program, AsksBeforeClosingAndEndsOnlyOnYes) {
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    EXPECT_EQ(window_text(program.window()), L"Ｍq.人品计算器");

    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.answer_message_box(IDNO), L"k-Vem阿朴提示|您确定退出本程序吗?");
    EXPECT_FALSE(program.wait_for_exit(500).has_value());
    EXPECT_TRUE(IsWindowVisible(program.window()));

    PostMessageW(program.control(command4), BM_CLICK, 0, 0);
    EXPECT_EQ(program.answer_message_box(IDYES), L"k-Vem阿朴提示|您确定退出本程序吗?");
    const auto exit_code = program.wait_for_exit(10'000);
    ASSERT_TRUE(exit_code.has_value());
    EXPECT_EQ(*exit_code, 0u);
}

TEST(Program, AnswersTheKeyboardAsADialogDoes) {
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    SetForegroundWindow(program.window());
    ASSERT_TRUE(eventually([&] { return GetForegroundWindow() == program.window(); }));
    set_text(program.control(text1), L"张三");
    set_text(program.control(text2), L"上一次的结果");
    const auto expect_at = [&](int focus, int default_button, const char* step) {
        EXPECT_TRUE(eventually([&] {
            return program.focus() == program.control(focus) &&
                   default_buttons(program) == std::vector<int>{default_button};
        })) << step
            << ": focus on " << GetDlgCtrlID(program.focus()) << ", "
            << default_buttons(program).size() << " default buttons";
        EXPECT_EQ(SendMessageW(program.window(), DM_GETDEFID, 0, 0),
                  MAKELRESULT(command1, DC_HASDEFID))
            << step;
    };

    // Each Tab stop in turn, Esc at each: Esc does nothing, and the Tab after it still moves on.
    const struct {
        int focus;
        int default_button;
    } stops[] = {{command1, command1}, {text2, command1},    {text1, command1},
                 {command2, command2}, {command3, command3}, {command4, command4}};
    for (const auto& stop : stops) {
        expect_at(stop.focus, stop.default_button, "Tab");
        press({VK_ESCAPE});
        press({VK_TAB});
    }
    expect_at(command1, command1, "Tab from the last stop");
    EXPECT_EQ(program.message_boxes(), 0);
    EXPECT_EQ(box_text(program.control(text1)), L"张三");
    EXPECT_EQ(box_text(program.control(text2)), L"上一次的结果");

    press({VK_SHIFT, VK_TAB});
    expect_at(command4, command4, "Shift+Tab");
    press({VK_SHIFT, VK_TAB});
    press({VK_SHIFT, VK_TAB});
    expect_at(command2, command2, "Shift+Tab twice more");

    // Enter and Space on the focused clear button click it, and nothing else.
    for (const WORD key : {VK_RETURN, VK_SPACE}) {
        set_text(program.control(text1), L"张三");
        set_text(program.control(text2), L"上一次的结果");
        press({key});
        EXPECT_TRUE(eventually([&] {
            return box_text(program.control(text1)).empty() &&
                   box_text(program.control(text2)).empty();
        })) << key;
        EXPECT_EQ(program.message_boxes(), 0) << key;
        EXPECT_EQ(program.focus(), program.control(command2)) << key;
    }

    // Enter in the name box asks for the name; the focus and the border come back after it.
    press({VK_SHIFT, VK_TAB});
    expect_at(text1, command1, "Shift+Tab to the name box");
    set_text(program.control(text1), L"张三");
    press({VK_RETURN});
    EXPECT_EQ(program.answer_message_box(IDOK),
              L"k-Vem阿朴提示|查询姓名：张三\r\n人品得分：29\r\n综合评价：你的人品太差了。"
              L"你应该有干坏事的嗜好吧?\r\n");
    expect_at(text1, command1, "after the notice");

    press({VK_MENU, VK_F4});
    EXPECT_EQ(program.answer_message_box(IDNO), L"k-Vem阿朴提示|您确定退出本程序吗?");
    EXPECT_FALSE(program.wait_for_exit(300).has_value());
    expect_at(text1, command1, "after Alt+F4 and No");
}

TEST(Program, AsksOnceHoweverManyCloseRequestsArrive) {
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(eventually([&] { return program.message_boxes() == 1; }));

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
        EXPECT_EQ(program.message_boxes(), 1) << request.message;
    }
    EXPECT_EQ(program.answer_message_box(IDNO), L"k-Vem阿朴提示|您确定退出本程序吗?");
    EXPECT_FALSE(program.wait_for_exit(500).has_value());
    EXPECT_EQ(program.message_boxes(), 0);
    EXPECT_TRUE(IsWindowEnabled(program.window()));
}

TEST(Program, ScalesItsLayoutExactlyAt144Dpi) {
    const DWORD dpi = 144;
    RegistryValue log_pixels(L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    const SIZE client = client_size(program.window());
    EXPECT_EQ(client.cx, 522);
    EXPECT_EQ(client.cy, 558);
    const RECT query_button = rect_in_client(program.control(command1));
    EXPECT_EQ(query_button.left, 372);
    EXPECT_EQ(query_button.top, 144);
    EXPECT_EQ(query_button.right, 482);
    EXPECT_EQ(query_button.bottom, 182);
    const RECT exit_button = rect_in_client(program.control(command4));
    EXPECT_EQ(exit_button.left, 348);
    EXPECT_EQ(exit_button.right, 494);
}

TEST(Program, StartsTheShellWithTheMakersPageOncePerClickWithoutWaiting) {
    // Wine runs the browsers named here, Linux programs, with the address to open.
    const std::wstring script = L"" RENPIN_BROWSER_SCRIPT;
    RegistryValue browser(L"Software\\Wine\\WineBrowser", L"Browsers", REG_SZ, script.c_str(),
                          static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t)));
    const std::wstring log = windows_path(RENPIN_BROWSER_LOG);
    DeleteFileW(log.c_str());

    RunningProgram program;
    ASSERT_NE(program.window(), nullptr);
    for (int click = 0; click < 2; ++click) {
        DWORD_PTR result = 0;
        // The click returns as soon as the shell has been started.
        EXPECT_NE(SendMessageTimeoutW(program.control(command3), BM_CLICK, 0, 0, SMTO_NORMAL, 5'000,
                                      &result),
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
    EXPECT_NE(last_line.find("https://k-vem.github.io/"), std::string::npos) << last_line;
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
        int control;
        const wchar_t* name;
    } names[] = {
        {status_bar1, L"k-Vem阿朴 出品  ·  结果仅供娱乐，欢迎访问阿朴博客"},
        {command1, L"查询人品"},
        {text2, L"查询结果"},
        {text1, L"姓名"},
        {label1, L"本程序仅供娱乐参考，绝无科学根据"},
        {command2, L"清空"},
        {command3, L"访问阿朴博客"},
        {command4, L"退出程序"},
    };
    for (const auto& expected : names) {
        EXPECT_EQ(announced(program.control(expected.control)).name, expected.name)
            << "control " << expected.control;
    }
    EXPECT_EQ(announced(program.control(text1)).role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(announced(program.control(text2)).role, ROLE_SYSTEM_TEXT);
}

}  // namespace
