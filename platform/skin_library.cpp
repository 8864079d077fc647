#include "platform/skin_library.h"

#include "platform/ansi_path.h"
#include "platform/executable_directory.h"
#include "platform/system_function.h"

namespace renpin::platform {
namespace {

constexpr wchar_t library_name[] = L"SkinH_VB6.dll";

HMODULE load_skin_module() {
    HMODULE module = LoadLibraryExW(
        library_name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Systems without the search flags: name the file in the program's folder exactly.
        const std::wstring path = executable_directory() + L"\\" + library_name;
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return module;
}

}  // namespace

bool attach_skin(const std::wstring& skin_file) {
    // Never freed: see the header.
    const HMODULE module = load_skin_module();
    using AttachFunction = int(__stdcall*)(const char*, const char*);
    const auto attach = module_function<AttachFunction>(module, "SkinH_AttachEx");
    if (attach != nullptr) {
        attach(ansi_path(skin_file).c_str(), "");
    }
    return module != nullptr;
}

}  // namespace renpin::platform
