#include "platform/system_library.h"

#include <string>

namespace renpin::platform {

UniqueModule load_system_library(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    // Its own imports are then looked for beside it, in the system folder, too.
    return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace renpin::platform
