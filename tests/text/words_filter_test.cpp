// The word filter of lists and trees.
#include "text/words_filter.h"

#include <gtest/gtest.h>

namespace {

TEST(WordsFilter, EveryWordMustBeginAWordOfTheText) {
    struct Case {
        const char* filter;
        const char* text;
        bool matches;
    } cases[] = {
        {"ab", "Slab", false},  // only inside a word
        {"ab", "Lab-ab", true}, // the second occurrence follows a hyphen
        {"ab", "x abc", true},
        {"AB", "abc", true}, // case does not matter
        {"ab cd", "abc cde", true},
        {"ab cd", "abc", false}, // both words are needed
        {"пулк", "Pulkovo / Пулково 1942", true},
        {"ПУЛК", "пулково", true},
        {"ково", "Пулково", false},
        {"1942", "Pulkovo 1942 / Gauss-Kruger zone 7", true},
        {"", "anything", true},
        {" \t ", "anything", true},
        {"zone", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + " | " + c.text);
        TWordsFilter filter;
        filter.SetText(Ansi(c.filter));
        EXPECT_EQ(filter.Matches(Ansi(c.text)), c.matches);
    }
}

TEST(WordsFilter, KeepsTheTrimmedTextAndItsWordsInCapitals) {
    TWordsFilter filter;
    filter.SetText(Ansi("  гск  wgs\t84 "));
    EXPECT_EQ(filter.Text(), Ansi("гск  wgs\t84"));
    EXPECT_EQ(filter.Words(), (std::vector<AnsiString>{Ansi("ГСК"), "WGS", "84"}));
    filter.SetText("");
    EXPECT_TRUE(filter.Words().empty());
}

} // namespace
