#include "platform/dpi.h"

#include "platform/system_function.h"
#include "platform/system_library.h"

namespace renpin::platform {
namespace {

UINT system_dpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// The effective DPI of the monitor that holds most of the window, from shcore (Windows 8.1 and
// later); 0 where the system cannot tell.
UINT monitor_dpi(HWND window) {
    // MONITOR_DPI_TYPE's MDT_EFFECTIVE_DPI; the enum is missing from Windows 7's headers.
    constexpr int effective_dpi = 0;
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const UniqueModule shcore = load_system_library(L"shcore.dll");
    const auto get_dpi_for_monitor =
        module_function<GetDpiForMonitorFunction>(shcore.get(), "GetDpiForMonitor");
    if (get_dpi_for_monitor == nullptr) {
        return 0;
    }
    UINT dpi_x = 0;
    UINT dpi_y = 0;
    if (FAILED(get_dpi_for_monitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                                   effective_dpi, &dpi_x, &dpi_y))) {
        return 0;
    }
    return dpi_y;
}

}  // namespace

UINT window_dpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window =
        system_function<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (get_dpi_for_window != nullptr) {
        const UINT dpi = get_dpi_for_window(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    // Windows 8.1 knows each monitor's DPI but not yet the window's.
    if (const UINT dpi = monitor_dpi(window); dpi != 0) {
        return dpi;
    }
    return system_dpi();
}

RECT window_rect_for_client(const RECT& client, DWORD style, DWORD ex_style, UINT dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust_for_dpi =
        system_function<AdjustForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT rect = client;
    if (adjust_for_dpi != nullptr) {
        adjust_for_dpi(&rect, style, FALSE, ex_style, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, FALSE, ex_style);
    }
    return rect;
}

LOGFONTW message_font(UINT dpi) {
    using SystemParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto parameters_for_dpi = system_function<SystemParametersForDpiFunction>(
        L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (parameters_for_dpi != nullptr &&
        parameters_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        return metrics.lfMessageFont;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                            static_cast<int>(system_dpi()));
    return metrics.lfMessageFont;
}

void disable_dialog_dpi_scaling(HWND dialog) {
    // DDC_DISABLE_ALL, DCDC_DISABLE_FONTUPDATE and DCDC_DISABLE_RELAYOUT, which Windows 7's
    // headers lack.
    constexpr int dialog_disable_all = 0x0001;
    constexpr int control_disable_font_update_and_relayout = 0x0001 | 0x0002;
    using SetBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
    const auto set_dialog_behavior =
        system_function<SetBehaviorFunction>(L"user32.dll", "SetDialogDpiChangeBehavior");
    const auto set_control_behavior =
        system_function<SetBehaviorFunction>(L"user32.dll", "SetDialogControlDpiChangeBehavior");
    if (set_dialog_behavior == nullptr || set_control_behavior == nullptr) {
        return;
    }
    set_dialog_behavior(dialog, dialog_disable_all, dialog_disable_all);
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        set_control_behavior(control, control_disable_font_update_and_relayout,
                             control_disable_font_update_and_relayout);
    }
}

}  // namespace renpin::platform
