#include <windows.h>
#include <commctrl.h>

#include "platform/dll_search.h"
#include "window/form1.h"
#include "window/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    renpin::platform::restrict_dll_search();

    INITCOMMONCONTROLSEX common_controls{};
    common_controls.dwSize = sizeof(common_controls);
    common_controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&common_controls);

    const auto form = renpin::window::Form1::create(instance);
    if (!form) {
        return 1;
    }
    form->show(show_command);
    return renpin::window::run_message_loop(form->handle());
}
