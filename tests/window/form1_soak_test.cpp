#include <gtest/gtest.h>

#include <winternl.h>

#include <string>
#include <vector>

#include "window_test_support.h"

namespace {

using renpin::test::create_form;
using renpin::test::NoticeRecorder;
using renpin::test::pump_messages;
using renpin::window::ControlId;
using renpin::window::Form1;

// What the process holds that a leak in the query would make grow.
struct Resources {
    long long handles = 0;
    long long gdi_objects = 0;
    long long user_objects = 0;
    long long windows = 0;
};

BOOL CALLBACK count_window(HWND, LPARAM count_address) {
    ++*reinterpret_cast<long long*>(count_address);
    return TRUE;
}

BOOL CALLBACK count_window_and_children(HWND window, LPARAM count_address) {
    count_window(window, count_address);
    EnumChildWindows(window, count_window, count_address);
    return TRUE;
}

// This thread's top-level windows and all their descendants. Counted directly, since some
// systems (Wine) do not count USER objects in GetGuiResources.
long long count_windows() {
    long long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), count_window_and_children,
                      reinterpret_cast<LPARAM>(&count));
    return count;
}

// The layout of SystemExtendedHandleInformation, which winternl.h leaves out.
struct HandleEntry {
    void* object;
    ULONG_PTR process_id;
    ULONG_PTR handle_value;
    ULONG granted_access;
    USHORT creator_back_trace_index;
    USHORT object_type_index;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

// This process's entries in the system handle table, or 0 if the table cannot be read.
long long count_in_handle_table() {
    using Query = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    constexpr ULONG system_extended_handle_information = 64;
    constexpr NTSTATUS length_mismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<ULONG_PTR> buffer(1 << 14);
    NTSTATUS status = 0;
    ULONG length = 0;
    while ((status = query(system_extended_handle_information, buffer.data(),
                           static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &length)) ==
           length_mismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) {
        return 0;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    long long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) {
        count += table->entries[i].process_id == GetCurrentProcessId() ? 1 : 0;
    }
    return count;
}

// GetProcessHandleCount's answer, or the handle table's where it answers zero (Wine).
long long count_handles() {
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles != 0) {
        return handles;
    }
    return count_in_handle_table();
}

Resources read_resources() {
    Resources resources;
    resources.handles = count_handles();
    resources.gdi_objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    resources.user_objects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    resources.windows = count_windows();
    return resources;
}

// ASCII, Chinese, surrogate pairs, spaces, an empty name, the names with fixed answers and,
// every other round, a number that makes the name new.
std::u16string soak_name(int query) {
    static constexpr const char16_t* names[] = {
        u"张三",
        u"Tom",
        u"李四 Li Si",
        u"  spaced   out  ",
        u"\U0001F600\U0001F389",
        u"赵钱孙李\U00020000",
        u"k-Vem阿朴",
        u"菲菲",
        u"",
        u"欧阳 娜娜 ",
    };
    constexpr int count = static_cast<int>(std::size(names));
    std::u16string name = names[query % count];
    if ((query / count) % 2 == 1) {
        for (const char c : std::to_string(query)) {
            name += static_cast<char16_t>(c);
        }
    }
    return name;
}

class Form1Soak : public ::testing::Test {
  protected:
    void SetUp() override {
        form = create_form();
        ASSERT_TRUE(form);
        form->replace_notice_box(recorder.box());
    }
    void TearDown() override {
        if (form) {
            form->replace_notice_box(nullptr);
        }
    }

    // Clicks the query button `count` times, each time with another name in the name box.
    void run_queries(int count) {
        for (int i = 0; i < count; ++i) {
            recorder.notices.clear();
            form->set_name_text(soak_name(next_query_++));
            SendMessageW(form->control(ControlId::Command1), BM_CLICK, 0, 0);
            if (IsWindowVisible(form->handle())) {
                UpdateWindow(form->handle());
            }
            pump_messages(form->handle());
            answered += static_cast<int>(recorder.notices.size());
        }
    }

    // Runs the queries after a warm-up that lets the system fill its caches, and checks that
    // they left the process holding no more than before.
    void expect_no_growth(int queries) {
        constexpr int warm_up_queries = 50;
        // Room for what the system itself caches along the way; a leak of one object per query
        // exceeds it many times over.
        constexpr long long allowed_growth = 16;
        run_queries(warm_up_queries);
        const Resources before = read_resources();
        run_queries(queries);
        const Resources after = read_resources();

        EXPECT_EQ(answered, warm_up_queries + queries);
        EXPECT_GT(before.handles, 0);
        EXPECT_LE(after.handles - before.handles, allowed_growth);
        EXPECT_LE(after.gdi_objects - before.gdi_objects, allowed_growth);
        EXPECT_LE(after.user_objects - before.user_objects, allowed_growth);
        EXPECT_EQ(after.windows, before.windows);
    }

    NoticeRecorder recorder;
    std::unique_ptr<Form1> form;
    int answered = 0;

  private:
    int next_query_ = 0;
};

// The window stays hidden: the query's own work, without the painting.
TEST_F(Form1Soak, HoldsNoMoreHandlesOrObjectsAfterThousandsOfQueries) {
    expect_no_growth(2'000);
}

// Painting each answer costs far more under Wine than the query itself, hence fewer queries.
TEST_F(Form1Soak, HoldsNoMoreHandlesOrObjectsAfterQueriesShownOnScreen) {
    form->show(SW_SHOWNORMAL);
    pump_messages(form->handle());
    expect_no_growth(100);
}

}  // namespace
