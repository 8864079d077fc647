#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driven_program.h"
#include "window_test_support.h"

namespace {

using renpin::test::pump_messages;
using renpin::window::ControlId;

// What the process holds that a leak in the query would make grow.
struct Resources {
    long long handles = 0;
    long long gdi_objects = 0;
    long long user_objects = 0;
    long long windows = 0;
};

Resources read_resources() {
    Resources resources;
    const char* source = nullptr;
    resources.handles =
        renpin::bench::count_handles(GetCurrentProcess(), GetCurrentProcessId(), &source);
    resources.gdi_objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    resources.user_objects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    // Counted directly too, since some systems (Wine) count no USER objects.
    resources.windows = renpin::bench::count_windows(GetCurrentProcessId());
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

class Form1Soak : public renpin::test::RecordedFormTest {
  protected:
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
