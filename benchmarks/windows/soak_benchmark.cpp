// Drives the running program from outside, as a user would, and prints what it costs:
//   soak_benchmark [--queries N] [--warm-up N] [PROGRAM]
//       N queries in a row (2,000 unless told), with the process's handles, GDI and USER objects,
//       windows and working set before, after the first warm-up queries (50) and at the end.
//   soak_benchmark --long-name [--units N] [--runs N] [--observer HOW] [PROGRAM]
//       a name of N code units (100,000 unless told) pasted into the name box, then N queries
//       (5) with it, timed from the click to the message box shown.
//   soak_benchmark --round-trip [--runs N] [--observer HOW] [PROGRAM]
//       N queries (30) with the name 张三, timed the same way.
// The last two run the program and its floor, floor_window.exe (the same controls without the
// program's own work), side by side, one query of each in turn, and print the medians and
// their ratio. HOW is how the benchmark learns that the message box is there: "events" (the
// window events the system delivers, unless told), "polling" (looking for the box once a
// millisecond) or "sleep:MS" (sleeping MS milliseconds between looks, so seldom that the
// program is left alone; no time is measured then).
// PROGRAM defaults to renpin.exe beside this program or two folders above it (the build's).
// Each figure is one line, "name value", for people and scripts alike.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driven_program.h"
#include "evaluation/score.h"
#include "evaluation/verdict.h"

namespace {

using renpin::bench::count_handles;
using renpin::bench::count_windows;
using renpin::bench::find_program;
using renpin::bench::find_visible_window;
using renpin::bench::median;
using renpin::bench::StartedProgram;
using renpin::bench::Stopwatch;
using renpin::bench::wait_for_visible_window;
using renpin::bench::wait_until_gone;
using renpin::bench::wait_until_visible;
using renpin::bench::WindowWatch;

// Control identifiers of the main window.
constexpr int command1 = 102;
constexpr int text2 = 103;
constexpr int text1 = 104;

// Long enough for Wine to lay out a very long answer in the output box and the message box.
constexpr DWORD long_wait_milliseconds = 900'000;
constexpr DWORD query_wait_milliseconds = 30'000;
constexpr DWORD settle_milliseconds = 300;

struct Observer {
    enum class Kind { events, polling, sleep };
    Kind kind = Kind::events;
    DWORD sleep_milliseconds = 0;
};

enum class Mode { soak, long_name, round_trip };

struct Options {
    Mode mode = Mode::soak;
    int queries = 2'000;
    int warm_up = 50;
    int units = 100'000;
    int runs = 0;
    Observer observer;
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

bool parse_observer(std::wstring_view text, Observer& observer) {
    if (text == L"events" || text == L"polling") {
        observer.kind = text == L"events" ? Observer::Kind::events : Observer::Kind::polling;
        return true;
    }
    int milliseconds = 0;
    if (!text.starts_with(L"sleep:") || !parse_count(text.data() + 6, 1, milliseconds)) {
        return false;
    }
    observer.kind = Observer::Kind::sleep;
    observer.sleep_milliseconds = static_cast<DWORD>(milliseconds);
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
        } else if (argument == L"--observer" && has_value) {
            if (!parse_observer(argv[++i], options.observer)) {
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

struct Resources {
    DWORD handles = 0;
    const char* handle_source = "";
    DWORD gdi_objects = 0;
    DWORD user_objects = 0;
    DWORD windows = 0;
    SIZE_T working_set = 0;
};

Resources read_resources(HANDLE process, DWORD process_id) {
    Resources resources;
    resources.handles = count_handles(process, process_id, &resources.handle_source);
    resources.windows = count_windows(process_id);
    resources.gdi_objects = GetGuiResources(process, GR_GDIOBJECTS);
    resources.user_objects = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (K32GetProcessMemoryInfo(process, &memory, sizeof(memory))) {
        resources.working_set = memory.WorkingSetSize;
    }
    return resources;
}

// A process with a window owns USER objects, so none at all means the system does not count
// them (Wine's GetGuiResources counts nothing).
bool gui_counted(const Resources& resources) {
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

void print_resources(const char* stage, const Resources& resources, bool gui_counted) {
    print_stage_figure(stage, "handles", true, resources.handles, false);
    print_stage_figure(stage, "gdi_objects", gui_counted, resources.gdi_objects, false);
    print_stage_figure(stage, "user_objects", gui_counted, resources.user_objects, false);
    print_stage_figure(stage, "windows", true, resources.windows, false);
    print_stage_figure(stage, "working_set_kib", true,
                       static_cast<long long>(resources.working_set / 1024), false);
}

void print_growth(const char* stage, const Resources& from, const Resources& to, bool gui_counted) {
    const auto difference = [](auto before, auto after) {
        return static_cast<long long>(after) - static_cast<long long>(before);
    };
    print_stage_figure(stage, "handles", true, difference(from.handles, to.handles), true);
    print_stage_figure(stage, "gdi_objects", gui_counted,
                       difference(from.gdi_objects, to.gdi_objects), true);
    print_stage_figure(stage, "user_objects", gui_counted,
                       difference(from.user_objects, to.user_objects), true);
    print_stage_figure(stage, "windows", true, difference(from.windows, to.windows), true);
    print_stage_figure(stage, "working_set_kib", true,
                       difference(from.working_set / 1024, to.working_set / 1024), true);
}

// ASCII, Chinese, surrogate pairs, spaces, the names with fixed answers and, every other round,
// a number that makes the name new.
std::wstring soak_name(int query) {
    static constexpr const wchar_t* names[] = {
        L"张三",
        L"Tom",
        L"李四 Li Si",
        L"  spaced   out  ",
        L"\U0001F600\U0001F389",
        L"赵钱孙李\U00020000",
        L"k-Vem阿朴",
        L"菲菲",
        L"O'Brien-Smith",
        L"欧阳 娜娜 ",
    };
    constexpr int count = static_cast<int>(std::size(names));
    std::wstring name = names[query % count];
    if ((query / count) % 2 == 1) {
        name += std::to_wstring(query);
    }
    return name;
}

void press(HWND message_box, int button) {
    PostMessageW(message_box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(message_box, button)));
}

bool set_text(HWND box, const std::wstring& text, DWORD timeout_milliseconds) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, timeout_milliseconds, &result) != 0;
}

// The whole text of another process's control.
std::wstring read_text(HWND control, DWORD timeout_milliseconds) {
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

// A program with the main window's controls, started and with its window shown: the main
// program or its floor.
class DrivenWindow {
  public:
    bool start(const std::wstring& path, const wchar_t* window_class) {
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
        form_ = watch_->wait_for_creation(window_class, 60'000);
        if (form_ == nullptr || !wait_until_visible(form_, 60'000)) {
            std::fprintf(stderr, "%ls showed no window within 60 s\n", path.c_str());
            return false;
        }
        return true;
    }

    HWND control(int id) const { return GetDlgItem(form_, id); }
    Resources resources() const { return read_resources(program_.handle(), program_.id()); }

    // One query: sets the name, then clicks as click_query does.
    double query(const std::wstring& name, DWORD timeout_milliseconds) {
        if (!set_text(control(text1), name, timeout_milliseconds)) {
            std::fprintf(stderr, "the name box did not take the name\n");
            return -1;
        }
        return click_query(timeout_milliseconds, nullptr);
    }

    // Clicks the query button, waits for the message box as the observer says, reads the output
    // box into `output` if given, dismisses the box and waits until it is gone. Returns the
    // seconds from the click to the box shown (zero when the observer sleeps and so cannot
    // know), or a negative number when something did not happen in time.
    double click_query(DWORD timeout_milliseconds, std::wstring* output,
                       const Observer& observer = {}) {
        watch_->forget();
        const Stopwatch clicked;
        PostMessageW(control(command1), BM_CLICK, 0, 0);
        HWND box = nullptr;
        double shown = 0;
        if (observer.kind == Observer::Kind::events) {
            box = watch_->wait_for_creation(L"#32770", timeout_milliseconds);
            if (box != nullptr && (!watch_->wait_for_focus_in(box, timeout_milliseconds) ||
                                   !wait_until_visible(box, timeout_milliseconds))) {
                box = nullptr;
            }
            shown = clicked.seconds();
        } else if (observer.kind == Observer::Kind::polling) {
            box = wait_for_visible_window(program_.id(), L"#32770", timeout_milliseconds, 1);
            shown = clicked.seconds();
        } else {
            const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
            do {
                Sleep(observer.sleep_milliseconds);
                box = find_visible_window(program_.id(), L"#32770");
            } while (box == nullptr && GetTickCount64() < deadline);
        }
        if (box == nullptr) {
            std::fprintf(stderr, "no message box after the click\n");
            return -1;
        }
        if (output != nullptr) {
            *output = read_text(control(text2), timeout_milliseconds);
        }
        press(box, IDOK);
        if (!wait_until_gone(box, timeout_milliseconds)) {
            std::fprintf(stderr, "the message box stayed after OK\n");
            return -1;
        }
        return shown;
    }

    // Closes the program as a user would: asks it to close and answers yes. Ends it by force
    // only if it has not ended within 10 s.
    void close() {
        watch_->forget();
        PostMessageW(form_, WM_CLOSE, 0, 0);
        const HWND box = watch_->wait_for_creation(L"#32770", 10'000);
        if (box != nullptr && wait_until_visible(box, 10'000)) {
            press(box, IDYES);
        }
        const bool ended = program_.wait_for_exit(10'000);
        print_figure("close.ended_by_itself", "%s", ended ? "yes" : "no");
        if (!ended) {
            program_.terminate();
        }
    }

  private:
    StartedProgram program_;
    std::unique_ptr<WindowWatch> watch_;
    HWND form_ = nullptr;
};

int run_soak(DrivenWindow& renpin, const Options& options) {
    const int warm_up = options.warm_up < options.queries ? options.warm_up : options.queries;
    const Resources before = renpin.resources();
    Resources warm = before;
    double slowest = 0;
    const Stopwatch total;
    for (int query = 0; query < options.queries; ++query) {
        if (query == warm_up) {
            warm = renpin.resources();
        }
        const double shown = renpin.query(soak_name(query), query_wait_milliseconds);
        if (shown < 0) {
            std::fprintf(stderr, "query %d failed\n", query + 1);
            return 1;
        }
        slowest = shown > slowest ? shown : slowest;
    }
    const double seconds = total.seconds();
    const Resources after = renpin.resources();
    const bool counted = gui_counted(before) && gui_counted(after);

    print_figure("soak.queries", "%d", options.queries);
    print_figure("soak.seconds", "%.3f", seconds);
    print_figure("soak.ms_per_query", "%.3f", seconds * 1000 / options.queries);
    print_figure("soak.slowest_click_to_box_ms", "%.3f", slowest * 1000);
    print_figure("soak.warm_up_queries", "%d", warm_up);
    print_figure("soak.handles_counted_by", "%s", after.handle_source);
    print_resources("before", before, counted);
    print_resources("after_warm_up", warm, counted);
    print_resources("after", after, counted);
    print_growth("growth", before, after, counted);
    print_growth("growth_after_warm_up", warm, after, counted);
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

// The program and its floor, each given the name once, then queried in turn `runs` times with
// the output box emptied before each query, so that every query writes into an empty box as
// the first one does. The first query of each is also checked for the whole report.
int compare_with_floor(const char* prefix, const std::wstring& program, const std::wstring& name,
                       int runs, const Observer& observer, DWORD timeout_milliseconds) {
    const std::wstring floor = find_program(nullptr, L"floor_window.exe", 0);
    DrivenWindow windows[2];
    if (!windows[0].start(program, L"RenpinForm1") || !windows[1].start(floor, L"RenpinFloor")) {
        return 1;
    }
    const char* labels[2] = {"renpin", "floor"};
    char figure[64];
    std::vector<double> times[2];
    for (int which = 0; which < 2; ++which) {
        const Stopwatch pasted;
        if (!set_text(windows[which].control(text1), name, timeout_milliseconds)) {
            std::fprintf(stderr, "the name box did not take the name\n");
            return 1;
        }
        std::snprintf(figure, sizeof(figure), "%s.%s.paste_seconds", prefix, labels[which]);
        print_figure(figure, "%.3f", pasted.seconds());
    }
    for (int run = 0; run < runs; ++run) {
        // Each goes first every other run, so that drift in the machine's load hits both alike.
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (run + turn) % 2;
            DrivenWindow& window = windows[which];
            if (!set_text(window.control(text2), L"", timeout_milliseconds)) {
                return 1;
            }
            // The output is read once the time is taken, and only in the first run.
            std::wstring output;
            const double shown =
                window.click_query(timeout_milliseconds, run == 0 ? &output : nullptr, observer);
            if (shown < 0) {
                return 1;
            }
            times[which].push_back(shown);
            // The window repaints what the box covered once the box is gone; the next query
            // starts only after that, so that none pays for the one before it.
            Sleep(settle_milliseconds);
            if (run == 0) {
                std::snprintf(figure, sizeof(figure), "%s.%s.output_whole", prefix, labels[which]);
                print_figure(figure, "%s", holds_report(output, name) ? "yes" : "no");
                std::snprintf(figure, sizeof(figure), "%s.%s.output_length", prefix, labels[which]);
                print_figure(figure, "%llu", static_cast<unsigned long long>(output.size()));
            }
        }
    }
    std::snprintf(figure, sizeof(figure), "%s.runs", prefix);
    print_figure(figure, "%d", runs);
    if (observer.kind == Observer::Kind::sleep) {
        return 0;
    }
    const bool seconds = name.size() > 1'000;
    for (int which = 0; which < 2; ++which) {
        print_times(prefix, labels[which], seconds ? "s" : "ms", seconds ? 1 : 1000, times[which]);
    }
    std::snprintf(figure, sizeof(figure), "%s.ratio", prefix);
    print_figure(figure, "%.3f", median(times[0]) / median(times[1]));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak_benchmark [--queries N] [--warm-up N] [PROGRAM]\n"
                     "       soak_benchmark --long-name [--units N] [--runs N] [--observer HOW] "
                     "[PROGRAM]\n"
                     "       soak_benchmark --round-trip [--runs N] [--observer HOW] [PROGRAM]\n"
                     "HOW: events, polling or sleep:MILLISECONDS\n");
        return 2;
    }
    const std::wstring program = find_program(options.program, L"renpin.exe", 2);
    int status = 0;
    if (options.mode == Mode::long_name) {
        status = compare_with_floor("long", program, long_name(options.units),
                                    options.runs > 0 ? options.runs : 5, options.observer,
                                    long_wait_milliseconds);
        print_figure("long.units", "%d", options.units);
    } else if (options.mode == Mode::round_trip) {
        status = compare_with_floor("query", program, L"张三", options.runs > 0 ? options.runs : 30,
                                    options.observer, query_wait_milliseconds);
    } else {
        DrivenWindow renpin;
        if (!renpin.start(program, L"RenpinForm1")) {
            return 1;
        }
        status = run_soak(renpin, options);
        renpin.close();
    }
    std::fflush(stdout);
    return status;
}
