#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "form_fixture.h"
#include "platform/dpi.h"
#include "platform/wide_text.h"
#include "window_reading.h"

namespace {

using renpin::test::class_name;
using renpin::test::create_form;
using renpin::test::rect_in_parent;
using renpin::window::ControlId;
using renpin::window::Form1;

class Form1Layout : public ::testing::Test {
  protected:
    void SetUp() override {
        form = create_form();
        ASSERT_TRUE(form);
        dpi = renpin::platform::window_dpi(form->handle());
    }
    std::unique_ptr<Form1> form;
    UINT dpi = 0;
};

TEST_F(Form1Layout, HasAFixedClientAreaOf348By372PixelsAt96Dpi) {
    if (dpi != 96) {
        GTEST_SKIP() << "the display is at " << dpi << " DPI";
    }
    RECT client{};
    GetClientRect(form->handle(), &client);
    EXPECT_EQ(client.right - client.left, 348);
    EXPECT_EQ(client.bottom - client.top, 372);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form->handle(), GWL_STYLE));
    EXPECT_EQ(style & WS_THICKFRAME, 0u);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0u);
    EXPECT_NE(style & WS_CAPTION, 0u);
    EXPECT_EQ(renpin::platform::window_text(form->handle()), L"Ｍq.人品计算器");
}

TEST_F(Form1Layout, PlacesEveryControlWithItsKindAndCaption) {
    if (dpi != 96) {
        GTEST_SKIP() << "the display is at " << dpi << " DPI";
    }
    struct Expected {
        ControlId id;
        const wchar_t* window_class;
        RECT rect;  // client pixels at 96 DPI; frames' contents sit at the frame's offset
        const wchar_t* caption;
    };
    const Expected expected[] = {
        {ControlId::StatusBar1, STATUSCLASSNAMEW, {0, 331, 348, 372}, nullptr},
        {ControlId::Frame1, L"Button", {8, 80, 337, 249}, L""},
        {ControlId::Command1, L"Button", {248, 96, 321, 121}, L"查询人品"},
        {ControlId::Text2, L"Edit", {16, 128, 321, 233}, L""},
        {ControlId::Text1, L"Edit", {16, 96, 233, 120}, L""},
        {ControlId::Frame2, L"Button", {8, 8, 337, 73}, L""},
        {ControlId::Frame3, L"Button", {8, 256, 337, 321}, L""},
        {ControlId::Command2, L"Button", {16, 272, 113, 313}, L"清空"},
        {ControlId::Command3, L"Button", {120, 272, 225, 313}, L"访问阿朴博客"},
        {ControlId::Command4, L"Button", {232, 272, 329, 313}, L"退出程序"},
    };
    for (const Expected& control : expected) {
        const HWND handle = form->control(control.id);
        ASSERT_NE(handle, nullptr) << static_cast<int>(control.id);
        EXPECT_EQ(GetParent(handle), form->handle());
        EXPECT_EQ(class_name(handle), control.window_class);
        const RECT rect = rect_in_parent(handle);
        EXPECT_EQ(rect.left, control.rect.left) << static_cast<int>(control.id);
        EXPECT_EQ(rect.top, control.rect.top) << static_cast<int>(control.id);
        EXPECT_EQ(rect.right, control.rect.right) << static_cast<int>(control.id);
        EXPECT_EQ(rect.bottom, control.rect.bottom) << static_cast<int>(control.id);
        if (control.caption != nullptr) {
            EXPECT_EQ(renpin::platform::window_text(handle), control.caption);
        }
    }
}

TEST_F(Form1Layout, SizesTheDisclaimerToItsTextInsideItsFrame) {
    const HWND label = form->control(ControlId::Label1);
    EXPECT_EQ(class_name(label), L"Static");
    EXPECT_EQ(renpin::platform::window_text(label), L"本程序仅供娱乐参考，绝无科学根据");
    const RECT rect = rect_in_parent(label);
    const RECT frame = rect_in_parent(form->control(ControlId::Frame2));
    // Its top-left corner is fixed; its size follows the text, which must fit the frame.
    EXPECT_EQ(rect.left, MulDiv(120 + 960, static_cast<int>(dpi), 1440));
    EXPECT_EQ(rect.top, MulDiv(120 + 480, static_cast<int>(dpi), 1440));
    EXPECT_GT(rect.right - rect.left, 0);
    EXPECT_LE(rect.right, frame.right);
    EXPECT_LE(rect.bottom, frame.bottom);
}

TEST_F(Form1Layout, GivesEachControlItsStyle) {
    const auto style = [&](ControlId id) {
        return static_cast<DWORD>(GetWindowLongPtrW(form->control(id), GWL_STYLE));
    };
    EXPECT_EQ(style(ControlId::Command1) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    for (const ControlId button : {ControlId::Command2, ControlId::Command3, ControlId::Command4}) {
        EXPECT_EQ(style(button) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
    }
    for (const ControlId frame : {ControlId::Frame1, ControlId::Frame2, ControlId::Frame3}) {
        EXPECT_EQ(style(frame) & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
    }
    EXPECT_NE(style(ControlId::Text2) & ES_MULTILINE, 0u);
    EXPECT_NE(style(ControlId::Text2) & WS_VSCROLL, 0u);
    EXPECT_EQ(style(ControlId::Text2) & ES_READONLY, 0u);
    EXPECT_EQ(style(ControlId::Text1) & ES_MULTILINE, 0u);
    EXPECT_EQ(style(ControlId::Text1) & ES_READONLY, 0u);
    // Neither edit box stops at the system's default of about 30,000 characters. The limit is
    // an unsigned 32-bit count; in a 32-bit build LRESULT would read 0xFFFFFFFF as -1.
    for (const ControlId box : {ControlId::Text1, ControlId::Text2}) {
        EXPECT_GE(static_cast<DWORD>(SendMessageW(form->control(box), EM_GETLIMITTEXT, 0, 0)),
                  0x7FFFFFFEu);
    }
    const HWND status_bar = form->control(ControlId::StatusBar1);
    EXPECT_EQ(SendMessageW(status_bar, SB_GETPARTS, 0, 0), 1);
    wchar_t notice[256] = {};
    SendMessageW(status_bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(notice));
    EXPECT_NE(std::wstring(notice).find(L"k-Vem阿朴"), std::wstring::npos);
}

TEST_F(Form1Layout, UsesBoldSongFontsForTheTwoBoxesAndTheGuiFontElsewhere) {
    const auto font_of = [&](ControlId id) {
        LOGFONTW font{};
        const auto handle =
            reinterpret_cast<HFONT>(SendMessageW(form->control(id), WM_GETFONT, 0, 0));
        EXPECT_NE(handle, nullptr);
        GetObjectW(handle, sizeof(font), &font);
        return font;
    };
    const LOGFONTW name_font = font_of(ControlId::Text1);
    EXPECT_STREQ(name_font.lfFaceName, L"宋体");
    EXPECT_EQ(name_font.lfWeight, FW_BOLD);
    EXPECT_EQ(name_font.lfCharSet, 134);
    EXPECT_EQ(name_font.lfHeight, -MulDiv(9, static_cast<int>(dpi), 72));
    const LOGFONTW output_font = font_of(ControlId::Text2);
    EXPECT_STREQ(output_font.lfFaceName, L"宋体");
    EXPECT_EQ(output_font.lfWeight, FW_BOLD);
    EXPECT_EQ(output_font.lfCharSet, 134);
    EXPECT_EQ(output_font.lfHeight, -MulDiv(105, static_cast<int>(dpi), 720));
    for (const ControlId id : {ControlId::Command1, ControlId::Label1, ControlId::Command4,
                               ControlId::StatusBar1, ControlId::Frame1}) {
        const LOGFONTW font = font_of(id);
        EXPECT_STRNE(font.lfFaceName, L"System") << static_cast<int>(id);
        EXPECT_STRNE(font.lfFaceName, L"宋体") << static_cast<int>(id);
        EXPECT_NE(font.lfHeight, 0) << static_cast<int>(id);
    }
}

TEST_F(Form1Layout, TabsFromTheQueryButtonThroughTheBoxesAndTheActionButtons) {
    const ControlId order[] = {ControlId::Command1, ControlId::Text2,    ControlId::Text1,
                               ControlId::Command2, ControlId::Command3, ControlId::Command4};
    for (std::size_t i = 0; i < std::size(order); ++i) {
        const ControlId next = order[(i + 1) % std::size(order)];
        EXPECT_EQ(GetNextDlgTabItem(form->handle(), form->control(order[i]), FALSE),
                  form->control(next))
            << i;
    }
}

}  // namespace

namespace {

TEST_F(Form1Layout, LaysItselfOutAgainWhenMovedToAScreenOfAnotherDpi) {
    // Windows 10 1703 and later first ask for the size at the new DPI, then suggest exactly that
    // size with WM_DPICHANGED.
    using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    const auto adjust_for_dpi = reinterpret_cast<AdjustForDpiFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    ASSERT_NE(adjust_for_dpi, nullptr);
    RECT expected_outer{0, 0, 522, 558};
    adjust_for_dpi(&expected_outer,
                   static_cast<DWORD>(GetWindowLongPtrW(form->handle(), GWL_STYLE)), FALSE,
                   static_cast<DWORD>(GetWindowLongPtrW(form->handle(), GWL_EXSTYLE)), 144);
    constexpr UINT get_dpi_scaled_size = 0x02E4;
    SIZE scaled{348, 372};
    EXPECT_EQ(
        SendMessageW(form->handle(), get_dpi_scaled_size, 144, reinterpret_cast<LPARAM>(&scaled)),
        TRUE);
    EXPECT_EQ(scaled.cx, expected_outer.right - expected_outer.left);
    EXPECT_EQ(scaled.cy, expected_outer.bottom - expected_outer.top);

    RECT suggested{100, 50, 100 + scaled.cx, 50 + scaled.cy};
    SendMessageW(form->handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    GetClientRect(form->handle(), &client);
    EXPECT_EQ(client.right, 522);
    EXPECT_EQ(client.bottom, 558);
    RECT outer{};
    GetWindowRect(form->handle(), &outer);
    // Wine draws the frame at the system's DPI, so only the corner is compared.
    EXPECT_EQ(outer.left, suggested.left);
    EXPECT_EQ(outer.top, suggested.top);
    const RECT query_button = rect_in_parent(form->control(ControlId::Command1));
    EXPECT_EQ(query_button.left, 372);
    EXPECT_EQ(query_button.top, 144);
    EXPECT_EQ(query_button.right, 482);
    EXPECT_EQ(query_button.bottom, 182);
    LOGFONTW name_font{};
    GetObjectW(
        reinterpret_cast<HFONT>(SendMessageW(form->control(ControlId::Text1), WM_GETFONT, 0, 0)),
        sizeof(name_font), &name_font);
    EXPECT_EQ(name_font.lfHeight, -18);
}

}  // namespace
