#pragma once

#include <string>

namespace renpin::platform {

// Starts the Windows shell, taken from the Windows folder by its full path, with the command
// line "explorer.exe <argument>", shown minimised, without waiting for it. Returns whether the
// process started.
bool start_explorer(const std::wstring& argument);

}  // namespace renpin::platform
