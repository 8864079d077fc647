#pragma once

// The texts of the main window, shared by the Windows program and the web page: each is written
// here once. Free of <windows.h>, so that any build can include it.
namespace renpin::texts {

inline constexpr char16_t caption[] = u"Ｍq.人品计算器";
inline constexpr char16_t disclaimer[] = u"本程序仅供娱乐参考，绝无科学根据";
inline constexpr char16_t query_button[] = u"查询人品";
inline constexpr char16_t clear_button[] = u"清空";
inline constexpr char16_t visit_page_button[] = u"访问阿朴博客";
inline constexpr char16_t exit_button[] = u"退出程序";
inline constexpr char16_t status_bar[] = u"k-Vem阿朴 出品  ·  结果仅供娱乐，欢迎访问阿朴博客";

// What screen readers call the two text boxes, which have no label to take a name from.
inline constexpr char16_t name_box_name[] = u"姓名";
inline constexpr char16_t output_box_name[] = u"查询结果";

// The question asked before the window closes, whatever asked it to close.
inline constexpr char16_t close_question[] = u"您确定退出本程序吗?";
inline constexpr char16_t close_question_title[] = u"k-Vem阿朴提示";

}  // namespace renpin::texts
