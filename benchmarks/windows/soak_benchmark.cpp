// Drives the running program from outside, as a user would, and prints what it costs:
//   soak_benchmark [--queries N] [--warm-up N] [PROGRAM]
//       N queries in a row (2,000 unless told), with the process's handles, GDI and USER objects,
//       windows and working set before, after the first warm-up queries (50) and at the end.
//   soak_benchmark --long-name [--units N] [PROGRAM]
//       one query with a name of N code units (100,000 unless told) pasted into the name box.
// PROGRAM defaults to renpin.exe beside this program or two folders above it (the build's).
// Each figure is one line, "name value", for people and scripts alike.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

#include "driven_program.h"
#include "evaluation/score.h"
#include "evaluation/verdict.h"

namespace {

using renpin::bench::count_handles;
using renpin::bench::count_windows;
using renpin::bench::find_program;
using renpin::bench::StartedProgram;
using renpin::bench::Stopwatch;
using renpin::bench::wait_for_visible_window;
using renpin::bench::wait_until_gone;

// Control identifiers of the main window.
constexpr int command1 = 102;
constexpr int text2 = 103;
constexpr int text1 = 104;

// Long enough for Wine to lay out a very long answer in the output box and the message box.
constexpr DWORD long_wait_milliseconds = 900'000;
constexpr DWORD query_wait_milliseconds = 30'000;

struct Options {
    bool long_name = false;
    int queries = 2'000;
    int warm_up = 50;
    int units = 100'000;
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
            options.long_name = true;
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

// The program's message box: a visible dialog-class window of the process.
HWND wait_for_message_box(DWORD process, DWORD timeout_milliseconds) {
    return wait_for_visible_window(process, L"#32770", timeout_milliseconds, 1);
}

void press(HWND message_box, int button) {
    PostMessageW(message_box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(message_box, button)));
}

bool set_name(HWND name_box, const std::wstring& name, DWORD timeout_milliseconds) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(name_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()),
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

// The main program, started and with its window shown.
class DrivenRenpin {
  public:
    bool start(const std::wstring& path) {
        if (!program_.start(path)) {
            std::fprintf(stderr, "cannot start %ls (error %lu)\n", path.c_str(), GetLastError());
            return false;
        }
        form_ = wait_for_visible_window(program_.id(), L"RenpinForm1", 60'000, 5);
        if (form_ == nullptr) {
            std::fprintf(stderr, "the program showed no window within 60 s\n");
            return false;
        }
        return true;
    }

    HWND control(int id) const { return GetDlgItem(form_, id); }
    Resources resources() const { return read_resources(program_.handle(), program_.id()); }

    // One query: sets the name, then clicks as click_query does.
    double query(const std::wstring& name, DWORD timeout_milliseconds) {
        if (!set_name(control(text1), name, timeout_milliseconds)) {
            std::fprintf(stderr, "the name box did not take the name\n");
            return -1;
        }
        return click_query(timeout_milliseconds, nullptr);
    }

    // Clicks the query button, waits for the message box, reads the output box into `output`
    // if given, dismisses the box and waits until it is gone. Returns the seconds from the click
    // to the box shown, or a negative number when something did not happen in time.
    double click_query(DWORD timeout_milliseconds, std::wstring* output) {
        const Stopwatch clicked;
        PostMessageW(control(command1), BM_CLICK, 0, 0);
        const HWND box = wait_for_message_box(program_.id(), timeout_milliseconds);
        const double shown = clicked.seconds();
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
        PostMessageW(form_, WM_CLOSE, 0, 0);
        if (const HWND box = wait_for_message_box(program_.id(), 10'000)) {
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
    HWND form_ = nullptr;
};

int run_soak(DrivenRenpin& renpin, const Options& options) {
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

int run_long_name(DrivenRenpin& renpin, const Options& options) {
    const std::wstring name = long_name(options.units);
    const Stopwatch total;
    if (!set_name(renpin.control(text1), name, long_wait_milliseconds)) {
        std::fprintf(stderr, "the name box did not take the long name\n");
        return 1;
    }
    const double set_seconds = total.seconds();
    std::wstring output;
    const double click_to_box = renpin.click_query(long_wait_milliseconds, &output);
    const double seconds = total.seconds();
    if (click_to_box < 0) {
        return 1;
    }
    // The report the program computes for the name, compared whole.
    const std::u16string name16(name.begin(), name.end());
    const std::u16string report = renpin::build_report(name16, renpin::compute_score(name16));
    const bool whole =
        output.size() == report.size() && std::equal(output.begin(), output.end(), report.begin());
    print_figure("long.units", "%d", options.units);
    print_figure("long.paste_seconds", "%.3f", set_seconds);
    print_figure("long.click_to_box_seconds", "%.3f", click_to_box);
    print_figure("long.total_seconds", "%.3f", seconds);
    print_figure("long.output_length", "%llu", static_cast<unsigned long long>(output.size()));
    print_figure("long.report_length", "%llu", static_cast<unsigned long long>(report.size()));
    print_figure("long.output_whole", "%s", whole ? "yes" : "no");
    return whole ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak_benchmark [--queries N] [--warm-up N] [PROGRAM]\n"
                     "       soak_benchmark --long-name [--units N] [PROGRAM]\n");
        return 2;
    }
    const std::wstring program = find_program(options.program, L"renpin.exe", 2);
    DrivenRenpin renpin;
    if (!renpin.start(program)) {
        return 1;
    }
    const int status =
        options.long_name ? run_long_name(renpin, options) : run_soak(renpin, options);
    renpin.close();
    std::fflush(stdout);
    return status;
}
