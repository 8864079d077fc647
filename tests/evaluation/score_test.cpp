#include <gtest/gtest.h>

#include <string>

#include "evaluation/score.h"

namespace {

struct ScoreCase {
    const char* why;
    std::u16string name;
    int score;
};

// A name made of `count` copies of one code unit, for steering the raw sum.
std::u16string repeated(char16_t unit, std::size_t count) {
    return std::u16string(count, unit);
}

TEST(ComputeScore, AnswersKnownNames) {
    const ScoreCase cases[] = {
        {"ASCII letters", u"Tom", 4},
        {"lower case differs from upper case", u"tom", 36},
        {"CJK below U+8000 has positive codes", u"张三", 29},
        {"CJK above U+8000 has negative codes and folds", u"赵", 22},
        {"a term of exactly 100 adds nothing", u"d", 0},
        {"a space counts 32", u" ", 32},
        {"leading and trailing spaces count", u" Tom ", 68},
        {"raw sum 99 stays 99", u"c", 99},
        {"raw sum 200 reduces to 0", u"cc\x02", 0},
        {"raw sum 198 reduces to 98", u"cc", 98},
        // U+FF9D has code -99; sums of -99 terms steer the negative side.
        {"raw sum -99 folds to 98", u"\xFF9D", 98},
        {"raw sum -21 folds to 20", u"\xFFEB", 20},
        {"raw sum -20 stays -20", u"\xFFEC", -20},
        {"raw sum -1 stays -1", u"\xFFFF", -1},
        {"raw sum -120 reduces to -20", u"\xFF9D\xFFEB", -20},
        {"raw sum -121 reduces to -21 and folds to 20", u"\xFF9D\xFFEA", 20},
        {"raw sum -50 folds to 49", u"\xFFCE", 49},
        {"raw sum -22 folds to 21, not 22", u"\xFFEA", 21},
        {"the code 0x8000 is -32768, term -68, folded to 67", u"\x8000", 67},
        {"a NUL code unit counts 0", std::u16string(u"Tom\0", 4), 4},
    };
    for (const ScoreCase& c : cases) {
        EXPECT_EQ(renpin::compute_score(c.name), c.score) << c.why;
    }
}

TEST(ComputeScore, CountsEachSurrogateOfAnAstralCharacter) {
    // U+1F600 is D83D DE00: codes -10179 and -8704, terms -79 and -4, raw sum -83, folded 82.
    EXPECT_EQ(renpin::compute_score(u"\U0001F600"), 82);
    EXPECT_EQ(renpin::compute_score(u"\U0001F600"), renpin::compute_score(u"\xD83D\xDE00"));
    // A lone surrogate is scored like any other code unit.
    EXPECT_EQ(renpin::compute_score(u"\xD83D"), 78);
}

TEST(ComputeScore, IsAPureFunctionOfTheName) {
    const std::u16string name = u"k-vem";
    const auto first = renpin::compute_score(name);
    EXPECT_EQ(renpin::compute_score(name), first);
    EXPECT_NE(renpin::compute_score(u"K-Vem"), renpin::compute_score(u"K-VEm"));
}

TEST(ComputeScore, AnswersNamesWhoseSumLeaves16Bits) {
    // 'c' has term 99: 330 of them sum to 32670, still 16-bit; 331 sum to 32769, beyond it.
    EXPECT_EQ(renpin::compute_score(repeated(u'c', 330)), 70);
    EXPECT_EQ(renpin::compute_score(repeated(u'c', 331)), 69);
    EXPECT_EQ(renpin::compute_score(repeated(u'c', 1'000'000)), 0);
    EXPECT_EQ(renpin::compute_score(repeated(u'c', 1'000'001)), 99);
    // U+FF9D has term -99: 331 of them sum to -32769; -69 folds to 68.
    EXPECT_EQ(renpin::compute_score(repeated(u'\xFF9D', 331)), 68);
    EXPECT_EQ(renpin::compute_score(repeated(u'\xFF9D', 1'000'001)), 98);
}

TEST(ComputeScore, AlwaysLiesBetweenMinus20And99) {
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        const auto score = renpin::compute_score(std::u16string(3, static_cast<char16_t>(unit)));
        ASSERT_GE(score, -20) << unit;
        ASSERT_LE(score, 99) << unit;
    }
}

}  // namespace
