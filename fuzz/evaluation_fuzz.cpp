// The score and the report for arbitrary UTF-16 text (the input read as little-endian code
// units). The score lies in -20..99 and, for names too short to carry a 16-bit sum out of
// range, equals the one computed the way it is defined: with a 16-bit running sum. The report is
// three CR LF lines, the first holding the whole name and the second the score.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "evaluation/score.h"
#include "evaluation/verdict.h"
#include "fuzz/require.h"

namespace {

using renpin::fuzz::require;

// Every term lies in -99..99, so 330 of them cannot leave the signed 16-bit range.
constexpr std::size_t longest_16_bit_name = 330;

std::int16_t score_with_16_bit_sum(std::u16string_view name) {
    std::int16_t sum = 0;
    for (const char16_t unit : name) {
        const auto code = static_cast<std::int16_t>(unit);
        const auto term = static_cast<std::int16_t>(code % 100);
        require(!__builtin_add_overflow(sum, term, &sum), "16-bit sum overflowed");
    }
    auto score = static_cast<std::int16_t>(sum % 100);
    if (score < -20) {
        score = static_cast<std::int16_t>(~score);
    }
    return score;
}

bool take(std::u16string_view& text, std::u16string_view prefix) {
    if (!text.starts_with(prefix)) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string name;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        name.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    const std::int16_t score = renpin::compute_score(name);
    require(score >= -20 && score <= 99, "score outside -20..99");
    if (name.size() <= longest_16_bit_name) {
        require(score == score_with_16_bit_sum(name), "score differs from the 16-bit sum's");
    }

    const std::u16string report = renpin::build_report(name, score);
    std::u16string_view rest = report;
    const std::string digits = std::to_string(score);
    require(take(rest, u"查询姓名：") && take(rest, name) && take(rest, u"\r\n"),
            "first line is not the whole name");
    require(take(rest, u"人品得分：") && take(rest, std::u16string(digits.begin(), digits.end())) &&
                take(rest, u"\r\n"),
            "second line is not the score");
    require(take(rest, u"综合评价：") && rest.ends_with(u"\r\n") &&
                rest.find(u"\r\n") == rest.size() - 2,
            "third line is not one evaluation ending the report");
    return 0;
}
