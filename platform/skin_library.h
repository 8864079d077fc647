#pragma once

#include <string>

namespace renpin::platform {

// Restyles the program's windows with the optional third-party skin library: loads it from the
// program's own folder or the system folders only and calls its attach function with the skin
// file's path and an empty second string, ignoring the result. The library takes ANSI paths:
// where the code page cannot spell the path, it gets one that it can (see ansi_path). A missing
// library or a library without that function leaves the window unskinned.
//
// Once loaded the library stays loaded until the process ends: a skin engine hooks the thread
// and subclasses its windows, and unloading it while those are in place crashes the program.
// Returns whether the library was loaded, whatever its attach function did.
bool attach_skin(const std::wstring& skin_file);

}  // namespace renpin::platform
