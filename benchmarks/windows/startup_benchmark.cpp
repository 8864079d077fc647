// Times how long the main program, its floor (floor_window.exe: the same manifest, controls,
// fonts and status bar without the program's own work) and a minimal Win32 program take from
// CreateProcess until their main window is shown, and prints the medians and the ratios of the
// program's median to the others':
//   startup_benchmark [--runs N] [--renpin PATH] [--minimal PATH]
// Each run starts each program four times (N is 10 unless told), the three in turn, and ends it
// by force once its window is shown: only the start is measured. One start varies by a third
// under Wine, so a median needs many. The window's creation is learnt from the
// window events the system delivers, so nothing asks the starting program anything until then.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "driven_program.h"
#include "timing.h"

namespace {

using renpin::test::DrivenProgram;
using renpin::test::find_program;
using renpin::test::median;
using renpin::test::Stopwatch;

constexpr DWORD settle_milliseconds = 50;
constexpr int starts_per_run = 4;

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

struct Started {
    const wchar_t* label;
    std::wstring path;
    const wchar_t* window_class;
    std::vector<double> times;
};

// Milliseconds from CreateProcess to the program's main window shown, or a negative number on
// failure. The program starts suspended so that the watch is in place before it makes windows;
// the clock runs from before its creation all the same. It is ended once it has shown its window.
double time_start(const Started& program) {
    double milliseconds = -1;
    {
        const Stopwatch clock;
        DrivenProgram started;
        if (started.start(program.path, program.window_class)) {
            milliseconds = clock.seconds() * 1000;
        }
    }
    // Wine and the X server take down the ended program's windows after it is gone; the next
    // start waits for that, so that none pays for the one before it.
    Sleep(settle_milliseconds);
    return milliseconds;
}

void print_figure(const char* name, double value) {
    std::printf("%-32s %.3f\n", name, value);
}

void print_times(const Started& program) {
    char name[64];
    std::snprintf(name, sizeof(name), "startup.%ls.median_ms", program.label);
    print_figure(name, median(program.times));
    std::snprintf(name, sizeof(name), "startup.%ls.min_ms", program.label);
    print_figure(name, *std::min_element(program.times.begin(), program.times.end()));
    std::snprintf(name, sizeof(name), "startup.%ls.max_ms", program.label);
    print_figure(name, *std::max_element(program.times.begin(), program.times.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: startup_benchmark [--runs N] [--renpin PATH] [--minimal PATH]\n");
        return 2;
    }
    Started programs[] = {
        {L"renpin", find_program(options.renpin, L"renpin.exe", 2), L"RenpinForm1", {}},
        {L"floor", find_program(nullptr, L"floor_window.exe", 0), L"RenpinFloor", {}},
        {L"minimal", find_program(options.minimal, L"minimal_window.exe", 0), L"MinimalWindow", {}},
    };
    constexpr int count = static_cast<int>(std::size(programs));

    // One unmeasured start of each, so that none pays alone for loading shared system DLLs.
    for (const Started& program : programs) {
        if (time_start(program) < 0) {
            return 1;
        }
    }
    for (int round = 0; round < options.runs * starts_per_run; ++round) {
        // In turn, each going first in its share of the rounds, so that drift hits all alike.
        for (int turn = 0; turn < count; ++turn) {
            Started& program = programs[(round + turn) % count];
            const double time = time_start(program);
            if (time < 0) {
                return 1;
            }
            program.times.push_back(time);
        }
    }
    std::printf("%-32s %d\n", "startup.starts", options.runs * starts_per_run);
    for (const Started& program : programs) {
        print_times(program);
    }
    const double renpin = median(programs[0].times);
    print_figure("startup.ratio", renpin / median(programs[1].times));
    print_figure("startup.ratio_to_minimal", renpin / median(programs[2].times));
    return 0;
}
