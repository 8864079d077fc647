#include "window/controls.h"

#include <commctrl.h>

#include "platform/dpi.h"
#include "window/wide_texts.h"

namespace renpin::window {
namespace {

constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD frame_style = child | BS_GROUPBOX;
// Push buttons report when they take the focus, so the default border can follow it.
constexpr DWORD push_button = child | WS_TABSTOP | WS_GROUP | BS_NOTIFY;

LOGFONTW song_bold(int tenths_of_point, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(tenths_of_point, static_cast<int>(dpi), 720);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = GB2312_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, L"宋体", LF_FACESIZE);
    return font;
}

}  // namespace

constexpr std::array<ControlEntry, 11> form1_controls{{
    {ControlId::StatusBar1,
     STATUSCLASSNAMEW,
     ControlId::StatusBar1,
     {0, 4965, 5220, 615},
     wide_texts::status_bar.text,
     child | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
     ControlFont::window},
    {ControlId::Frame1,
     WC_BUTTONW,
     ControlId::Frame1,
     {120, 1200, 4935, 2535},
     L"",
     frame_style,
     ControlFont::window},
    {ControlId::Command1,
     WC_BUTTONW,
     ControlId::Frame1,
     {3600, 240, 1095, 375},
     wide_texts::query_button.text,
     push_button | BS_DEFPUSHBUTTON,
     ControlFont::window},
    {ControlId::Text2,
     WC_EDITW,
     ControlId::Frame1,
     {120, 720, 4575, 1575},
     L"",
     child | WS_TABSTOP | WS_GROUP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
         ES_WANTRETURN,
     ControlFont::output_box},
    {ControlId::Text1,
     WC_EDITW,
     ControlId::Frame1,
     {120, 240, 3255, 360},
     L"",
     child | WS_TABSTOP | WS_GROUP | WS_BORDER | ES_AUTOHSCROLL,
     ControlFont::name_box},
    {ControlId::Frame2,
     WC_BUTTONW,
     ControlId::Frame2,
     {120, 120, 4935, 975},
     L"",
     frame_style,
     ControlFont::window},
    {ControlId::Label1,
     WC_STATICW,
     ControlId::Frame2,
     {960, 480, 2880, 180},
     wide_texts::disclaimer.text,
     child | SS_LEFT | SS_NOPREFIX,
     ControlFont::window},
    {ControlId::Frame3,
     WC_BUTTONW,
     ControlId::Frame3,
     {120, 3840, 4935, 975},
     L"",
     frame_style,
     ControlFont::window},
    {ControlId::Command2,
     WC_BUTTONW,
     ControlId::Frame3,
     {120, 240, 1455, 615},
     wide_texts::clear_button.text,
     push_button | BS_PUSHBUTTON,
     ControlFont::window},
    {ControlId::Command3,
     WC_BUTTONW,
     ControlId::Frame3,
     {1680, 240, 1575, 615},
     wide_texts::visit_page_button.text,
     push_button | BS_PUSHBUTTON,
     ControlFont::window},
    {ControlId::Command4,
     WC_BUTTONW,
     ControlId::Frame3,
     {3360, 240, 1455, 615},
     wide_texts::exit_button.text,
     push_button | BS_PUSHBUTTON,
     ControlFont::window},
}};

// Each control sits at its identifier's place in the table, which is also the tab order.
static_assert([] {
    for (std::size_t i = 0; i < form1_controls.size(); ++i) {
        if (static_cast<std::size_t>(form1_controls[i].id) !=
            static_cast<std::size_t>(ControlId::StatusBar1) + i) {
            return false;
        }
    }
    return true;
}());

const ControlEntry& control_entry(ControlId id) {
    return form1_controls[static_cast<std::size_t>(static_cast<int>(id) -
                                                   static_cast<int>(ControlId::StatusBar1))];
}

LOGFONTW control_font(ControlFont font, UINT dpi) {
    switch (font) {
        case ControlFont::name_box:
            return song_bold(90, dpi);
        case ControlFont::output_box:
            return song_bold(105, dpi);
        case ControlFont::window:
            break;
    }
    return platform::message_font(dpi);
}

RECT control_rect(const ControlEntry& entry, UINT dpi) {
    int left = entry.rect.left;
    int top = entry.rect.top;
    if (entry.frame != entry.id) {
        const TwipsRect& frame = control_entry(entry.frame).rect;
        left += frame.left;
        top += frame.top;
    }
    // Edges are scaled rather than sizes, so neighbouring controls never drift apart by rounding.
    return RECT{twips_to_pixels(left, dpi), twips_to_pixels(top, dpi),
                twips_to_pixels(left + entry.rect.width, dpi),
                twips_to_pixels(top + entry.rect.height, dpi)};
}

}  // namespace renpin::window
