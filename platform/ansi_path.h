#pragma once

#include <string>

namespace renpin::platform {

// The path in the ANSI code page, naming the same file, for libraries that take narrow paths:
// the path itself where the code page spells it exactly, else its short (8.3) form, else its
// folder's short form with the file name (a file not created yet has no short name of its own).
// Empty where none of these is exact: an empty path names no file, a guessed one might name
// another.
[[nodiscard]] std::string ansi_path(const std::wstring& path);

}  // namespace renpin::platform
