#pragma once

#include <windows.h>

#include "platform/accessibility_services.h"

namespace renpin::window {

// Gives the name box and the output box the names a screen reader announces: no label stands
// before either, so the system's own objects for them have none. Everything else a screen
// reader reads of them stays the system's. `services` answer the requests and must outlive the
// boxes.
void name_text_boxes(HWND form, platform::AccessibilityServices& services);

}  // namespace renpin::window
