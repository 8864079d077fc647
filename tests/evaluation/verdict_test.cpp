#include <gtest/gtest.h>

#include <string>

#include "evaluation/verdict.h"

namespace {

using namespace std::string_view_literals;

TEST(Evaluate, PicksTheRowThatHoldsTheScore) {
    struct Case {
        int score;
        std::u16string_view text;
    };
    const Case cases[] = {
        {0, u"你一定不是人吧？怎么一点人品都没有？！"},
        {1, u"算了，跟你没什么人品好谈的..."},
        {5, u"算了，跟你没什么人品好谈的..."},
        {6, u"是我不好...不应该跟你谈人品问题的..."},
        {10, u"是我不好...不应该跟你谈人品问题的..."},
        {11, u"杀过人没有?放过火没有?你应该无恶不做吧?"},
        {20, u"你貌似应该三岁就偷看隔壁大妈洗澡的吧..."},
        {21, u"你的人品之低下实在让人惊讶啊..."},
        {29, u"你的人品太差了。你应该有干坏事的嗜好吧?"},
        {35, u"你的人品真差!肯定经常做偷鸡摸狗的事..."},
        {36, u"你拥有如此差的人品请经常祈求佛祖保佑你吧..."},
        {45, u"老实交待..那些论坛上面经常出现的偷拍照是不是你的杰作?"},
        {46, u"你随地大小便之类的事没少干吧?"},
        {55, u"你的人品太差了..稍不小心就会去干坏事了吧?"},
        {56, u"你的人品很差了..要时刻克制住做坏事的冲动哦.."},
        {65, u"你的人品比较差了..要好好的约束自己啊.."},
        {70, u"你的人品勉勉强强..要自己好自为之.."},
        {71, u"有你这样的人品算是不错了.."},
        {80, u"你有较好的人品..继续保持.."},
        {81, u"你的人品不错..应该一表人才吧?"},
        {90, u"你的人品真好..做好事应该是你的爱好吧.."},
        {91, u"你的人品太好了..你就是当代活雷锋啊..."},
        {95, u"你的人品太好了..你就是当代活雷锋啊..."},
        {96, u"你是世人的榜样！"},
        {99, u"你是世人的榜样！"},
        {-1, u"你的人品竟然负溢出了...我对你无语.."},
        {-20, u"你的人品竟然负溢出了...我对你无语.."},
        {-21, u""},
        {100, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(renpin::evaluate(static_cast<std::int16_t>(c.score)), c.text) << c.score;
    }
}

TEST(Evaluate, GivesEveryScoreFrom0To99ATextAndChangesOnlyAtRowEdges) {
    const int row_starts[] = {1,  6,  11, 16, 21, 26, 31, 36, 41, 46,
                              51, 56, 61, 66, 71, 76, 81, 86, 91, 96};
    int changes = 0;
    for (int score = 1; score <= 99; ++score) {
        const auto here = renpin::evaluate(static_cast<std::int16_t>(score));
        const auto before = renpin::evaluate(static_cast<std::int16_t>(score - 1));
        ASSERT_FALSE(here.empty()) << score;
        if (here != before) {
            ASSERT_LT(changes, 20);
            EXPECT_EQ(score, row_starts[changes]);
            ++changes;
        }
    }
    EXPECT_EQ(changes, 20);
}

TEST(BuildReport, WritesThreeLinesEndingInCrLf) {
    EXPECT_EQ(
        renpin::build_report(u"张三", 29),
        u"查询姓名：张三\r\n人品得分：29\r\n综合评价：你的人品太差了。你应该有干坏事的嗜好吧?\r\n"sv);
    EXPECT_EQ(
        renpin::build_report(u" a b ", 0),
        u"查询姓名： a b \r\n人品得分：0\r\n综合评价：你一定不是人吧？怎么一点人品都没有？！\r\n"sv);
    EXPECT_EQ(
        renpin::build_report(u"x", -20),
        u"查询姓名：x\r\n人品得分：-20\r\n综合评价：你的人品竟然负溢出了...我对你无语..\r\n"sv);
    EXPECT_EQ(
        renpin::build_report(u"\U0001F600", 7),
        u"查询姓名：\U0001F600\r\n人品得分：7\r\n综合评价：是我不好...不应该跟你谈人品问题的...\r\n"sv);
}

TEST(BuildReport, CopiesTheNameUnchangedWhateverItHolds) {
    const std::u16string name = std::u16string(u"\r\n\0\t", 4) + std::u16string(100'000, u'名');
    const std::u16string report = renpin::build_report(name, 99);
    EXPECT_EQ(report.substr(5, name.size()), name);
    EXPECT_EQ(report.substr(5 + name.size()),
              u"\r\n人品得分：99\r\n综合评价：你是世人的榜样！\r\n"sv);
}

}  // namespace
