#include "cli/utf8.h"

namespace renpin {
namespace {

// What a sequence's first byte promises: its length, its payload bits, and the smallest code
// point of that length (anything less is an overlong form).
struct Lead {
    std::size_t length;
    char32_t bits;
    char32_t smallest;
};

std::optional<Lead> classify(unsigned char byte) {
    if (byte < 0x80) {
        return Lead{1, byte, 0};
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return Lead{2, char32_t{byte} & 0x1F, 0x80};
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return Lead{3, char32_t{byte} & 0x0F, 0x800};
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return Lead{4, char32_t{byte} & 0x07, 0x10000};
    }
    // Continuation bytes, C0/C1 (always overlong) and F5..FF (always above U+10FFFF).
    return std::nullopt;
}

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void append_utf16(std::u16string& out, char32_t code_point) {
    if (code_point < 0x10000) {
        out.push_back(static_cast<char16_t>(code_point));
        return;
    }
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
}

void append_utf8(std::string& out, char32_t code_point) {
    if (code_point < 0x80) {
        out.push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

}  // namespace

std::optional<std::u16string> utf8_to_utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::optional<Lead> lead = classify(static_cast<unsigned char>(text[i]));
        if (!lead || text.size() - i < lead->length) {
            return std::nullopt;
        }
        char32_t code_point = lead->bits;
        for (std::size_t k = 1; k < lead->length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (!is_continuation(byte)) {
                return std::nullopt;
            }
            code_point = (code_point << 6) | (byte & 0x3F);
        }
        if (code_point < lead->smallest || code_point > 0x10FFFF ||
            (code_point >= 0xD800 && code_point <= 0xDFFF)) {
            return std::nullopt;
        }
        append_utf16(out, code_point);
        i += lead->length;
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            append_utf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) +
                                 (char32_t{text[i + 1]} - 0xDC00));
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            append_utf8(out, 0xFFFD);
        } else {
            append_utf8(out, unit);
        }
    }
    return out;
}

}  // namespace renpin
