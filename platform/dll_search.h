#pragma once

namespace renpin::platform {

// Limits where DLLs are looked for to the system directories, so that no DLL planted in the
// current directory or on PATH is ever loaded. Called before anything else runs.
void restrict_dll_search();

}  // namespace renpin::platform
