#pragma once

#include <windows.h>
#include <oleacc.h>

#include "platform/unique_handles.h"

namespace renpin::platform {

// SysAllocString, as the caller has it: the program loads oleaut32 only when it is needed.
using StringAllocator = BSTR(WINAPI*)(const OLECHAR*);

// An accessible object that gives `name` as its own name and passes every other question and
// action to `inner`, on which it keeps a reference. `name` must outlive the object. Null when
// out of memory.
UniqueCom<IAccessible> make_named_accessible(IAccessible* inner, const wchar_t* name,
                                             StringAllocator allocate_string);

}  // namespace renpin::platform
