#include "platform/process_start.h"

#include <windows.h>

namespace renpin::platform {
namespace {

std::wstring windows_directory() {
    std::wstring directory(MAX_PATH, L'\0');
    UINT length = GetSystemWindowsDirectoryW(directory.data(), MAX_PATH);
    if (length >= MAX_PATH) {
        directory.resize(length);
        length = GetSystemWindowsDirectoryW(directory.data(), length);
    }
    directory.resize(length < directory.size() ? length : 0);
    return directory;
}

}  // namespace

bool start_explorer(const std::wstring& argument) {
    const std::wstring windows = windows_directory();
    if (windows.empty()) {
        return false;
    }
    const std::wstring application = windows + L"\\explorer.exe";
    std::wstring command_line = L"explorer.exe " + argument;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return false;
    }
    // Nothing waits for or watches the browser: the handles are released at once.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace renpin::platform
