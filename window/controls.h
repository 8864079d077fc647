#pragma once

#include <windows.h>

#include <array>

namespace renpin::window {

// Control identifiers, in the window's tab order.
enum class ControlId : int {
    StatusBar1 = 100,
    Frame1,
    Command1,
    Text2,
    Text1,
    Frame2,
    Label1,
    Frame3,
    Command2,
    Command3,
    Command4,
};

enum class ControlFont { window, name_box, output_box };

// A rectangle in twips (1/1440 inch).
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlEntry {
    ControlId id;
    const wchar_t* window_class;
    ControlId frame;  // the frame it sits in; its own id for controls placed on the window itself
    TwipsRect rect;   // relative to the frame's top-left corner
    const wchar_t* caption;
    DWORD style;
    ControlFont font;
};

inline constexpr int form_client_width_twips = 5220;
inline constexpr int form_client_height_twips = 5580;

// Every control of the main window, in tab order, which is also the order of creation.
extern const std::array<ControlEntry, 11> form1_controls;

[[nodiscard]] const ControlEntry& control_entry(ControlId id);

// Twips to pixels at a DPI: 15 twips are one pixel at 96 DPI.
[[nodiscard]] inline int twips_to_pixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// The font of that kind at the DPI: the system's message font, or 宋体 in bold with the GB2312
// character set at 9 points for the name box and 10.5 points for the output box.
[[nodiscard]] LOGFONTW control_font(ControlFont font, UINT dpi);

// The control's rectangle in the window's client area, in pixels at the DPI.
[[nodiscard]] RECT control_rect(const ControlEntry& entry, UINT dpi);

}  // namespace renpin::window
