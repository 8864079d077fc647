#include "window_reading.h"

namespace renpin::test {
namespace {

struct WindowSearch {
    DWORD process;
    const wchar_t* window_class;
    std::vector<HWND> found;
};

BOOL CALLBACK match_window(HWND window, LPARAM search_address) {
    auto* search = reinterpret_cast<WindowSearch*>(search_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->process == 0 || owner == search->process) && IsWindowVisible(window) &&
        (search->window_class == nullptr || class_name(window) == search->window_class)) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

HWND form_control(HWND form, window::ControlId id) {
    return GetDlgItem(form, static_cast<int>(id));
}

std::wstring class_name(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

RECT rect_in_parent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring control_text(HWND control, DWORD timeout_milliseconds) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeout_milliseconds,
                             &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             timeout_milliseconds, &copied)) {
        return {};
    }
    text.resize(copied);
    return text;
}

std::vector<HWND> visible_windows(DWORD process, const wchar_t* window_class) {
    WindowSearch search{process, window_class, {}};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_visible_window(DWORD process, const wchar_t* window_class) {
    const std::vector<HWND> found = visible_windows(process, window_class);
    return found.empty() ? nullptr : found.front();
}

HWND wait_for_visible_window(DWORD process, const wchar_t* window_class, DWORD timeout_milliseconds,
                             DWORD poll_milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
    for (;;) {
        if (const HWND found = find_visible_window(process, window_class)) {
            return found;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(poll_milliseconds);
    }
}

bool wait_until_visible(HWND window, DWORD timeout_milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
    while (!IsWindowVisible(window)) {
        if (!IsWindow(window) || GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

bool wait_until_gone(HWND window, DWORD timeout_milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
    while (IsWindow(window)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

}  // namespace renpin::test
