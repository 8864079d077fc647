#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ansi_path.h"
#include "platform/executable_directory.h"
#include "platform/unique_handles.h"
#include "platform/wide_text.h"
#include "platform/window_style.h"

namespace {

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

}  // namespace
