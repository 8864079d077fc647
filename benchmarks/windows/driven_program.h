#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

// What the Windows benchmarks share: starting a program, finding its windows and timing.
namespace renpin::bench {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueKernelHandle = std::unique_ptr<void, KernelHandleCloser>;

// Seconds measured with the performance counter.
class Stopwatch {
  public:
    Stopwatch() { restart(); }
    void restart() { QueryPerformanceCounter(&start_); }
    double seconds() const;

  private:
    LARGE_INTEGER start_{};
};

// The middle value; the mean of the two middle ones for an even count.
double median(std::vector<double> values);

// The full path of a program: `given` when set, otherwise `name` in this executable's folder
// or, failing that, the folder `up` levels above it (where the build puts the main program).
std::wstring find_program(const wchar_t* given, const wchar_t* name, int up);

// A program started by a benchmark; ended by force if it is still running when dropped.
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

    HANDLE handle() const { return process_.get(); }
    DWORD id() const { return id_; }
    bool running() const;
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

    bool watching() const { return hook_ != nullptr; }

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

// Waits until the window is visible, looking once a millisecond: meant for the short time
// between a window's creation or focus, which a WindowWatch reports, and its showing.
bool wait_until_visible(HWND window, DWORD timeout_milliseconds);

// A visible top-level window of the process, of the class when one is given, or null.
HWND find_visible_window(DWORD process, const wchar_t* window_class);

// Polls find_visible_window every `poll_milliseconds` until it finds one or the time is up.
HWND wait_for_visible_window(DWORD process, const wchar_t* window_class, DWORD timeout_milliseconds,
                             DWORD poll_milliseconds);

// The number of handles the process holds: GetProcessHandleCount's answer, or, where that is
// zero (Wine does not count), the process's entries in the system handle table. `source` tells
// which.
DWORD count_handles(HANDLE process, DWORD process_id, const char** source);

// The process's windows, top-level and child: the USER objects that can be counted where
// GetGuiResources counts nothing (Wine).
DWORD count_windows(DWORD process_id);

// Polls every millisecond until the window is gone; returns whether it went in time.
bool wait_until_gone(HWND window, DWORD timeout_milliseconds);

}  // namespace renpin::bench
