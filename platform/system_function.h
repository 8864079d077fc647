#pragma once

#include <windows.h>

namespace renpin::platform {

// A function of a system DLL that older Windows may lack, looked up at run time so the program
// still starts there. Returns null where the function does not exist.
template <typename Function>
Function system_function(const wchar_t* module_name, const char* function_name) {
    const HMODULE module = GetModuleHandleW(module_name);
    if (module == nullptr) {
        return nullptr;
    }
    // GetProcAddress returns a generic function pointer; the caller names the real type.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, function_name)));
}

}  // namespace renpin::platform
