// What the main window costs the system alone, for the benchmarks to set beside the program:
// the same manifest, common controls, window class and icon, controls, fonts and status bar, laid
// out alike, a dialog of the system's dialog manager as the main window is, and shown with the
// focus on the query button, with none of the program's own work (no DLL search restriction,
// skin library, DPI-aware sizing, style change or centring). Its query button does only what the
// system's controls must for an answer: the report for the name goes into the output box, is
// read back and shown in the message box.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "evaluation/score.h"
#include "evaluation/verdict.h"
#include "platform/wide_text.h"
#include "window/controls.h"
#include "window/form_class.h"

namespace {

using renpin::window::ControlEntry;
using renpin::window::ControlFont;
using renpin::window::ControlId;

constexpr DWORD window_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

struct Fonts {
    HFONT window;
    HFONT name_box;
    HFONT output_box;
    UINT dpi;
};

HWND control(HWND form, ControlId id) {
    return GetDlgItem(form, static_cast<int>(id));
}

void answer(HWND form) {
    const std::wstring name = renpin::platform::window_text(control(form, ControlId::Text1));
    const std::u16string name16(name.begin(), name.end());
    const std::u16string report = renpin::build_report(name16, renpin::compute_score(name16));
    const HWND output = control(form, ControlId::Text2);
    SetWindowTextW(output, reinterpret_cast<const wchar_t*>(report.c_str()));
    MessageBoxW(form, renpin::platform::window_text(output).c_str(), L"k-Vem阿朴提示",
                MB_ICONINFORMATION | MB_OK);
}

void create_controls(HWND form, HINSTANCE instance, const Fonts& fonts) {
    const UINT dpi = fonts.dpi;
    for (const ControlEntry& entry : renpin::window::form1_controls) {
        const RECT rect = renpin::window::control_rect(entry, dpi);
        const HWND child = CreateWindowExW(
            0, entry.window_class, entry.caption, entry.style, rect.left, rect.top,
            rect.right - rect.left, rect.bottom - rect.top, form,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance, nullptr);
        const HFONT font = entry.font == ControlFont::name_box     ? fonts.name_box
                           : entry.font == ControlFont::output_box ? fonts.output_box
                                                                   : fonts.window;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    for (const ControlId frame : {ControlId::Frame1, ControlId::Frame2, ControlId::Frame3}) {
        SetWindowPos(control(form, frame), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SendMessageW(control(form, ControlId::Text1), EM_SETLIMITTEXT, 0, 0);
    SendMessageW(control(form, ControlId::Text2), EM_SETLIMITTEXT, 0, 0);
    const HWND status_bar = control(form, ControlId::StatusBar1);
    int part_edges[] = {-1};
    SendMessageW(status_bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(part_edges));
    SendMessageW(
        status_bar, SB_SETTEXTW, 0,
        reinterpret_cast<LPARAM>(renpin::window::control_entry(ControlId::StatusBar1).caption));
    const RECT bar =
        renpin::window::control_rect(renpin::window::control_entry(ControlId::StatusBar1), dpi);
    SendMessageW(status_bar, SB_SETMINHEIGHT, static_cast<WPARAM>(bar.bottom - bar.top), 0);
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
            create_controls(window, create->hInstance,
                            *static_cast<const Fonts*>(create->lpCreateParams));
            return 0;
        }
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED &&
                LOWORD(wparam) == static_cast<int>(ControlId::Command1)) {
                answer(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefDlgProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    INITCOMMONCONTROLSEX common_controls{};
    common_controls.dwSize = sizeof(common_controls);
    common_controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&common_controls);

    constexpr wchar_t class_name[] = L"RenpinFloor";
    if (renpin::window::register_form_class(instance, window_procedure, class_name) == 0) {
        return 1;
    }

    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto font = [dpi](ControlFont kind) {
        const LOGFONTW logical = renpin::window::control_font(kind, static_cast<UINT>(dpi));
        return CreateFontIndirectW(&logical);
    };
    Fonts fonts{font(ControlFont::window), font(ControlFont::name_box),
                font(ControlFont::output_box), static_cast<UINT>(dpi)};

    RECT outer{0, 0, renpin::window::twips_to_pixels(renpin::window::form_client_width_twips, dpi),
               renpin::window::twips_to_pixels(renpin::window::form_client_height_twips, dpi)};
    AdjustWindowRectEx(&outer, window_style, FALSE, 0);
    const HWND form = CreateWindowExW(0, class_name, L"Ｍq.人品计算器", window_style, CW_USEDEFAULT,
                                      CW_USEDEFAULT, outer.right - outer.left,
                                      outer.bottom - outer.top, nullptr, nullptr, instance, &fonts);
    if (form == nullptr) {
        return 1;
    }
    SendMessageW(form, DM_SETDEFID, static_cast<WPARAM>(ControlId::Command1), 0);
    ShowWindow(form, show_command);
    SendMessageW(form, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(form, ControlId::Command1)),
                 TRUE);
    UpdateWindow(form);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(form, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DeleteObject(fonts.window);
    DeleteObject(fonts.name_box);
    DeleteObject(fonts.output_box);
    return static_cast<int>(message.wParam);
}
