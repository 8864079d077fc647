#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form_fixture.h"
#include "platform/wide_text.h"
#include "soak.h"

namespace {

using renpin::test::ProcessResources;
using renpin::test::pump_messages;
using renpin::window::ControlId;

ProcessResources read_resources() {
    return renpin::test::read_process_resources(GetCurrentProcess(), GetCurrentProcessId());
}

class Form1Soak : public renpin::test::RecordedFormTest {
  protected:
    // Clicks the query button `count` times, each time with another name in the name box.
    void run_queries(int count) {
        for (int i = 0; i < count; ++i) {
            recorder.notices.clear();
            form->set_name_text(renpin::platform::to_u16(renpin::test::soak_name(next_query_++)));
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
        const auto growth = [](DWORD before, DWORD after) {
            return static_cast<long long>(after) - static_cast<long long>(before);
        };
        run_queries(warm_up_queries);
        const ProcessResources before = read_resources();
        run_queries(queries);
        const ProcessResources after = read_resources();

        EXPECT_EQ(answered, warm_up_queries + queries);
        EXPECT_GT(before.handles, 0u);
        EXPECT_LE(growth(before.handles, after.handles), allowed_growth);
        EXPECT_LE(growth(before.gdi_objects, after.gdi_objects), allowed_growth);
        EXPECT_LE(growth(before.user_objects, after.user_objects), allowed_growth);
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
