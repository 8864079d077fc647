// renpin-cli's run on arbitrary arguments and standard input. The input's first byte gives the
// number of arguments (mod 8); that many NUL-terminated arguments follow, and the rest is
// standard input. The run must answer every accepted name once and in order, stop at the first
// name that is not UTF-8 with the one message naming it, and return only 0 or 2.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/program.h"
#include "cli/utf8.h"
#include "fuzz/require.h"

namespace {

using renpin::fuzz::require;

constexpr std::string_view reproach = "老大不要玩我,名字都没有你想算什么!\r\n";
constexpr std::string_view fixed_answers[] = {
    "哇靠!你的人品已经过100了!人品计算器已经甘愿认输!\r\n",
    "哇靠!你活着干嘛!像你这种垃圾死了算了吧!人品:-100!\r\n",
};

bool is_utf8(std::string_view bytes) {
    return renpin::utf8_to_utf16(bytes).has_value();
}

bool take(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// Takes the answer for `name` off the front of `out`: the reproach for the empty name, otherwise
// a fixed text or a report whose first line holds the whole name.
bool take_answer(std::string_view& out, std::string_view name) {
    if (name.empty()) {
        return take(out, reproach);
    }
    for (const std::string_view fixed : fixed_answers) {
        if (take(out, fixed)) {
            return true;
        }
    }
    if (!take(out, "查询姓名：") || !take(out, name) || !take(out, "\r\n人品得分：")) {
        return false;
    }
    take(out, "-");
    const std::size_t digits = out.find_first_not_of("0123456789");
    if (digits == 0 || digits > 2 || digits == std::string_view::npos) {
        return false;
    }
    out.remove_prefix(digits);
    if (!take(out, "\r\n综合评价：")) {
        return false;
    }
    const std::size_t end = out.find("\r\n");
    if (end == std::string_view::npos) {
        return false;
    }
    out.remove_prefix(end + 2);
    return true;
}

// What a run should do, worked out from the input alone.
struct Expected {
    std::vector<std::string_view> names;
    int code = 0;
    std::string error;
};

Expected expect(const std::vector<std::string_view>& arguments, std::string_view input) {
    Expected expected;
    if (arguments.empty()) {
        expected.code = 2;
        return expected;
    }
    const auto reject = [&](const std::string& what) {
        expected.code = 2;
        expected.error = "renpin-cli: " + what + " is not valid UTF-8\n";
    };
    std::size_t line_number = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!is_utf8(arguments[i])) {
            reject("argument " + std::to_string(i + 1));
            return expected;
        }
        if (arguments[i] != "-") {
            expected.names.push_back(arguments[i]);
            continue;
        }
        // The first "-" reads all of the input; a final piece without LF is a line too.
        while (!input.empty()) {
            const std::size_t lf = input.find('\n');
            std::string_view line = input.substr(0, lf);
            input.remove_prefix(lf == std::string_view::npos ? input.size() : lf + 1);
            ++line_number;
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            // A byte order mark opening the input is no part of the first name.
            if (line_number == 1) {
                take(line, "\xEF\xBB\xBF");
            }
            if (!is_utf8(line)) {
                reject("line " + std::to_string(line_number) + " of standard input");
                return expected;
            }
            expected.names.push_back(line);
        }
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    if (rest.empty()) {
        return 0;
    }
    const std::size_t count = static_cast<unsigned char>(rest.front()) % 8;
    rest.remove_prefix(1);
    std::vector<std::string_view> raw_arguments;
    while (raw_arguments.size() < count && !rest.empty()) {
        const std::size_t nul = rest.find('\0');
        raw_arguments.push_back(rest.substr(0, nul));
        rest.remove_prefix(nul == std::string_view::npos ? rest.size() : nul + 1);
    }
    std::vector<renpin::cli::Argument> arguments;
    for (const std::string_view argument : raw_arguments) {
        arguments.push_back(renpin::utf8_to_utf16(argument));
    }

    std::istringstream in{std::string(rest)};
    std::ostringstream out;
    std::ostringstream err;
    const int code = renpin::cli::run(arguments, in, out, err);

    const Expected expected = expect(raw_arguments, rest);
    require(code == 0 || code == 2, "exit code other than 0 or 2");
    require(code == expected.code, "wrong exit code");
    if (raw_arguments.empty()) {
        require(err.str().starts_with("usage: renpin-cli"), "no usage message");
    } else {
        require(err.str() == expected.error, "wrong or missing message");
    }
    const std::string output = out.str();
    std::string_view answers = output;
    for (const std::string_view name : expected.names) {
        require(take_answer(answers, name), "an accepted name lacks its answer, in order");
    }
    require(answers.empty(), "output beyond one answer per accepted name");
    return 0;
}
