#pragma once

#include <windows.h>

#include <optional>

#include "platform/com_apartment.h"

namespace renpin::window {

// Gives the name box and the output box the names a screen reader announces: no label stands
// before either, so the system's own objects for them have none. Everything else a screen
// reader reads of them stays the system's. The objects travel through COM, whose apartment is
// entered into `apartment` on the first request: a start without a screen reader pays nothing
// for it. `apartment` must outlive the boxes.
void name_text_boxes(HWND form, std::optional<platform::ComApartment>& apartment);

}  // namespace renpin::window
