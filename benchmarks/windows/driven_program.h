#pragma once

#include <windows.h>

#include <string>

#include "platform/unique_handles.h"

// What the Windows benchmarks share: starting a program, finding its windows and timing.
namespace renpin::bench {

// Seconds measured with the performance counter.
class Stopwatch {
  public:
    Stopwatch() { restart(); }
    void restart() { QueryPerformanceCounter(&start_); }
    double seconds() const;

  private:
    LARGE_INTEGER start_{};
};

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

    // Starts the program with no arguments; returns whether the process started.
    bool start(const std::wstring& path);

    HANDLE handle() const { return process_.get(); }
    DWORD id() const { return id_; }
    bool running() const;
    // Waits up to `milliseconds` for the process to end; returns whether it has ended.
    bool wait_for_exit(DWORD milliseconds) const;
    void terminate();

  private:
    platform::UniqueKernelHandle process_;
    DWORD id_ = 0;
};

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
