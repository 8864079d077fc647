// Drives the running program from outside, as a user would, and prints what it costs:
//   soak_benchmark [--queries N] [--warm-up N] [PROGRAM]
//       N queries in a row (2,000 unless told), with the process's handles, GDI and USER objects,
//       windows and working set before, after the first warm-up queries (50) and at the end.
//   soak_benchmark --long-name [--units N] [--runs N] [PROGRAM]
//       a name of N code units (100,000 unless told) pasted into the name box, then N queries
//       (21) with it, timed from the click to the message box shown.
//   soak_benchmark --round-trip [--runs N] [PROGRAM]
//       N queries (100) with the name 张三, timed the same way, after three untimed.
// The last two run the program and its floor, floor_window.exe (the same controls without the
// program's own work), side by side, one query of each in turn, and print the medians and the
// median of the ratios of each pair of queries. The benchmark learns that the message box is there
// from the window events the system delivers, so it asks the program nothing while the program
// works. PROGRAM defaults to renpin.exe beside this program or two folders above it (the build's).
// Each figure is one line, "name value", for people and scripts alike.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "driven_program.h"
#include "evaluation/score.h"
#include "evaluation/verdict.h"
#include "soak.h"
#include "timing.h"
#include "window_reading.h"

namespace {

using renpin::test::DrivenProgram;
using renpin::test::median;
using renpin::test::median_ratio;
using renpin::test::ProcessResources;
using renpin::test::Stopwatch;
using renpin::window::ControlId;

// Long enough for Wine to lay out a very long answer in the output box and the message box.
constexpr DWORD long_wait_milliseconds = 900'000;
constexpr DWORD query_wait_milliseconds = 30'000;
constexpr DWORD settle_milliseconds = 200;

enum class Mode { soak, long_name, round_trip };

struct Options {
    Mode mode = Mode::soak;
    int queries = 2'000;
    int warm_up = 50;
    int units = 100'000;
    int runs = 0;
    const wchar_t* program = nullptr;
};

bool parse_count(const wchar_t* text, int minimum, int& count) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value < minimum || value > 100'000'000) {
        return false;
    }
    count = static_cast<int>(value);
    return true;
}

bool parse_options(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument = argv[i];
        const bool has_value = i + 1 < argc;
        if (argument == L"--long-name") {
            options.mode = Mode::long_name;
        } else if (argument == L"--round-trip") {
            options.mode = Mode::round_trip;
        } else if (argument == L"--runs" && has_value) {
            if (!parse_count(argv[++i], 1, options.runs)) {
                return false;
            }
        } else if (argument == L"--queries" && has_value) {
            if (!parse_count(argv[++i], 1, options.queries)) {
                return false;
            }
        } else if (argument == L"--warm-up" && has_value) {
            if (!parse_count(argv[++i], 0, options.warm_up)) {
                return false;
            }
        } else if (argument == L"--units" && has_value) {
            if (!parse_count(argv[++i], 1, options.units)) {
                return false;
            }
        } else if (!argument.starts_with(L"--") && options.program == nullptr) {
            options.program = argv[i];
        } else {
            return false;
        }
    }
    return true;
}

void print_figure(const char* name, const char* format, auto value) {
    std::printf("%-32s ", name);
    std::printf(format, value);
    std::printf("\n");
}

// A process with a window owns USER objects, so none at all means the system does not count
// them (Wine's GetGuiResources counts nothing).
bool gui_counted(const ProcessResources& resources) {
    return resources.gdi_objects != 0 || resources.user_objects != 0;
}

// A figure of one stage, or n/a where the system does not count it.
void print_stage_figure(const char* stage, const char* what, bool counted, long long value,
                        bool signed_value) {
    char name[64];
    std::snprintf(name, sizeof(name), "soak.%s.%s", stage, what);
    if (!counted) {
        print_figure(name, "%s", "n/a");
    } else {
        print_figure(name, signed_value ? "%+lld" : "%lld", value);
    }
}

// The figures of one stage; with `from`, their growth since that stage.
void print_resources(const char* stage, const ProcessResources& now, bool gui_counted,
                     const ProcessResources* from = nullptr) {
    const ProcessResources zero{};
    const ProcessResources& base = from != nullptr ? *from : zero;
    const bool growth = from != nullptr;
    const auto difference = [](auto after, auto before) {
        return static_cast<long long>(after) - static_cast<long long>(before);
    };
    print_stage_figure(stage, "handles", true, difference(now.handles, base.handles), growth);
    print_stage_figure(stage, "gdi_objects", gui_counted,
                       difference(now.gdi_objects, base.gdi_objects), growth);
    print_stage_figure(stage, "user_objects", gui_counted,
                       difference(now.user_objects, base.user_objects), growth);
    print_stage_figure(stage, "windows", true, difference(now.windows, base.windows), growth);
    print_stage_figure(stage, "working_set_kib", true,
                       difference(now.working_set / 1024, base.working_set / 1024), growth);
}

bool set_text(HWND box, const std::wstring& text, DWORD timeout_milliseconds) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, timeout_milliseconds, &result) != 0;
}

ProcessResources resources_of(const DrivenProgram& program) {
    return renpin::test::read_process_resources(program.process().handle(), program.process().id());
}

// Clicks the query button, waits for the message box, reads the output box into `output` if
// given, dismisses the box and waits until it is gone. Returns the seconds from the click to the
// box shown, or a negative number when something did not happen in time.
double click_query(DrivenProgram& program, DWORD timeout_milliseconds, std::wstring* output) {
    program.watch().forget();
    const Stopwatch clicked;
    PostMessageW(program.control(ControlId::Command1), BM_CLICK, 0, 0);
    const HWND box = program.wait_for_message_box(timeout_milliseconds);
    const double shown = clicked.seconds();
    if (box == nullptr) {
        std::fprintf(stderr, "no message box after the click\n");
        return -1;
    }
    if (output != nullptr) {
        *output =
            renpin::test::control_text(program.control(ControlId::Text2), timeout_milliseconds);
    }
    renpin::test::answer_message_box(box, IDOK);
    if (!renpin::test::wait_until_gone(box, timeout_milliseconds)) {
        std::fprintf(stderr, "the message box stayed after OK\n");
        return -1;
    }
    return shown;
}

// Closes the program as a user would: asks it to close and answers yes. Ends it by force only
// if it has not ended within 10 s.
void close(DrivenProgram& program) {
    program.watch().forget();
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    program.answer_next_message_box(IDYES, 10'000);
    const bool ended = program.wait_for_exit(10'000).has_value();
    print_figure("close.ended_by_itself", "%s", ended ? "yes" : "no");
}

int run_soak(DrivenProgram& renpin, const Options& options) {
    const int warm_up = options.warm_up < options.queries ? options.warm_up : options.queries;
    const ProcessResources before = resources_of(renpin);
    ProcessResources warm = before;
    double slowest = 0;
    const Stopwatch total;
    for (int query = 0; query < options.queries; ++query) {
        if (query == warm_up) {
            warm = resources_of(renpin);
        }
        if (!set_text(renpin.control(ControlId::Text1), renpin::test::soak_name(query),
                      query_wait_milliseconds)) {
            std::fprintf(stderr, "the name box did not take the name\n");
            return 1;
        }
        const double shown = click_query(renpin, query_wait_milliseconds, nullptr);
        if (shown < 0) {
            std::fprintf(stderr, "query %d failed\n", query + 1);
            return 1;
        }
        slowest = shown > slowest ? shown : slowest;
    }
    const double seconds = total.seconds();
    const ProcessResources after = resources_of(renpin);
    const bool counted = gui_counted(before) && gui_counted(after);

    print_figure("soak.queries", "%d", options.queries);
    print_figure("soak.seconds", "%.3f", seconds);
    print_figure("soak.ms_per_query", "%.3f", seconds * 1000 / options.queries);
    print_figure("soak.slowest_click_to_box_ms", "%.3f", slowest * 1000);
    print_figure("soak.warm_up_queries", "%d", warm_up);
    print_figure("soak.handles_counted_by", "%s", after.handles_counted_by);
    print_resources("before", before, counted);
    print_resources("after_warm_up", warm, counted);
    print_resources("after", after, counted);
    print_resources("growth", after, counted, &before);
    print_resources("growth_after_warm_up", after, counted, &warm);
    return 0;
}

// A name of exactly `units` UTF-16 code units, unbroken: Chinese with a surrogate pair now and
// then, never cut in half at the end.
std::wstring long_name(int units) {
    static constexpr std::wstring_view pattern = L"赵钱孙李周吴郑王冯陈褚卫\U0001F600蒋沈韩杨";
    std::wstring name;
    name.reserve(static_cast<std::size_t>(units));
    while (name.size() < static_cast<std::size_t>(units)) {
        const std::size_t left = static_cast<std::size_t>(units) - name.size();
        name.append(pattern.substr(0, left));
    }
    if (IS_HIGH_SURROGATE(name.back())) {
        name.back() = L'赵';
    }
    return name;
}

// Whether the box holds exactly the report the program computes for the name.
bool holds_report(const std::wstring& output, const std::wstring& name) {
    const std::u16string name16(name.begin(), name.end());
    const std::u16string report = renpin::build_report(name16, renpin::compute_score(name16));
    return output.size() == report.size() &&
           std::equal(output.begin(), output.end(), report.begin());
}

void print_times(const char* prefix, const char* program, const char* unit, double scale,
                 const std::vector<double>& times) {
    char name[64];
    for (const char* statistic : {"median", "min", "max"}) {
        const double value = statistic[1] == 'e'   ? median(times)
                             : statistic[1] == 'i' ? *std::min_element(times.begin(), times.end())
                                                   : *std::max_element(times.begin(), times.end());
        std::snprintf(name, sizeof(name), "%s.%s.%s_%s", prefix, program, statistic, unit);
        print_figure(name, "%.3f", value * scale);
    }
}

// One query with the output box emptied first, so that every query writes into an empty box:
// the seconds from the click to the message box shown, or a negative number on failure.
// `output`, if given, receives what the output box held.
double timed_query(DrivenProgram& window, DWORD timeout_milliseconds, std::wstring* output) {
    if (!set_text(window.control(ControlId::Text2), L"", timeout_milliseconds)) {
        return -1;
    }
    const double shown = click_query(window, timeout_milliseconds, output);
    // The window repaints what the box covered once the box is gone; the next query starts only
    // after that, so that none pays for the one before it.
    Sleep(settle_milliseconds);
    return shown;
}

// The program and its floor, each given the name once and queried `warm_up` times untimed (the
// first query loads what the message box needs), then queried in turn `runs` times. The answer
// to the first query of each is checked for the whole report, once its time is taken.
int compare_with_floor(const char* prefix, const std::wstring& program, const std::wstring& name,
                       int runs, int warm_up, DWORD timeout_milliseconds) {
    const std::wstring floor = renpin::test::find_program(nullptr, L"floor_window.exe", 0);
    DrivenProgram windows[2];
    if (!windows[0].start(program, L"RenpinForm1") || !windows[1].start(floor, L"RenpinFloor")) {
        return 1;
    }
    const char* labels[2] = {"renpin", "floor"};
    char figure[64];
    bool answer_checked[2] = {false, false};
    // One query; false on failure. Its time goes to `times` unless that is null.
    const auto query = [&](int which, std::vector<double>* times) {
        std::wstring output;
        const double shown = timed_query(windows[which], timeout_milliseconds,
                                         answer_checked[which] ? nullptr : &output);
        if (shown < 0) {
            return false;
        }
        if (times != nullptr) {
            times->push_back(shown);
        }
        if (!answer_checked[which]) {
            answer_checked[which] = true;
            std::snprintf(figure, sizeof(figure), "%s.%s.output_whole", prefix, labels[which]);
            print_figure(figure, "%s", holds_report(output, name) ? "yes" : "no");
            std::snprintf(figure, sizeof(figure), "%s.%s.output_length", prefix, labels[which]);
            print_figure(figure, "%llu", static_cast<unsigned long long>(output.size()));
        }
        return true;
    };
    for (int which = 0; which < 2; ++which) {
        const Stopwatch pasted;
        if (!set_text(windows[which].control(ControlId::Text1), name, timeout_milliseconds)) {
            std::fprintf(stderr, "the name box did not take the name\n");
            return 1;
        }
        std::snprintf(figure, sizeof(figure), "%s.%s.paste_seconds", prefix, labels[which]);
        print_figure(figure, "%.3f", pasted.seconds());
        for (int untimed = 0; untimed < warm_up; ++untimed) {
            if (!query(which, nullptr)) {
                return 1;
            }
        }
    }
    std::vector<double> times[2];
    for (int run = 0; run < runs; ++run) {
        // Each goes first every other run, so that drift in the machine's load hits both alike.
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (run + turn) % 2;
            if (!query(which, &times[which])) {
                return 1;
            }
        }
    }
    std::snprintf(figure, sizeof(figure), "%s.runs", prefix);
    print_figure(figure, "%d", runs);
    std::snprintf(figure, sizeof(figure), "%s.warm_up", prefix);
    print_figure(figure, "%d", warm_up);
    const bool seconds = name.size() > 1'000;
    for (int which = 0; which < 2; ++which) {
        print_times(prefix, labels[which], seconds ? "s" : "ms", seconds ? 1 : 1000, times[which]);
    }
    std::snprintf(figure, sizeof(figure), "%s.ratio", prefix);
    print_figure(figure, "%.3f", median_ratio(times[0], times[1]));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak_benchmark [--queries N] [--warm-up N] [PROGRAM]\n"
                     "       soak_benchmark --long-name [--units N] [--runs N] [PROGRAM]\n"
                     "       soak_benchmark --round-trip [--runs N] [PROGRAM]\n");
        return 2;
    }
    const std::wstring program = renpin::test::find_program(options.program, L"renpin.exe", 2);
    int status = 0;
    if (options.mode == Mode::long_name) {
        status =
            compare_with_floor("long", program, long_name(options.units),
                               options.runs > 0 ? options.runs : 21, 0, long_wait_milliseconds);
        print_figure("long.units", "%d", options.units);
    } else if (options.mode == Mode::round_trip) {
        status =
            compare_with_floor("query", program, L"张三", options.runs > 0 ? options.runs : 100, 3,
                               query_wait_milliseconds);
    } else {
        DrivenProgram renpin;
        if (!renpin.start(program, L"RenpinForm1")) {
            return 1;
        }
        status = run_soak(renpin, options);
        close(renpin);
    }
    std::fflush(stdout);
    return status;
}
