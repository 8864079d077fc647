// Applies the display settings that the registry holds once more, from a process started now,
// and exits with the DPI that a per-monitor aware program then gets: the system's in the high
// word of the exit code, the primary monitor's in the low word (0 if the settings could not be
// applied).
//
// A LogPixels written into the registry reaches only programs started after it. Wine 8 reads it
// in every program as it starts. Wine 10 gives each monitor the DPI that the process which last
// enumerated the displays read at its own start, and keeps that in the registry for every later
// program; applying the settings enumerates them anew, here, with the LogPixels of now, except
// where XRandR reports the displays, which only the desktop process enumerates.

#include <windows.h>

#include "platform/system_function.h"
#include "platform/system_library.h"

namespace {

// So that the monitor's own DPI is read, not the 96 of a program that knows nothing of DPI.
void become_per_monitor_aware() {
    using SetContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto set_thread_context = renpin::platform::system_function<SetContextFunction>(
        L"user32.dll", "SetThreadDpiAwarenessContext");
    if (set_thread_context != nullptr) {
        set_thread_context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    }
}

UINT system_dpi() {
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    const auto get_dpi_for_system = renpin::platform::system_function<GetDpiForSystemFunction>(
        L"user32.dll", "GetDpiForSystem");
    return get_dpi_for_system != nullptr ? get_dpi_for_system() : 0;
}

UINT primary_monitor_dpi() {
    // MONITOR_DPI_TYPE's MDT_EFFECTIVE_DPI, which Windows 7's headers lack.
    constexpr int effective_dpi = 0;
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const renpin::platform::UniqueModule shcore =
        renpin::platform::load_system_library(L"shcore.dll");
    const auto get_dpi_for_monitor = renpin::platform::module_function<GetDpiForMonitorFunction>(
        shcore.get(), "GetDpiForMonitor");
    UINT dpi_x = 0;
    UINT dpi_y = 0;
    if (get_dpi_for_monitor == nullptr ||
        FAILED(get_dpi_for_monitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                                   effective_dpi, &dpi_x, &dpi_y))) {
        return 0;
    }
    return dpi_y;
}

}  // namespace

int main() {
    become_per_monitor_aware();
    if (ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr) != DISP_CHANGE_SUCCESSFUL) {
        return 0;
    }
    return static_cast<int>(MAKELONG(primary_monitor_dpi(), system_dpi()));
}
