#pragma once

#include <windows.h>
#include <unknwn.h>

#include <memory>
#include <type_traits>

namespace renpin::platform {

// Move-only owners for the system handles the program holds; each frees its handle once.
struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};

using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
// One reference to a COM object.
template <typename Interface>
using UniqueCom = std::unique_ptr<Interface, ComReleaser>;

}  // namespace renpin::platform
