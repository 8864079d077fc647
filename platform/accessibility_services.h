#pragma once

#include <windows.h>
#include <oleacc.h>

#include "platform/named_accessible.h"
#include "platform/unique_handles.h"

namespace renpin::platform {

// What answering a screen reader takes of the system: COM (ole32), its strings (oleaut32) and
// the system's accessible objects (oleacc). Nothing is loaded until the first request, so a
// start without a screen reader pays nothing for them; then the three come from the system
// folder, and this thread enters a single-threaded COM apartment until the object goes.
class AccessibilityServices {
  public:
    AccessibilityServices() = default;
    ~AccessibilityServices();
    AccessibilityServices(const AccessibilityServices&) = delete;
    AccessibilityServices& operator=(const AccessibilityServices&) = delete;

    // The answer to WM_GETOBJECT for OBJID_CLIENT: the system's own accessible object for the
    // window's client area, under `name`, which must outlive the window. 0 when it cannot be
    // made or handed over; the system's default answer then stands.
    LRESULT named_client_object(HWND window, WPARAM wparam, const wchar_t* name);

  private:
    bool start();

    bool tried_ = false;
    bool started_ = false;
    bool apartment_entered_ = false;
    // The libraries go last, after the apartment is left.
    UniqueModule ole32_;
    UniqueModule oleaut32_;
    UniqueModule oleacc_;
    decltype(&CoUninitialize) co_uninitialize_ = nullptr;
    StringAllocator sys_alloc_string_ = nullptr;
    decltype(&CreateStdAccessibleObject) create_std_accessible_object_ = nullptr;
    decltype(&LresultFromObject) lresult_from_object_ = nullptr;
};

}  // namespace renpin::platform
