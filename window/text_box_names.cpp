#include "window/text_box_names.h"

#include <commctrl.h>

#include "window/controls.h"
#include "window/wide_texts.h"

namespace renpin::window {
namespace {

constexpr UINT_PTR subclass_id = 1;

struct TextBoxName {
    ControlId id;
    const wchar_t* name;
};

constexpr TextBoxName text_box_names[] = {
    {ControlId::Text1, wide_texts::name_box_name.text},
    {ControlId::Text2, wide_texts::output_box_name.text},
};

const wchar_t* name_of(HWND text_box) {
    const int id = GetDlgCtrlID(text_box);
    for (const TextBoxName& text_box_name : text_box_names) {
        if (static_cast<int>(text_box_name.id) == id) {
            return text_box_name.name;
        }
    }
    return nullptr;
}

LRESULT CALLBACK text_box_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR, DWORD_PTR services_address) {
    // The object id arrives in 32 bits, sign-extended or not on 64-bit Windows.
    if (message == WM_GETOBJECT && static_cast<DWORD>(lparam) == static_cast<DWORD>(OBJID_CLIENT)) {
        auto* services = reinterpret_cast<platform::AccessibilityServices*>(services_address);
        const wchar_t* name = name_of(window);
        const LRESULT object =
            name != nullptr ? services->named_client_object(window, wparam, name) : 0;
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

void name_text_boxes(HWND form, platform::AccessibilityServices& services) {
    for (const TextBoxName& text_box : text_box_names) {
        SetWindowSubclass(GetDlgItem(form, static_cast<int>(text_box.id)), text_box_procedure,
                          subclass_id, reinterpret_cast<DWORD_PTR>(&services));
    }
}

}  // namespace renpin::window
