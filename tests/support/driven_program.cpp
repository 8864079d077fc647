#include "driven_program.h"

#include <cstdio>
#include <vector>

#include "platform/executable_directory.h"
#include "window_reading.h"

namespace renpin::test {
namespace {

bool file_exists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The watches of this thread, found by their hooks: an event procedure has no context of its own.
std::vector<WindowWatch*>& watches() {
    static std::vector<WindowWatch*> list;
    return list;
}

}  // namespace

std::wstring windows_path(std::string_view linux_path) {
    std::wstring path = L"Z:";
    for (const char c : linux_path) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

std::wstring find_program(const wchar_t* given, const wchar_t* name, int up) {
    if (given != nullptr) {
        return given;
    }
    std::wstring folder = platform::executable_directory() + L"\\";
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
            class_name(event.window) == window_class) {
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

bool DrivenProgram::start(const std::wstring& path, const wchar_t* window_class) {
    if (!program_.start(path, true)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", path.c_str(), GetLastError());
        return false;
    }
    watch_ = std::make_unique<WindowWatch>(program_.id());
    program_.resume();
    if (!watch_->watching()) {
        std::fprintf(stderr, "cannot watch the windows of %ls\n", path.c_str());
        return false;
    }
    window_ = watch_->wait_for_creation(window_class, 60'000);
    if (window_ == nullptr || !wait_until_visible(window_, 60'000)) {
        std::fprintf(stderr, "%ls showed no window within 60 s\n", path.c_str());
        window_ = nullptr;
        return false;
    }
    return true;
}

HWND DrivenProgram::control(window::ControlId id) const {
    return form_control(window_, id);
}

HWND DrivenProgram::wait_for_message_box(DWORD timeout_milliseconds) {
    const HWND box = watch_->wait_for_creation(message_box_class, timeout_milliseconds);
    if (box == nullptr || !watch_->wait_for_focus_in(box, timeout_milliseconds) ||
        !wait_until_visible(box, timeout_milliseconds)) {
        return nullptr;
    }
    return box;
}

std::optional<SeenMessageBox> DrivenProgram::answer_next_message_box(int button_id,
                                                                     DWORD timeout_milliseconds) {
    const HWND box = wait_for_message_box(timeout_milliseconds);
    if (box == nullptr) {
        return std::nullopt;
    }
    const SeenMessageBox seen = answer_message_box(box, button_id);
    if (!wait_until_gone(box, timeout_milliseconds)) {
        return std::nullopt;
    }
    return seen;
}

std::optional<DWORD> DrivenProgram::wait_for_exit(DWORD milliseconds) const {
    if (!program_.wait_for_exit(milliseconds)) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(program_.handle(), &code);
    return code;
}

}  // namespace renpin::test
