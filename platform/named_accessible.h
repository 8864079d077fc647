#pragma once

#include <windows.h>
#include <oleacc.h>

#include "platform/unique_handles.h"

namespace renpin::platform {

// An accessible object that gives `name` as its own name and passes every other question and
// action to `inner`, on which it keeps a reference. `name` must outlive the object. Null when
// out of memory.
UniqueCom<IAccessible> make_named_accessible(IAccessible* inner, const wchar_t* name);

// The answer to WM_GETOBJECT for OBJID_CLIENT: the system's own accessible object for the
// window's client area, under `name`. 0 when it cannot be made or handed over; the system's
// default answer then stands.
LRESULT named_client_object(HWND window, WPARAM wparam, const wchar_t* name);

}  // namespace renpin::platform
