#pragma once

#include <windows.h>

namespace renpin::window {

// Gives the name box and the output box the names a screen reader announces: no label stands
// before either, so the system's own objects for them have none. Everything else a screen
// reader reads of them stays the system's.
void name_text_boxes(HWND form);

}  // namespace renpin::window
