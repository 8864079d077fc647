#pragma once

#include <cstdint>
#include <string_view>

namespace renpin {

// The character score of a name: each UTF-16 code unit, read as a signed 16-bit number,
// contributes its remainder by 100 (truncating); the sum is reduced by 100 the same way and
// scores below -20 are folded onto 20..98 by bitwise complement. The result lies in -20..99.
// Sums are kept wide, so names of any length get a score; a name whose running sum would stay
// within 16 bits scores exactly as it would with a 16-bit sum.
std::int16_t compute_score(std::u16string_view name);

}  // namespace renpin
