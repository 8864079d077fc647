#include "platform/accessibility_services.h"

#include "platform/system_function.h"
#include "platform/system_library.h"

namespace renpin::platform {

AccessibilityServices::~AccessibilityServices() {
    if (apartment_entered_) {
        co_uninitialize_();
    }
}

bool AccessibilityServices::start() {
    if (tried_) {
        return started_;
    }
    tried_ = true;
    ole32_ = load_system_library(L"ole32.dll");
    oleaut32_ = load_system_library(L"oleaut32.dll");
    oleacc_ = load_system_library(L"oleacc.dll");
    if (!ole32_ || !oleaut32_ || !oleacc_) {
        return false;
    }
    const auto co_initialize_ex =
        module_function<decltype(&CoInitializeEx)>(ole32_.get(), "CoInitializeEx");
    co_uninitialize_ = module_function<decltype(&CoUninitialize)>(ole32_.get(), "CoUninitialize");
    sys_alloc_string_ = module_function<StringAllocator>(oleaut32_.get(), "SysAllocString");
    create_std_accessible_object_ = module_function<decltype(&CreateStdAccessibleObject)>(
        oleacc_.get(), "CreateStdAccessibleObject");
    lresult_from_object_ =
        module_function<decltype(&LresultFromObject)>(oleacc_.get(), "LresultFromObject");
    if (co_initialize_ex == nullptr || co_uninitialize_ == nullptr ||
        sys_alloc_string_ == nullptr || create_std_accessible_object_ == nullptr ||
        lresult_from_object_ == nullptr) {
        return false;
    }
    // Another apartment already entered on this thread serves as well; only our own is left.
    apartment_entered_ = SUCCEEDED(co_initialize_ex(nullptr, COINIT_APARTMENTTHREADED));
    started_ = true;
    return true;
}

LRESULT AccessibilityServices::named_client_object(HWND window, WPARAM wparam,
                                                   const wchar_t* name) {
    if (!start()) {
        return 0;
    }
    void* inner = nullptr;
    if (FAILED(
            create_std_accessible_object_(window, OBJID_CLIENT, __uuidof(IAccessible), &inner))) {
        return 0;
    }
    const UniqueCom<IAccessible> system_object(static_cast<IAccessible*>(inner));
    const UniqueCom<IAccessible> named =
        make_named_accessible(system_object.get(), name, sys_alloc_string_);
    if (!named) {
        return 0;
    }
    // The result holds a reference of its own until the client takes the object.
    const LRESULT result = lresult_from_object_(__uuidof(IAccessible), wparam, named.get());
    return result > 0 ? result : 0;
}

}  // namespace renpin::platform
