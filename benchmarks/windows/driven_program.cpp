#include "driven_program.h"

#include <winternl.h>

#include <algorithm>
#include <vector>

namespace renpin::bench {

double Stopwatch::seconds() const {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

namespace {

std::wstring own_folder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            std::wstring folder(path.data(), length);
            return folder.substr(0, folder.find_last_of(L"\\/") + 1);
        }
        path.resize(path.size() * 2);
    }
}

bool file_exists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

struct WindowSearch {
    DWORD process;
    const wchar_t* window_class;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM search_address) {
    auto* search = reinterpret_cast<WindowSearch*>(search_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (search->window_class != nullptr) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (lstrcmpW(name, search->window_class) != 0) {
            return TRUE;
        }
    }
    search->found = window;
    return FALSE;
}

// The layout of SystemExtendedHandleInformation, which winternl.h leaves out.
constexpr ULONG system_extended_handle_information = 64;
struct HandleEntry {
    void* object;
    ULONG_PTR process_id;
    ULONG_PTR handle_value;
    ULONG granted_access;
    USHORT creator_back_trace_index;
    USHORT object_type_index;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

DWORD count_in_handle_table(DWORD process_id) {
    using Query = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    constexpr NTSTATUS length_mismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<ULONG_PTR> buffer(1 << 14);
    for (;;) {
        ULONG length = 0;
        const NTSTATUS status =
            query(system_extended_handle_information, buffer.data(),
                  static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &length);
        if (status == length_mismatch) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) {
            return 0;
        }
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) {
        count += table->entries[i].process_id == process_id ? 1 : 0;
    }
    return count;
}

struct WindowCount {
    DWORD process;
    DWORD count;
};

BOOL CALLBACK count_child(HWND, LPARAM count_address) {
    ++reinterpret_cast<WindowCount*>(count_address)->count;
    return TRUE;
}

BOOL CALLBACK count_top_level(HWND window, LPARAM count_address) {
    auto* count = reinterpret_cast<WindowCount*>(count_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->process) {
        ++count->count;
        EnumChildWindows(window, count_child, count_address);
    }
    return TRUE;
}

}  // namespace

DWORD count_handles(HANDLE process, DWORD process_id, const char** source) {
    DWORD count = 0;
    if (GetProcessHandleCount(process, &count) && count != 0) {
        *source = "GetProcessHandleCount";
        return count;
    }
    *source = "system_handle_table";
    return count_in_handle_table(process_id);
}

DWORD count_windows(DWORD process_id) {
    WindowCount count{process_id, 0};
    EnumWindows(count_top_level, reinterpret_cast<LPARAM>(&count));
    return count.count;
}

std::wstring find_program(const wchar_t* given, const wchar_t* name, int up) {
    if (given != nullptr) {
        return given;
    }
    std::wstring folder = own_folder();
    if (file_exists(folder + name)) {
        return folder + name;
    }
    for (int level = 0; level < up; ++level) {
        folder += L"..\\";
    }
    return folder + name;
}

bool StartedProgram::start(const std::wstring& path, bool suspended) {
    terminate();
    std::wstring command_line = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                        suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup, &started)) {
        return false;
    }
    thread_.reset(started.hThread);
    process_.reset(started.hProcess);
    id_ = started.dwProcessId;
    return true;
}

void StartedProgram::resume() {
    if (thread_) {
        ResumeThread(thread_.get());
    }
}

bool StartedProgram::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool StartedProgram::wait_for_exit(DWORD milliseconds) const {
    return !process_ || WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

void StartedProgram::terminate() {
    if (running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 10'000);
    }
}

HWND find_visible_window(DWORD process, const wchar_t* window_class) {
    WindowSearch search{process, window_class, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

namespace {

// The watches of this thread, found by their hooks: an event procedure has no context of its own.
std::vector<WindowWatch*>& watches() {
    static std::vector<WindowWatch*> list;
    return list;
}

bool same_class(HWND window, const wchar_t* window_class) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return lstrcmpW(name, window_class) == 0;
}

}  // namespace

WindowWatch::WindowWatch(DWORD process) {
    hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_FOCUS, nullptr, &WindowWatch::record,
                            process, 0, WINEVENT_OUTOFCONTEXT);
    if (hook_ != nullptr) {
        watches().push_back(this);
    }
}

WindowWatch::~WindowWatch() {
    if (hook_ != nullptr) {
        UnhookWinEvent(hook_);
        std::erase(watches(), this);
    }
}

void CALLBACK WindowWatch::record(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                  LONG child, DWORD, DWORD) {
    if (child != CHILDID_SELF || (event != EVENT_OBJECT_CREATE && event != EVENT_OBJECT_FOCUS)) {
        return;
    }
    if (event == EVENT_OBJECT_CREATE && object != OBJID_WINDOW) {
        return;
    }
    for (WindowWatch* watch : watches()) {
        if (watch->hook_ == hook) {
            watch->events_.push_back(Event{event, window});
        }
    }
}

bool WindowWatch::next_event(Event& event, ULONGLONG deadline) {
    for (;;) {
        MSG message{};
        while (events_.empty() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        if (!events_.empty()) {
            event = events_.front();
            events_.pop_front();
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

void WindowWatch::forget() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    events_.clear();
}

HWND WindowWatch::wait_for_creation(const wchar_t* window_class, DWORD timeout_milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
    Event event{};
    while (next_event(event, deadline)) {
        if (event.event == EVENT_OBJECT_CREATE &&
            GetAncestor(event.window, GA_PARENT) == GetDesktopWindow() &&
            same_class(event.window, window_class)) {
            return event.window;
        }
    }
    return nullptr;
}

bool WindowWatch::wait_for_focus_in(HWND window, DWORD timeout_milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
    Event event{};
    while (next_event(event, deadline)) {
        if (event.event == EVENT_OBJECT_FOCUS &&
            (event.window == window || IsChild(window, event.window))) {
            return true;
        }
    }
    return false;
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

}  // namespace renpin::bench
