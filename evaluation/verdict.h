#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace renpin {

// The evaluation text for a score: one of the 21 rows for 0..99, a remark on the negative
// result for -20..-1, and the empty text for anything else.
std::u16string_view evaluate(std::int16_t score);

// The three-line report shown for a computed score; every line ends in CR LF.
std::u16string build_report(std::u16string_view name, std::int16_t score);

}  // namespace renpin
