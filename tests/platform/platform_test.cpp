#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

TEST(ToAnsi, ConvertsToTheSystemCodePage) {
    EXPECT_EQ(renpin::platform::to_ansi(L"C:/skins/skinh.she"), "C:/skins/skinh.she");
    EXPECT_EQ(renpin::platform::to_ansi(L""), "");
    if (GetACP() == 936) {
        // 张三 in GBK, the code page of Simplified Chinese Windows.
        EXPECT_EQ(renpin::platform::to_ansi(L"张三"), "\xD5\xC5\xC8\xFD");
    }
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
