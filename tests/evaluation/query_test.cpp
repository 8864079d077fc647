#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "evaluation/query.h"
#include "evaluation/score.h"
#include "evaluation/verdict.h"

namespace {

using renpin::NoticeButtons;
using renpin::NoticeIcon;
using renpin::NoticeResult;

struct Notice {
    std::u16string text;
    std::u16string title;
    NoticeIcon icon;
    NoticeButtons buttons;
};

// Stands in for the main window: a name box, an output box that may alter what is written to
// it (as a real edit box can), and a record of every notice.
class FakeWindow : public renpin::QueryWindow {
  public:
    explicit FakeWindow(std::u16string name, std::u16string output = u"")
        : name_(std::move(name)), output_(std::move(output)) {}

    std::u16string name_text() const override { return name_; }
    std::u16string output_text() const override { return output_; }
    void set_output_text(std::u16string_view text) override {
        ++writes;
        output_ = std::u16string(text) + box_adds;
    }
    NoticeResult show_notice(std::u16string_view text, std::u16string_view title, NoticeIcon icon,
                             NoticeButtons buttons) override {
        notices.push_back({std::u16string(text), std::u16string(title), icon, buttons});
        return NoticeResult::ok;
    }

    std::u16string box_adds;
    int writes = 0;
    std::vector<Notice> notices;

  private:
    std::u16string name_;
    std::u16string output_;
};

constexpr std::u16string_view over_100 = u"哇靠!你的人品已经过100了!人品计算器已经甘愿认输!";
constexpr std::u16string_view minus_100 = u"哇靠!你活着干嘛!像你这种垃圾死了算了吧!人品:-100!";

TEST(RunQuery, ReproachesAnEmptyNameAndLeavesTheOutputBox) {
    FakeWindow window(u"", u"earlier report");
    renpin::run_query(window);
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].text, u"老大不要玩我,名字都没有你想算什么!");
    EXPECT_EQ(window.notices[0].title, u"k-Vem阿朴");
    EXPECT_EQ(window.notices[0].icon, NoticeIcon::error);
    EXPECT_EQ(window.notices[0].buttons, NoticeButtons::ok);
    EXPECT_EQ(window.writes, 0);
    EXPECT_EQ(window.output_text(), u"earlier report");
}

TEST(RunQuery, AnswersSpecialNamesExactlyAndOthersWithAReport) {
    struct Case {
        std::u16string name;
        std::u16string_view text;  // empty: the computed report
        std::u16string_view title;
        NoticeIcon icon;
    };
    const Case cases[] = {
        {u"K-VEM", over_100, u"k-Vem阿朴提示", NoticeIcon::information},
        {u"K-vem", over_100, u"k-Vem阿朴提示", NoticeIcon::information},
        {u"秦立岚", over_100, u"k-Vem阿朴提示", NoticeIcon::information},
        {u"秦立峤", over_100, u"k-Vem阿朴提示", NoticeIcon::information},
        {u"葛文婷", over_100, u"k-Vem阿朴提示", NoticeIcon::information},
        {u"k-Vem阿朴", over_100, u"k-Vem阿朴提示", NoticeIcon::information},
        {u"菲菲", minus_100, u"k-Vem提示", NoticeIcon::error},
        {u"蒋雨萱", minus_100, u"k-Vem提示", NoticeIcon::error},
        // Near misses are ordinary names: case, missing nickname, spaces, one character off.
        {u"k-vem", u"", u"k-Vem阿朴提示", NoticeIcon::information},
        {u"K-Vem", u"", u"k-Vem阿朴提示", NoticeIcon::information},
        {u"k-Vem", u"", u"k-Vem阿朴提示", NoticeIcon::information},
        {u" 菲菲", u"", u"k-Vem阿朴提示", NoticeIcon::information},
        {u"蒋雨萱 ", u"", u"k-Vem阿朴提示", NoticeIcon::information},
        {u"秦立", u"", u"k-Vem阿朴提示", NoticeIcon::information},
        {u"   ", u"", u"k-Vem阿朴提示", NoticeIcon::information},
    };
    for (const Case& c : cases) {
        FakeWindow window(c.name, u"old text");
        renpin::run_query(window);
        const std::u16string expected =
            c.text.empty() ? renpin::build_report(c.name, renpin::compute_score(c.name))
                           : std::u16string(c.text);
        EXPECT_EQ(window.output_text(), expected);
        ASSERT_EQ(window.notices.size(), 1u);
        EXPECT_EQ(window.notices[0].text, expected);
        EXPECT_EQ(window.notices[0].title, c.title);
        EXPECT_EQ(window.notices[0].icon, c.icon);
        EXPECT_EQ(window.notices[0].buttons, NoticeButtons::ok);
    }
}

TEST(RunQuery, ReportsZhangSanWithScore29) {
    FakeWindow window(u"张三");
    renpin::run_query(window);
    const std::u16string_view report =
        u"查询姓名：张三\r\n人品得分：29\r\n综合评价：你的人品太差了。你应该有干坏事的嗜好吧?\r\n";
    EXPECT_EQ(window.output_text(), report);
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].text, report);
    EXPECT_EQ(window.notices[0].title, u"k-Vem阿朴提示");
    EXPECT_EQ(window.notices[0].icon, NoticeIcon::information);
}

TEST(RunQuery, ShowsTheOutputBoxAsReadBackNotAKeptCopy) {
    for (const std::u16string name : {u"Tom", u"K-VEM", u"菲菲"}) {
        FakeWindow window(name);
        window.box_adds = u"[box]";
        renpin::run_query(window);
        ASSERT_EQ(window.notices.size(), 1u);
        EXPECT_EQ(window.notices[0].text, window.output_text());
        EXPECT_TRUE(window.notices[0].text.ends_with(u"[box]"));
    }
}

TEST(RunQuery, OverwritesTheOutputBoxEveryTime) {
    FakeWindow window(u"Tom", u"something typed by the user");
    renpin::run_query(window);
    renpin::run_query(window);
    EXPECT_EQ(window.writes, 2);
    EXPECT_EQ(window.output_text(), renpin::build_report(u"Tom", 4));
    ASSERT_EQ(window.notices.size(), 2u);
    EXPECT_EQ(window.notices[0].text, window.notices[1].text);
}

TEST(RunQuery, AnswersAMillionUnitNameWithAReport) {
    const std::u16string name(1'000'000, u'c');
    FakeWindow window(name);
    renpin::run_query(window);
    EXPECT_EQ(window.output_text(), renpin::build_report(name, 0));
    ASSERT_EQ(window.notices.size(), 1u);
}

}  // namespace
