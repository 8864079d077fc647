#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "form_fixture.h"

namespace {

using renpin::NoticeButtons;
using renpin::NoticeIcon;
using renpin::NoticeResult;
using renpin::test::pump_messages;
using renpin::window::ControlId;

class Form1Lifecycle : public renpin::test::RecordedFormTest {
  protected:
    void SetUp() override {
        RecordedFormTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        form->set_name_text(u"张三");
        form->set_output_text(u"上一次的结果");
    }
    void expect_one_exit_question() {
        ASSERT_EQ(recorder.notices.size(), 1u);
        EXPECT_EQ(recorder.notices[0].text, u"您确定退出本程序吗?");
        EXPECT_EQ(recorder.notices[0].title, u"k-Vem阿朴提示");
        EXPECT_EQ(recorder.notices[0].icon, NoticeIcon::information);
        EXPECT_EQ(recorder.notices[0].buttons, NoticeButtons::yes_no);
        EXPECT_EQ(static_cast<unsigned>(recorder.notices[0].icon) |
                      static_cast<unsigned>(recorder.notices[0].buttons),
                  68u);
    }
};

TEST_F(Form1Lifecycle, StaysOpenAndUnchangedWhenTheCloseIsNotConfirmed) {
    for (const NoticeResult answer : {NoticeResult::no, NoticeResult::cancel, NoticeResult::ok}) {
        recorder.notices.clear();
        recorder.answer = answer;
        SendMessageW(form->handle(), WM_CLOSE, 0, 0);
        pump_messages(form->handle());
        expect_one_exit_question();
        ASSERT_TRUE(IsWindow(form->handle()));
        EXPECT_EQ(form->name_text(), u"张三");
        EXPECT_EQ(form->output_text(), u"上一次的结果");
    }
}

TEST_F(Form1Lifecycle, AsksOnceForTheExitButtonAsForTheCloseBox) {
    recorder.answer = NoticeResult::no;
    click(ControlId::Command4);
    expect_one_exit_question();
    EXPECT_TRUE(IsWindow(form->handle()));

    recorder.notices.clear();
    recorder.answer = NoticeResult::yes;
    const HWND window = form->handle();
    click(ControlId::Command4);
    expect_one_exit_question();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(form->handle(), nullptr);
}

TEST_F(Form1Lifecycle, ClosesOnYesFromTheSystemMenu) {
    recorder.answer = NoticeResult::yes;
    const HWND window = form->handle();
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    pump_messages(window);
    expect_one_exit_question();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Form1Lifecycle, AsksBeforeTheSessionEnds) {
    recorder.answer = NoticeResult::no;
    EXPECT_EQ(SendMessageW(form->handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    expect_one_exit_question();
    SendMessageW(form->handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(IsWindow(form->handle()));

    recorder.notices.clear();
    recorder.answer = NoticeResult::yes;
    const HWND window = form->handle();
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Form1Lifecycle, AnswersNoRequestWithASecondNoticeWhileOneIsOpen) {
    const HWND window = form->handle();
    const auto send = [](HWND to, UINT message, WPARAM wparam) {
        return [=] { return SendMessageW(to, message, wparam, 0); };
    };
    const struct {
        const char* name;
        std::function<LRESULT()> request;
        LRESULT answer;
    } requests[] = {
        {"close", send(window, WM_CLOSE, 0), 0},
        {"system menu", send(window, WM_SYSCOMMAND, SC_CLOSE), 0},
        {"session end", send(window, WM_QUERYENDSESSION, 0), FALSE},
        {"exit button", send(form->control(ControlId::Command4), BM_CLICK, 0), 0},
        {"clear button", send(form->control(ControlId::Command2), BM_CLICK, 0), 0},
        {"query button", send(form->control(ControlId::Command1), BM_CLICK, 0), 0},
    };
    // Under the close confirmation and under a query's answer alike.
    for (const bool confirming : {true, false}) {
        for (const auto& row : requests) {
            recorder.notices.clear();
            recorder.answer = confirming ? NoticeResult::no : NoticeResult::ok;
            LRESULT answer = -1;
            std::u16string name_after;
            std::u16string output_before;
            std::u16string output_after;
            recorder.while_open = [&] {
                output_before = form->output_text();
                answer = row.request();
                name_after = form->name_text();
                output_after = form->output_text();
            };
            if (confirming) {
                SendMessageW(window, WM_CLOSE, 0, 0);
            } else {
                click(ControlId::Command1);
            }
            EXPECT_EQ(recorder.notices.size(), 1u) << row.name << ", confirming: " << confirming;
            EXPECT_EQ(answer, row.answer) << row.name;
            ASSERT_TRUE(IsWindow(window)) << row.name;
            EXPECT_EQ(name_after, u"张三") << row.name;
            EXPECT_EQ(output_after, output_before) << row.name;
        }
    }
    // With the notices gone, a close request asks again.
    recorder.notices.clear();
    recorder.answer = NoticeResult::no;
    SendMessageW(window, WM_CLOSE, 0, 0);
    expect_one_exit_question();
}

TEST_F(Form1Lifecycle, CannotBeResizedByItsEdges) {
    form->show(SW_SHOWNORMAL);
    pump_messages(form->handle());
    RECT client_before{};
    GetClientRect(form->handle(), &client_before);
    RECT outer{};
    GetWindowRect(form->handle(), &outer);
    const int middle_x = (outer.left + outer.right) / 2;
    const int middle_y = (outer.top + outer.bottom) / 2;
    const POINT edges[] = {{outer.left, middle_y},
                           {outer.right - 1, middle_y},
                           {middle_x, outer.bottom - 1},
                           {outer.right - 1, outer.bottom - 1}};
    for (const POINT edge : edges) {
        const LRESULT hit =
            SendMessageW(form->handle(), WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y));
        EXPECT_TRUE(hit < HTSIZEFIRST || hit > HTSIZELAST) << hit;
    }
    RECT client_after{};
    GetClientRect(form->handle(), &client_after);
    EXPECT_TRUE(EqualRect(&client_before, &client_after));
}

TEST_F(Form1Lifecycle, ClearEmptiesBothBoxesAndSaysNothing) {
    form->show(SW_SHOWNORMAL);
    SetFocus(form->control(ControlId::Text1));
    SendMessageW(form->control(ControlId::Command2), BM_CLICK, 0, 0);
    pump_messages(form->handle());
    EXPECT_TRUE(form->name_text().empty());
    EXPECT_TRUE(form->output_text().empty());
    EXPECT_TRUE(recorder.notices.empty());
    EXPECT_TRUE(recorder.opened_pages.empty());

    // A query right after it gets the reproach for the empty name.
    click(ControlId::Command1);
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].text, u"老大不要玩我,名字都没有你想算什么!");
}

TEST_F(Form1Lifecycle, OpensTheMakersPageOncePerClickAndTwicePerDoubleClick) {
    click(ControlId::Command3);
    click(ControlId::Command3);
    ASSERT_EQ(recorder.opened_pages.size(), 2u);
    EXPECT_EQ(recorder.opened_pages[0], renpin::window::maker_page);
    EXPECT_EQ(recorder.opened_pages[1], renpin::window::maker_page);
    EXPECT_TRUE(recorder.notices.empty());
    EXPECT_EQ(form->output_text(), u"上一次的结果");

    // A double click is two clicks: the mouse messages it is made of, sent to the button.
    const HWND button = form->control(ControlId::Command3);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        SendMessageW(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, 0);
    }
    EXPECT_EQ(recorder.opened_pages.size(), 4u);
}

TEST_F(Form1Lifecycle, SaysSoWhenTheBrowserCannotBeStarted) {
    recorder.page_opens = false;
    click(ControlId::Command3);
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].icon, NoticeIcon::error);
    EXPECT_EQ(recorder.notices[0].buttons, NoticeButtons::ok);
    const std::u16string address(std::begin(renpin::window::maker_page),
                                 std::end(renpin::window::maker_page) - 1);
    EXPECT_NE(recorder.notices[0].text.find(address), std::u16string::npos);
    EXPECT_NE(recorder.notices[0].text.find(u"无法打开"), std::u16string::npos);
    EXPECT_TRUE(IsWindow(form->handle()));
}

// The control that the system refuses to create, for the hook below.
int refused_control = 0;

LRESULT CALLBACK refuse_control(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* created = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
        if ((created->style & WS_CHILD) &&
            reinterpret_cast<INT_PTR>(created->hMenu) == refused_control) {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(Form1Creation, FailsWhenAnyControlCannotBeCreated) {
    for (const auto& entry : renpin::window::form1_controls) {
        refused_control = static_cast<int>(entry.id);
        const HHOOK hook = SetWindowsHookExW(WH_CBT, refuse_control, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        const auto form = renpin::test::create_form();
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(form, nullptr) << refused_control;
        EXPECT_EQ(FindWindowW(L"RenpinForm1", nullptr), nullptr) << refused_control;
    }
}

}  // namespace
