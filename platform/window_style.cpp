#include "platform/window_style.h"

namespace renpin::platform {

void remove_sizing_border(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style & 0xFFFBFFFF));
}

}  // namespace renpin::platform
