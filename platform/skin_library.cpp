#include "platform/skin_library.h"

#include "platform/ansi_path.h"
#include "platform/executable_directory.h"

namespace renpin::platform {
namespace {

constexpr wchar_t library_name[] = L"SkinH_VB6.dll";

UniqueModule load_skin_module() {
    HMODULE module = LoadLibraryExW(
        library_name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Systems without the search flags: name the file in the program's folder exactly.
        const std::wstring path = executable_directory() + L"\\" + library_name;
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return UniqueModule(module);
}

}  // namespace

SkinLibrary SkinLibrary::attach(const std::wstring& skin_file) {
    SkinLibrary skin;
    skin.module_ = load_skin_module();
    if (!skin.module_) {
        return skin;
    }
    using AttachFunction = int(__stdcall*)(const char*, const char*);
    const auto attach_skin = reinterpret_cast<AttachFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(skin.module_.get(), "SkinH_AttachEx")));
    if (attach_skin == nullptr) {
        return skin;
    }
    const std::string path = ansi_path(skin_file);
    attach_skin(path.c_str(), "");
    skin.attached_ = true;
    return skin;
}

}  // namespace renpin::platform
