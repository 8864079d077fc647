#pragma once

#include "platform/unique_handles.h"

namespace renpin::platform {

// Loads a DLL of the system folder by its full path, so that no file of that name in the
// program's or the current folder is ever taken for it. Null where it cannot be loaded.
[[nodiscard]] UniqueModule load_system_library(const wchar_t* name);

}  // namespace renpin::platform
