#include "platform/dll_search.h"

#include <windows.h>

#include "platform/system_function.h"

namespace renpin::platform {

void restrict_dll_search() {
    // Windows 7 without its 2011 loader update has no SetDefaultDllDirectories.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto set_default_dll_directories = system_function<SetDefaultDllDirectoriesFunction>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (set_default_dll_directories != nullptr) {
        set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Takes the current directory out of the search where the call above is missing.
    SetDllDirectoryW(L"");
}

}  // namespace renpin::platform
