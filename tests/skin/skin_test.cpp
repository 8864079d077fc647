#include <gtest/gtest.h>

#include <string>

#include "form_fixture.h"
#include "platform/dpi.h"
#include "platform/executable_directory.h"
#include "platform/wide_text.h"

// The same program runs from several folders: beside the stand-in skin library and a skin file
// (in folders whose names the ANSI code page spells whole or only in part), beside a library of
// that name without the attach function, and alone. Each run picks its suite by filter.

namespace {

using renpin::test::create_form;

template <typename Function>
Function stand_in_function(const char* name) {
    const HMODULE stand_in = GetModuleHandleW(L"SkinH_VB6.dll");
    return stand_in == nullptr ? nullptr
                               : reinterpret_cast<Function>(
                                     reinterpret_cast<void (*)()>(GetProcAddress(stand_in, name)));
}

void expect_fixed_client_size(HWND window) {
    const auto dpi = static_cast<int>(renpin::platform::window_dpi(window));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(5220, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(5580, dpi, 1440));
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME, 0);
}

TEST(SkinPresent, AttachesTheSkinFileBesideTheProgramOnceWithAnEmptySecondString) {
    const auto form = create_form();
    ASSERT_TRUE(form);
    const auto call_count = stand_in_function<int (*)()>("StandIn_CallCount");
    const auto skin_file = stand_in_function<const char* (*)()>("StandIn_SkinFile");
    const auto second = stand_in_function<const char* (*)()>("StandIn_SecondArgument");
    ASSERT_NE(call_count, nullptr);
    EXPECT_EQ(call_count(), 1);
    const std::wstring skin_path = renpin::platform::executable_directory() + L"/skinh.she";
    const std::string received = skin_file();
    // The path itself wherever the code page spells it; in any case one the library can open.
    if (const auto exact = renpin::platform::to_ansi(skin_path)) {
        EXPECT_EQ(received, *exact);
    }
    const HANDLE opened = CreateFileA(received.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(opened, INVALID_HANDLE_VALUE) << received;
    if (opened != INVALID_HANDLE_VALUE) {
        CloseHandle(opened);
    }
    EXPECT_EQ(std::string(second()), "");
    // The library came from the program's own folder.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"SkinH_VB6.dll"), path, MAX_PATH);
    EXPECT_EQ(std::wstring(path), renpin::platform::executable_directory() + L"\\SkinH_VB6.dll");
    // The failure the library reported changed nothing: the fixed border came next.
    expect_fixed_client_size(form->handle());
}

TEST(SkinWithoutAttach, OpensTheWindowUnskinned) {
    const auto form = create_form();
    ASSERT_TRUE(form);
    // The library was loaded and looked at; it has nothing the program could call.
    EXPECT_NE(GetModuleHandleW(L"SkinH_VB6.dll"), nullptr);
    expect_fixed_client_size(form->handle());
}

struct DepPolicy {
    bool enabled = false;
    bool permanent = false;
};

DepPolicy dep_policy() {
    DWORD flags = 0;
    BOOL permanent = FALSE;
    if (!GetProcessDEPPolicy(GetCurrentProcess(), &flags, &permanent)) {
        ADD_FAILURE() << "GetProcessDEPPolicy failed: " << GetLastError();
    }
    return {(flags & PROCESS_DEP_ENABLE) != 0, permanent != FALSE};
}

TEST(SkinAbsent, OpensTheWindowUnskinnedAndIgnoresALibraryPlantedInTheCurrentFolder) {
    // The build puts a stand-in in a folder of its own; it must not be picked up from there.
    const std::wstring planted = renpin::platform::executable_directory() + L"\\..\\planted";
    ASSERT_TRUE(SetCurrentDirectoryW(planted.c_str()));
    ASSERT_NE(GetFileAttributesW(L"SkinH_VB6.dll"), INVALID_FILE_ATTRIBUTES);
    // A 32-bit program is linked to leave DEP to the system's policy, which is off here.
    const bool has_dep_choice = sizeof(void*) == 4;
    if (has_dep_choice) {
        ASSERT_FALSE(dep_policy().permanent);
    }
    const auto form = create_form();
    ASSERT_TRUE(form);
    EXPECT_EQ(GetModuleHandleW(L"SkinH_VB6.dll"), nullptr);
    expect_fixed_client_size(form->handle());
    // No skin library needs to run code from data, so DEP is on for good before any input.
    if (has_dep_choice) {
        const DepPolicy policy = dep_policy();
        EXPECT_TRUE(policy.enabled);
        EXPECT_TRUE(policy.permanent);
    }
}

TEST(SkinHeapThunk, RunsASkinEngineThatExecutesHeapMemoryAndOpensTheWholeWindow) {
    const auto form = create_form();
    ASSERT_TRUE(form);
    const auto thunk_result = stand_in_function<int (*)()>("StandIn_ThunkResult");
    ASSERT_NE(thunk_result, nullptr);
    EXPECT_EQ(thunk_result(), 1);
    EXPECT_FALSE(dep_policy().permanent);
    expect_fixed_client_size(form->handle());
}

}  // namespace
