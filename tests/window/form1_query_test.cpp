#include <gtest/gtest.h>

#include "evaluation/score.h"
#include "evaluation/verdict.h"
#include "form_fixture.h"
#include "message_boxes.h"
#include "platform/wide_text.h"

namespace {

using renpin::NoticeButtons;
using renpin::NoticeIcon;
using renpin::NoticeResult;
using renpin::test::MessageBoxAnswerer;
using renpin::test::press_key;
using renpin::test::pump_messages;
using renpin::window::ControlId;

constexpr std::u16string_view zhang_san_report =
    u"查询姓名：张三\r\n人品得分：29\r\n综合评价：你的人品太差了。你应该有干坏事的嗜好吧?\r\n";

using Form1Query = renpin::test::RecordedFormTest;

TEST_F(Form1Query, StartsWithEmptyBoxesAndTheFocusOnTheQueryButton) {
    show();
    EXPECT_TRUE(form->name_text().empty());
    EXPECT_TRUE(form->output_text().empty());
    EXPECT_EQ(GetFocus(), form->control(ControlId::Command1));
}

TEST_F(Form1Query, AnswersTheNameInTheBoxWhenTheQueryButtonIsClicked) {
    form->set_name_text(u"张三");
    click(ControlId::Command1);
    EXPECT_EQ(form->output_text(), zhang_san_report);
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].text, zhang_san_report);
    EXPECT_EQ(recorder.notices[0].title, u"k-Vem阿朴提示");
    EXPECT_EQ(recorder.notices[0].icon, NoticeIcon::information);
    EXPECT_EQ(recorder.notices[0].buttons, NoticeButtons::ok);
}

TEST_F(Form1Query, RunsTheQueryOnEnterInTheNameBoxAndTheFocusedButtonOtherwise) {
    show();
    form->set_name_text(u"菲菲");
    SetFocus(form->control(ControlId::Text1));
    press_key(form->handle(), VK_RETURN);
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].title, u"k-Vem提示");
    EXPECT_EQ(recorder.notices[0].icon, NoticeIcon::error);
    EXPECT_EQ(form->output_text(), u"哇靠!你活着干嘛!像你这种垃圾死了算了吧!人品:-100!");

    // Enter on the clear button clears rather than asks again.
    SetFocus(form->control(ControlId::Command2));
    press_key(form->handle(), VK_RETURN);
    EXPECT_EQ(recorder.notices.size(), 1u);
    EXPECT_TRUE(form->name_text().empty());
    EXPECT_TRUE(form->output_text().empty());
}

TEST_F(Form1Query, MovesTheFocusWithTabAndShiftTabThroughTheKeyboardHandling) {
    show();
    ASSERT_EQ(GetFocus(), form->control(ControlId::Command1));
    press_key(form->handle(), VK_TAB);
    EXPECT_EQ(GetFocus(), form->control(ControlId::Text2));
    // The multi-line box hands Tab back to the window rather than keeping it.
    press_key(form->handle(), VK_TAB);
    EXPECT_EQ(GetFocus(), form->control(ControlId::Text1));
    press_key(form->handle(), VK_TAB);
    EXPECT_EQ(GetFocus(), form->control(ControlId::Command2));
    SendMessageW(form->handle(), WM_NEXTDLGCTL, TRUE, FALSE);
    EXPECT_EQ(GetFocus(), form->control(ControlId::Text1));
    SendMessageW(form->handle(), WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(form->control(ControlId::Command4)), TRUE);
    EXPECT_EQ(GetFocus(), form->control(ControlId::Command4));
}

TEST_F(Form1Query, LeavesTheOutputBoxAsItWasForAnEmptyName) {
    form->set_output_text(u"earlier");
    click(ControlId::Command1);
    EXPECT_EQ(form->output_text(), u"earlier");
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].text, u"老大不要玩我,名字都没有你想算什么!");
    EXPECT_EQ(recorder.notices[0].title, u"k-Vem阿朴");
    EXPECT_EQ(recorder.notices[0].icon, NoticeIcon::error);
}

TEST_F(Form1Query, AnswersNamesOfAnyLengthAndScrollsInsteadOfGrowing) {
    const std::u16string name = std::u16string(40'000, u'赵') + u"\U0001F600 ";
    form->set_name_text(name);
    ASSERT_EQ(form->name_text(), name);
    RECT before{};
    GetWindowRect(form->control(ControlId::Text2), &before);
    click(ControlId::Command1);
    const std::u16string report = renpin::build_report(name, renpin::compute_score(name));
    EXPECT_EQ(form->output_text(), report);
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].text, report);
    RECT after{};
    GetWindowRect(form->control(ControlId::Text2), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(form->control(ControlId::Text2), SB_VERT, &scroll));
    EXPECT_GT(scroll.nMax - scroll.nMin + 1, static_cast<int>(scroll.nPage));
}

TEST_F(Form1Query, ShowsTheAnswerInTheSystemMessageBoxAndGivesTheFocusBack) {
    recorder.to_system_box = true;
    show();
    form->set_name_text(u"张三");
    SetFocus(form->control(ControlId::Text1));
    MessageBoxAnswerer answerer(IDOK);
    press_key(form->handle(), VK_RETURN);
    const auto seen = answerer.finish();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, L"k-Vem阿朴提示");
    EXPECT_EQ(seen[0].text, renpin::platform::to_wide(zhang_san_report));
    EXPECT_EQ(form->output_text(), zhang_san_report);
    pump_messages(form->handle());
    EXPECT_EQ(GetFocus(), form->control(ControlId::Text1));
}

}  // namespace
