#include "platform/data_execution_prevention.h"

#include <windows.h>

#include "platform/system_function.h"

namespace renpin::platform {

void enable_permanent_data_execution_prevention() {
    // PROCESS_DEP_ENABLE, which Windows 7's headers hide behind a later _WIN32_WINNT.
    constexpr DWORD enable = 0x00000001;
    using SetPolicyFunction = BOOL(WINAPI*)(DWORD);
    const auto set_policy =
        system_function<SetPolicyFunction>(L"kernel32.dll", "SetProcessDEPPolicy");
    if (set_policy != nullptr) {
        // Once on, it stays on: the call cannot be undone, by this program or by a DLL.
        set_policy(enable);
    }
}

}  // namespace renpin::platform
