#include "display_dpi.h"

#include "driven_program.h"
#include "platform/system_function.h"

namespace renpin::test {
namespace {

constexpr const wchar_t* user_key = L"Control Panel\\Desktop";
constexpr const wchar_t* machine_key =
    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";

// Waits for the process to end while this thread answers its messages: the settings' change is
// announced to every top-level window, and waits for each one's answer.
bool wait_answering_messages(HANDLE process, DWORD timeout_milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return false;
        }
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
}

using SetContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

SetContextFunction set_thread_dpi_context() {
    static const auto set_context = platform::system_function<SetContextFunction>(
        L"user32.dll", "SetThreadDpiAwarenessContext");
    return set_context;
}

}  // namespace

StartingDpi dpi_of_programs_started_now() {
    StartedProgram reapply;
    if (!reapply.start(windows_path(RENPIN_REAPPLY_DISPLAY_SETTINGS)) ||
        !wait_answering_messages(reapply.handle(), 30'000)) {
        return {};
    }
    // The exit code holds the system's DPI in its high word and the monitor's in its low word.
    DWORD both = 0;
    GetExitCodeProcess(reapply.handle(), &both);
    return StartingDpi{HIWORD(both), LOWORD(both)};
}

LogicalDpi::LogicalDpi(DWORD dpi)
    : user_value_(HKEY_CURRENT_USER, user_key, L"LogPixels", dpi),
      machine_value_(HKEY_LOCAL_MACHINE, machine_key, L"LogPixels", dpi) {
    if (user_value_.set() && machine_value_.set()) {
        seen_ = dpi_of_programs_started_now();
    }
}

StartingDpi LogicalDpi::restore() {
    if (!restored_) {
        restored_ = true;
        const bool user_put_back = user_value_.restore();
        const bool machine_put_back = machine_value_.restore();
        const StartingDpi dpi = dpi_of_programs_started_now();
        restored_dpi_ = user_put_back && machine_put_back ? dpi : StartingDpi{};
    }
    return restored_dpi_;
}

PixelCoordinates::PixelCoordinates() {
    if (const auto set_context = set_thread_dpi_context()) {
        earlier_ = set_context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    }
}

PixelCoordinates::~PixelCoordinates() {
    if (const auto set_context = set_thread_dpi_context(); set_context && earlier_) {
        set_context(earlier_);
    }
}

}  // namespace renpin::test
