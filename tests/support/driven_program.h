#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "message_boxes.h"
#include "window/controls.h"

// Driving a program from another process, as a user would: starting it, learning of its windows
// and answering its message boxes.
namespace renpin::test {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueKernelHandle = std::unique_ptr<void, KernelHandleCloser>;

// A Linux path as Windows programs under Wine reach it, through drive Z:.
[[nodiscard]] std::wstring windows_path(std::string_view linux_path);

// The full path of a program: `given` when set, otherwise `name` in this executable's folder
// or, failing that, the folder `up` levels above it (where the build puts the main program).
[[nodiscard]] std::wstring find_program(const wchar_t* given, const wchar_t* name, int up);

// A started program; ended by force if it is still running when dropped.
class StartedProgram {
  public:
    StartedProgram() = default;
    ~StartedProgram() { terminate(); }
    StartedProgram(StartedProgram&&) = default;
    StartedProgram& operator=(StartedProgram&&) = default;

    // Starts the program with no arguments; returns whether the process started. A suspended
    // program runs once resume() is called, so that a watch can be in place before it does.
    bool start(const std::wstring& path, bool suspended = false);
    void resume();

    [[nodiscard]] HANDLE handle() const { return process_.get(); }
    [[nodiscard]] DWORD id() const { return id_; }
    [[nodiscard]] bool running() const;
    // Waits up to `milliseconds` for the process to end; returns whether it has ended.
    bool wait_for_exit(DWORD milliseconds) const;
    void terminate();

  private:
    UniqueKernelHandle process_;
    UniqueKernelHandle thread_;
    DWORD id_ = 0;
};

// Learns what a process does with its windows from the WinEvents the system delivers to this
// thread out of context: the process runs none of this code and never waits for it, and nothing
// asks the process or the window server anything while the process works. Wine reports window
// creation and focus changes; the waits below pump this thread's messages, which is how the
// events arrive.
class WindowWatch {
  public:
    explicit WindowWatch(DWORD process);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    [[nodiscard]] bool watching() const { return hook_ != nullptr; }

    // Forgets the events so far: the waits then see only what happens from now on.
    void forget();

    // The next top-level window of the class that the process creates, or null if none comes
    // within the time.
    HWND wait_for_creation(const wchar_t* window_class, DWORD timeout_milliseconds);

    // Waits until the focus moves to the window or one of its children: a dialog takes the
    // focus once its controls are made and laid out, just before it is shown.
    bool wait_for_focus_in(HWND window, DWORD timeout_milliseconds);

  private:
    struct Event {
        DWORD event;
        HWND window;
    };
    static void CALLBACK record(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                LONG child, DWORD thread, DWORD time);
    // The next event, pumping messages until one comes or the deadline passes.
    bool next_event(Event& event, ULONGLONG deadline);

    HWINEVENTHOOK hook_ = nullptr;
    std::deque<Event> events_;
};

// A program with the main window's controls (the program itself or a floor program), started
// and watched from its first instruction.
class DrivenProgram {
  public:
    // Starts the program and waits for its main window, of the class, to be shown. Says why on
    // standard error when it cannot.
    bool start(const std::wstring& path, const wchar_t* window_class);

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] HWND control(window::ControlId id) const;
    [[nodiscard]] const StartedProgram& process() const { return program_; }
    [[nodiscard]] WindowWatch& watch() { return *watch_; }

    // The next message box the program shows, once its controls are made and it is visible;
    // null if none comes within the time.
    HWND wait_for_message_box(DWORD timeout_milliseconds);

    // Reads the program's next message box, presses one of its buttons and waits until the box
    // has gone; nothing if no box came or it stayed.
    std::optional<SeenMessageBox> answer_next_message_box(int button_id,
                                                          DWORD timeout_milliseconds);

    // The exit code once the process has ended within the time, or nothing.
    std::optional<DWORD> wait_for_exit(DWORD milliseconds) const;

  private:
    StartedProgram program_;
    std::unique_ptr<WindowWatch> watch_;
    HWND window_ = nullptr;
};

}  // namespace renpin::test
