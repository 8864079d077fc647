#include "evaluation/query.h"

#include <algorithm>
#include <array>

#include "evaluation/score.h"
#include "evaluation/verdict.h"

namespace renpin {
namespace {

constexpr std::array<std::u16string_view, 6> favoured_names{
    u"K-VEM", u"K-vem", u"秦立岚", u"秦立峤", u"葛文婷", u"k-Vem阿朴",
};
constexpr std::array<std::u16string_view, 2> disfavoured_names{u"菲菲", u"蒋雨萱"};

bool is_listed(std::u16string_view name, const auto& list) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// Writes the answer into the output box, then shows what the box holds now.
void answer(QueryWindow& window, std::u16string_view text, std::u16string_view title,
            NoticeIcon icon) {
    window.set_output_text(text);
    window.show_notice(window.output_text(), title, icon, NoticeButtons::ok);
}

}  // namespace

void run_query(QueryWindow& window) {
    const std::u16string name = window.name_text();
    if (name.empty()) {
        window.show_notice(u"老大不要玩我,名字都没有你想算什么!", u"k-Vem阿朴", NoticeIcon::error,
                           NoticeButtons::ok);
        return;
    }
    if (is_listed(name, favoured_names)) {
        answer(window, u"哇靠!你的人品已经过100了!人品计算器已经甘愿认输!", u"k-Vem阿朴提示",
               NoticeIcon::information);
        return;
    }
    if (is_listed(name, disfavoured_names)) {
        answer(window, u"哇靠!你活着干嘛!像你这种垃圾死了算了吧!人品:-100!", u"k-Vem提示",
               NoticeIcon::error);
        return;
    }
    answer(window, build_report(name, compute_score(name)), u"k-Vem阿朴提示",
           NoticeIcon::information);
}

}  // namespace renpin
