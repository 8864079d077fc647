#include "evaluation/verdict.h"

#include <array>

namespace renpin {
namespace {

struct EvaluationRow {
    std::int16_t lowest;
    std::int16_t highest;
    std::u16string_view text;
};

constexpr std::array<EvaluationRow, 21> evaluation_table{{
    {0, 0, u"你一定不是人吧？怎么一点人品都没有？！"},
    {1, 5, u"算了，跟你没什么人品好谈的..."},
    {6, 10, u"是我不好...不应该跟你谈人品问题的..."},
    {11, 15, u"杀过人没有?放过火没有?你应该无恶不做吧?"},
    {16, 20, u"你貌似应该三岁就偷看隔壁大妈洗澡的吧..."},
    {21, 25, u"你的人品之低下实在让人惊讶啊..."},
    {26, 30, u"你的人品太差了。你应该有干坏事的嗜好吧?"},
    {31, 35, u"你的人品真差!肯定经常做偷鸡摸狗的事..."},
    {36, 40, u"你拥有如此差的人品请经常祈求佛祖保佑你吧..."},
    {41, 45, u"老实交待..那些论坛上面经常出现的偷拍照是不是你的杰作?"},
    {46, 50, u"你随地大小便之类的事没少干吧?"},
    {51, 55, u"你的人品太差了..稍不小心就会去干坏事了吧?"},
    {56, 60, u"你的人品很差了..要时刻克制住做坏事的冲动哦.."},
    {61, 65, u"你的人品比较差了..要好好的约束自己啊.."},
    {66, 70, u"你的人品勉勉强强..要自己好自为之.."},
    {71, 75, u"有你这样的人品算是不错了.."},
    {76, 80, u"你有较好的人品..继续保持.."},
    {81, 85, u"你的人品不错..应该一表人才吧?"},
    {86, 90, u"你的人品真好..做好事应该是你的爱好吧.."},
    {91, 95, u"你的人品太好了..你就是当代活雷锋啊..."},
    {96, 99, u"你是世人的榜样！"},
}};

// Scores of -20..-1 match no row; rather than leave the third line bare, they get the remark
// on a score that has run negative.
constexpr std::u16string_view negative_score_text = u"你的人品竟然负溢出了...我对你无语..";

std::u16string decimal(std::int16_t value) {
    const bool negative = value < 0;
    int magnitude = negative ? -static_cast<int>(value) : value;
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        digits.insert(digits.begin(), u'-');
    }
    return digits;
}

}  // namespace

std::u16string_view evaluate(std::int16_t score) {
    for (const EvaluationRow& row : evaluation_table) {
        if (score >= row.lowest && score <= row.highest) {
            return row.text;
        }
    }
    if (score >= -20 && score <= -1) {
        return negative_score_text;
    }
    return {};
}

std::u16string build_report(std::u16string_view name, std::int16_t score) {
    std::u16string report;
    report.reserve(name.size() + 64);
    report.append(u"查询姓名：").append(name).append(u"\r\n");
    report.append(u"人品得分：").append(decimal(score)).append(u"\r\n");
    report.append(u"综合评价：").append(evaluate(score)).append(u"\r\n");
    return report;
}

}  // namespace renpin
