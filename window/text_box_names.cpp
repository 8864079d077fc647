#include "window/text_box_names.h"

#include <commctrl.h>

#include "platform/named_accessible.h"
#include "window/controls.h"

namespace renpin::window {
namespace {

constexpr UINT_PTR subclass_id = 1;

struct TextBoxName {
    ControlId id;
    const wchar_t* name;
};

constexpr TextBoxName text_box_names[] = {
    {ControlId::Text1, L"姓名"},
    {ControlId::Text2, L"查询结果"},
};

LRESULT CALLBACK text_box_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR, DWORD_PTR name) {
    // The object id arrives in 32 bits, sign-extended or not on 64-bit Windows.
    if (message == WM_GETOBJECT && static_cast<DWORD>(lparam) == static_cast<DWORD>(OBJID_CLIENT)) {
        const LRESULT object =
            platform::named_client_object(window, wparam, reinterpret_cast<const wchar_t*>(name));
        if (object != 0) {
            return object;
        }
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, text_box_procedure, subclass_id);
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

void name_text_boxes(HWND form) {
    for (const TextBoxName& text_box : text_box_names) {
        SetWindowSubclass(GetDlgItem(form, static_cast<int>(text_box.id)), text_box_procedure,
                          subclass_id, reinterpret_cast<DWORD_PTR>(text_box.name));
    }
}

}  // namespace renpin::window
