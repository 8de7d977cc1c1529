// Line breaking on its own, with a measure that counts its work: a word that
// must be broken costs work in proportion to its length, not to its square.
#include "engine/text/ccTextWrap.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

// Five units a byte, and a count of the bytes measured.
struct CountingMeasure {
    std::size_t* measured;
    float operator()(const std::string& text) const {
        *measured += text.size();
        return 5.0f * static_cast<float>(text.size());
    }
};

} // namespace

TEST(TextWrapTest, BreakingAVeryLongWordMeasuresAboutItsLengthAFewTimes) {
    for (std::size_t length : {10000u, 200000u}) {
        const std::string word(length, 'x');
        std::size_t measured = 0;
        std::vector<std::string> lines = ccWrapText("a " + word + " b", 50, CountingMeasure{&measured});
        ASSERT_EQ(lines.size(), length / 10 + 2) << "'a', the word in lines of ten, 'b'";
        EXPECT_EQ(lines.front(), "a");
        std::string joined;
        for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
            EXPECT_EQ(lines[i].size(), 10u);
            joined += lines[i];
        }
        EXPECT_EQ(joined, word);
        EXPECT_EQ(lines.back(), "b");
        // Measuring the rest of the word at each line would be length^2 / 20 bytes.
        EXPECT_LT(measured, 12 * length) << "for a word of " << length;
    }
}

TEST(TextWrapTest, ManyShortWordsOnWideLinesStayLinear) {
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "ab ";
    std::size_t measured = 0;
    // 1000 words a line: measuring each growing line per word would be ~ 20000 * 1500 bytes.
    std::vector<std::string> lines = ccWrapText(text, 5.0f * 2999, CountingMeasure{&measured});
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0].size(), 2999u);
    EXPECT_LT(measured, 12 * text.size());
}

TEST(TextWrapTest, CutToCharactersStopsAtACharacterBoundary) {
    std::string text = "ab\xc3\xa9"
                       "cd"; // a, b, e-acute (two bytes), c, d
    EXPECT_TRUE(ccCutToCharacters(text, 3));
    EXPECT_EQ(text, "ab\xc3\xa9");
    EXPECT_FALSE(ccCutToCharacters(text, 3));
    EXPECT_FALSE(ccCutToCharacters(text, 10));
    EXPECT_EQ(text, "ab\xc3\xa9");
}
