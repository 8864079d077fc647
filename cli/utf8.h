#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace renpin {

// Decodes strict UTF-8: overlong forms, encoded surrogates, code points above U+10FFFF,
// truncated sequences and stray continuation bytes all make the whole text invalid.
std::optional<std::u16string> utf8_to_utf16(std::string_view text);

// Encodes UTF-16 as UTF-8; a lone surrogate cannot be encoded and becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);

}  // namespace renpin
