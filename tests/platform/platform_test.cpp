#include <windows.h>

#include <gtest/gtest.h>

#include <oleacc.h>

#include <optional>
#include <string>

#include "platform/accessibility_services.h"
#include "platform/ansi_path.h"
#include "platform/executable_directory.h"
#include "platform/named_accessible.h"
#include "platform/unique_handles.h"
#include "platform/wide_text.h"
#include "platform/window_style.h"
#include "tests/support/com_apartment.h"

namespace {

using renpin::platform::UniqueCom;
using renpin::platform::UniqueWindow;

TEST(RemoveSizingBorder, ClearsOnlyTheThickFrameBit) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    const UniqueWindow window(CreateWindowExW(0, L"Static", L"", style, 0, 0, 200, 100, nullptr,
                                              nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    const auto before = static_cast<DWORD>(GetWindowLongW(window.get(), GWL_STYLE));
    ASSERT_EQ(before & style, style);
    renpin::platform::remove_sizing_border(window.get());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window.get(), GWL_STYLE)), before & ~WS_THICKFRAME);
}

TEST(ExecutableDirectory, IsTheFolderOfTheRunningProgramWithoutTrailingSeparator) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring directory = renpin::platform::executable_directory();
    ASSERT_FALSE(directory.empty());
    EXPECT_NE(directory.back(), L'\\');
    EXPECT_EQ(std::wstring(path).rfind(directory + L"\\", 0), 0u);
    EXPECT_EQ(std::wstring(path).find(L'\\', directory.size() + 1), std::wstring::npos);
}

TEST(ToAnsi, ConvertsOnlyWhatTheSystemCodePageSpellsExactly) {
    struct Case {
        const wchar_t* text;
        std::optional<std::string> expected;  // Under code page 936.
        bool any_code_page;                   // Whether it holds under every code page.
    };
    const Case cases[] = {
        {L"C:/skins/skinh.she", "C:/skins/skinh.she", true},
        {L"", "", true},
        {L"\xD83D", std::nullopt, true},  // A lone surrogate.
        {L"张三", "\xD5\xC5\xC8\xFD", false},
        {L"人品计算器", "\xC8\xCB\xC6\xB7\xBC\xC6\xCB\xE3\xC6\xF7", false},
        {L"测试\U0001F600", std::nullopt, false},
        {L"Ωmega한국", std::nullopt, false},
        {L"\u00B5", std::nullopt, false},  // Best fit would give Greek mu.
    };
    for (const Case& c : cases) {
        if (c.any_code_page || GetACP() == 936) {
            EXPECT_EQ(renpin::platform::to_ansi(c.text), c.expected)
                << testing::PrintToString(c.text);
        }
    }
}

// Opens a file by its ANSI path, as a library that takes narrow paths would.
bool opens_as_ansi_path(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

TEST(AnsiPath, NamesASkinFileNotCreatedYetInAFolderTheCodePageCannotSpell) {
    const std::wstring folder = renpin::platform::executable_directory() + L"\\缺\U0001F600";
    const std::wstring file = folder + L"/skinh.she";
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
    if (renpin::platform::to_ansi(folder)) {
        GTEST_SKIP() << "the code page spells the folder's name";
    }
    // Without the folder no path names the file; a guessed spelling might name another.
    EXPECT_EQ(renpin::platform::ansi_path(file), "");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string path = renpin::platform::ansi_path(file);
    const HANDLE created =
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
    EXPECT_TRUE(opens_as_ansi_path(path)) << path;
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(WindowText, ReadsTextsLongerThanAnyFixedBuffer) {
    const UniqueWindow edit(CreateWindowExW(0, L"Edit", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 100,
                                            20, nullptr, nullptr, GetModuleHandleW(nullptr),
                                            nullptr));
    ASSERT_TRUE(edit);
    SendMessageW(edit.get(), EM_SETLIMITTEXT, 0, 0);
    const std::wstring text = std::wstring(70'000, L'人') + L"\U0001F600";
    SetWindowTextW(edit.get(), text.c_str());
    EXPECT_EQ(renpin::platform::window_text(edit.get()), text);
    SetWindowTextW(edit.get(), L"");
    EXPECT_EQ(renpin::platform::window_text(edit.get()), L"");
}

// What a screen reader reads of an accessible object itself.
struct AccessibleReading {
    std::wstring name;
    std::wstring value;
    LONG role = 0;
    LONG state = 0;
    RECT location{};
};

std::wstring take_text(BSTR text) {
    std::wstring taken = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return taken;
}

AccessibleReading read_accessible(IAccessible* object) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    AccessibleReading reading;
    BSTR text = nullptr;
    // The system's object answers S_FALSE for a name it cannot find.
    EXPECT_TRUE(SUCCEEDED(object->get_accName(self, &text)));
    reading.name = take_text(text);
    text = nullptr;
    EXPECT_EQ(object->get_accValue(self, &text), S_OK);
    reading.value = take_text(text);
    VARIANT number{};
    EXPECT_EQ(object->get_accRole(self, &number), S_OK);
    reading.role = number.vt == VT_I4 ? number.lVal : -1;
    VariantClear(&number);
    EXPECT_EQ(object->get_accState(self, &number), S_OK);
    reading.state = number.vt == VT_I4 ? number.lVal : -1;
    VariantClear(&number);
    LONG left = 0;
    LONG top = 0;
    LONG width = 0;
    LONG height = 0;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, self), S_OK);
    reading.location = RECT{left, top, left + width, top + height};
    return reading;
}

TEST(NamedClientObject, AnswersItsOwnNameAndTheSystemObjectsRoleValueStateAndLocation) {
    const renpin::test::ComApartment com;
    const UniqueWindow edit(CreateWindowExW(0, L"Edit", L"张三", WS_POPUP | WS_VISIBLE | WS_BORDER,
                                            40, 30, 200, 24, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(edit);
    void* system_object = nullptr;
    ASSERT_EQ(
        CreateStdAccessibleObject(edit.get(), OBJID_CLIENT, __uuidof(IAccessible), &system_object),
        S_OK);
    const UniqueCom<IAccessible> system(static_cast<IAccessible*>(system_object));

    // As a client gets it: through the window's answer to WM_GETOBJECT, from the libraries
    // loaded when the first request comes.
    renpin::platform::AccessibilityServices services;
    const LRESULT answer = services.named_client_object(edit.get(), 0, L"姓名");
    ASSERT_GT(answer, 0);
    void* named_object = nullptr;
    ASSERT_EQ(ObjectFromLresult(answer, __uuidof(IAccessible), 0, &named_object), S_OK);
    UniqueCom<IAccessible> named(static_cast<IAccessible*>(named_object));

    const AccessibleReading expected = read_accessible(system.get());
    const AccessibleReading actual = read_accessible(named.get());
    EXPECT_EQ(actual.name, L"姓名");
    EXPECT_EQ(expected.role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(actual.role, expected.role);
    EXPECT_EQ(expected.value, L"张三");
    EXPECT_EQ(actual.value, expected.value);
    EXPECT_EQ(actual.state, expected.state);
    EXPECT_TRUE(EqualRect(&actual.location, &expected.location));
    RECT window{};
    GetWindowRect(edit.get(), &window);
    EXPECT_TRUE(EqualRect(&expected.location, &window));

    // The client's reference is the last one: dropping it frees the object, which lets go of
    // the system's object in turn.
    EXPECT_EQ(named.release()->Release(), 0u);
    renpin::platform::make_named_accessible(system.get(), L"姓名", &SysAllocString).reset();
    EXPECT_EQ(system->AddRef(), 2u);
    EXPECT_EQ(system->Release(), 1u);
}

}  // namespace
