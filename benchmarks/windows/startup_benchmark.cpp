// Times how long the main program and a minimal Win32 program take from CreateProcess until a
// visible top-level window of the process exists, and prints the medians and their ratio:
//   startup_benchmark [--runs N] [--renpin PATH] [--minimal PATH]
// Each program is started N times (10 unless told), the two in turn, and ended by force once
// its window is there: only the start is measured.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "driven_program.h"

namespace {

using renpin::bench::find_program;
using renpin::bench::StartedProgram;
using renpin::bench::Stopwatch;
using renpin::bench::wait_for_visible_window;

struct Options {
    int runs = 10;
    const wchar_t* renpin = nullptr;
    const wchar_t* minimal = nullptr;
};

bool parse_options(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring_view argument = argv[i];
        if (argument == L"--runs") {
            wchar_t* end = nullptr;
            const long runs = std::wcstol(argv[i + 1], &end, 10);
            if (end == argv[i + 1] || *end != L'\0' || runs < 1 || runs > 10'000) {
                return false;
            }
            options.runs = static_cast<int>(runs);
        } else if (argument == L"--renpin") {
            options.renpin = argv[i + 1];
        } else if (argument == L"--minimal") {
            options.minimal = argv[i + 1];
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// Milliseconds from CreateProcess to a visible window, or a negative number on failure.
double time_start(const std::wstring& path) {
    StartedProgram program;
    const Stopwatch started;
    if (!program.start(path)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", path.c_str(), GetLastError());
        return -1;
    }
    const HWND window = wait_for_visible_window(program.id(), nullptr, 60'000, 1);
    const double milliseconds = started.seconds() * 1000;
    program.terminate();
    if (window == nullptr) {
        std::fprintf(stderr, "%ls showed no window within 60 s\n", path.c_str());
        return -1;
    }
    return milliseconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void print_figure(const char* name, double value) {
    std::printf("%-32s %.3f\n", name, value);
}

void print_times(const char* program, const std::vector<double>& times) {
    char name[64];
    std::snprintf(name, sizeof(name), "startup.%s.median_ms", program);
    print_figure(name, median(times));
    std::snprintf(name, sizeof(name), "startup.%s.min_ms", program);
    print_figure(name, *std::min_element(times.begin(), times.end()));
    std::snprintf(name, sizeof(name), "startup.%s.max_ms", program);
    print_figure(name, *std::max_element(times.begin(), times.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: startup_benchmark [--runs N] [--renpin PATH] [--minimal PATH]\n");
        return 2;
    }
    const std::wstring renpin = find_program(options.renpin, L"renpin.exe", 2);
    const std::wstring minimal = find_program(options.minimal, L"minimal_window.exe", 0);

    // One unmeasured start of each, so that neither pays alone for loading shared system DLLs.
    if (time_start(renpin) < 0 || time_start(minimal) < 0) {
        return 1;
    }
    std::vector<double> renpin_times;
    std::vector<double> minimal_times;
    for (int run = 0; run < options.runs; ++run) {
        // The two in turn, each going first every other run, so drift hits both alike.
        const bool renpin_first = run % 2 == 0;
        const std::wstring& first = renpin_first ? renpin : minimal;
        const std::wstring& second = renpin_first ? minimal : renpin;
        const double first_time = time_start(first);
        const double second_time = time_start(second);
        if (first_time < 0 || second_time < 0) {
            return 1;
        }
        renpin_times.push_back(renpin_first ? first_time : second_time);
        minimal_times.push_back(renpin_first ? second_time : first_time);
    }
    std::printf("%-32s %d\n", "startup.runs", options.runs);
    print_times("renpin", renpin_times);
    print_times("minimal", minimal_times);
    print_figure("startup.ratio", median(renpin_times) / median(minimal_times));
    return 0;
}
