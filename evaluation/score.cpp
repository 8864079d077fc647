#include "evaluation/score.h"

namespace renpin {

std::int16_t compute_score(std::u16string_view name) {
    std::int64_t raw_sum = 0;
    for (const char16_t unit : name) {
        const auto code = static_cast<std::int16_t>(unit);
        raw_sum += code % 100;
    }
    auto score = static_cast<std::int16_t>(raw_sum % 100);
    if (score < -20) {
        score = static_cast<std::int16_t>(~score);
    }
    return score;
}

}  // namespace renpin
