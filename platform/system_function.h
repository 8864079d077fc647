#pragma once

#include <windows.h>

namespace renpin::platform {

// A function of a loaded module, looked up by name; null where the module or the function is
// missing.
template <typename Function>
[[nodiscard]] Function module_function(HMODULE module, const char* function_name) {
    if (module == nullptr) {
        return nullptr;
    }
    // GetProcAddress returns a generic function pointer; the caller names the real type.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, function_name)));
}

// A function of a system DLL that older Windows may lack, looked up at run time so the program
// still starts there. Returns null where the function does not exist.
template <typename Function>
[[nodiscard]] Function system_function(const wchar_t* module_name, const char* function_name) {
    return module_function<Function>(GetModuleHandleW(module_name), function_name);
}

}  // namespace renpin::platform
