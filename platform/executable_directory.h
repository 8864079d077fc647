#pragma once

#include <string>

namespace renpin::platform {

// The folder that holds the running executable, without a trailing separator.
[[nodiscard]] std::wstring executable_directory();

}  // namespace renpin::platform
