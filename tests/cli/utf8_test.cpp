#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "cli/utf8.h"

namespace {

struct Pair {
    const char* why;
    std::string_view utf8;
    std::u16string_view utf16;
};

// Both sides written independently: the bytes by hand, the code units by the compiler.
const Pair valid[] = {
    {"empty", "", u""},
    {"ASCII", "Tom", u"Tom"},
    {"NUL is a character", std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3)},
    {"highest 1-byte", "\x7F", u"\u007F"},
    {"lowest 2-byte", "\xC2\x80", u"\u0080"},
    {"highest 2-byte", "\xDF\xBF", u"\u07FF"},
    {"lowest 3-byte", "\xE0\xA0\x80", u"\u0800"},
    {"CJK", "\xE5\xBC\xA0\xE4\xB8\x89", u"张三"},
    {"just below the surrogates", "\xED\x9F\xBF", u"\uD7FF"},
    {"just above the surrogates", "\xEE\x80\x80", u"\uE000"},
    {"highest 3-byte", "\xEF\xBF\xBF", u"\uFFFF"},
    {"lowest 4-byte", "\xF0\x90\x80\x80", u"\U00010000"},
    {"emoji", "\xF0\x9F\x98\x80", u"\U0001F600"},
    {"highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {"mixed lengths", "a\xC3\xA9\xE4\xB8\x89\xF0\x9F\x98\x80z", u"a\u00E9三\U0001F600z"},
};

TEST(Utf8ToUtf16, DecodesValidSequences) {
    for (const Pair& c : valid) {
        EXPECT_EQ(renpin::utf8_to_utf16(c.utf8), std::u16string(c.utf16)) << c.why;
    }
}

TEST(Utf16ToUtf8, EncodesValidText) {
    for (const Pair& c : valid) {
        EXPECT_EQ(renpin::utf16_to_utf8(c.utf16), c.utf8) << c.why;
    }
}

TEST(Utf8ToUtf16, RejectsInvalidSequences) {
    const std::pair<const char*, std::string_view> cases[] = {
        {"overlong NUL", "\xC0\x80"},
        {"overlong 2-byte", "\xC1\xBF"},
        {"overlong 3-byte", "\xE0\x80\xAF"},
        {"overlong 3-byte at its top", "\xE0\x9F\xBF"},
        {"overlong 4-byte", "\xF0\x80\x80\xAF"},
        {"overlong 4-byte at its top", "\xF0\x8F\xBF\xBF"},
        {"high surrogate", "\xED\xA0\x80"},
        {"low surrogate", "\xED\xBF\xBF"},
        {"surrogate pair encoded separately", "\xED\xA0\xBD\xED\xB8\x80"},
        {"just above U+10FFFF", "\xF4\x90\x80\x80"},
        {"lead byte F5", "\xF5\x80\x80\x80"},
        {"lead byte FF", "\xFF"},
        {"truncated 2-byte", "\xC3"},
        {"truncated 3-byte", "\xE5\xBC"},
        {"truncated 4-byte", "\xF0\x9F\x98"},
        {"truncated before ASCII", "\xE5\xBCx"},
        {"truncated at the end of a name", "Tom\xE5"},
        {"stray continuation byte", "\x80"},
        {"stray continuation between letters",
         "a\xBF"
         "b"},
        {"one continuation byte too many", "\xC3\xA9\xA9"},
    };
    for (const auto& [why, bytes] : cases) {
        EXPECT_EQ(renpin::utf8_to_utf16(bytes), std::nullopt) << why;
    }
}

TEST(Utf16ToUtf8, ReplacesLoneSurrogates) {
    const Pair cases[] = {
        {"lone high at the end", "a\xEF\xBF\xBD", u"a\xD83D"},
        {"lone low",
         "\xEF\xBF\xBD"
         "a",
         u"\xDE00"
         "a"},
        {"high before a non-surrogate",
         "\xEF\xBF\xBD"
         "a",
         u"\xD83D"
         "a"},
        {"low before high", "\xEF\xBF\xBD\xEF\xBF\xBD", u"\xDE00\xD83D"},
        {"two highs, then a low", "\xEF\xBF\xBD\xF0\x9F\x98\x80", u"\xD83D\xD83D\xDE00"},
    };
    for (const Pair& c : cases) {
        EXPECT_EQ(renpin::utf16_to_utf8(c.utf16), c.utf8) << c.why;
    }
}

TEST(Utf8, RoundTripsEveryCodePoint) {
    for (char32_t code_point = 0; code_point <= 0x10FFFF; ++code_point) {
        if (code_point >= 0xD800 && code_point <= 0xDFFF) {
            continue;
        }
        std::u16string text;
        if (code_point < 0x10000) {
            text.push_back(static_cast<char16_t>(code_point));
        } else {
            text.push_back(static_cast<char16_t>(0xD800 + ((code_point - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
        }
        // Overlong forms are rejected, so a round trip also pins each encoding's length.
        const std::string bytes = renpin::utf16_to_utf8(text);
        ASSERT_EQ(renpin::utf8_to_utf16(bytes), text)
            << std::hex << static_cast<unsigned>(code_point);
    }
}

}  // namespace
