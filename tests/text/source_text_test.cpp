#include "text/separator.h"
#include "text/source_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SeparatorTest, TrimExceptSeparator) {
    EXPECT_EQ(TrimExceptSeparator(" \t a b \r\n", ","), "a b");
    EXPECT_EQ(TrimExceptSeparator("a\t", "\t"), "a\t");
    EXPECT_EQ(TrimExceptSeparator("\t a \t", "\t"), "\t a \t");
    // A longer separator protects nothing.
    EXPECT_EQ(TrimExceptSeparator("\ta\t", "\t\t"), "a");
    EXPECT_EQ(TrimExceptSeparator(std::string("\0x\x01", 3), ";"), "x");
    EXPECT_EQ(TrimExceptSeparator("   ", ";"), "");
}

TEST(SeparatorTest, SplitAtSeparator) {
    struct Case {
        const char* text;
        const char* separator;
        const char* head;
        const char* tail;
    } cases[] = {
        {" 101 ,12.25,45.5", ",", "101", "12.25,45.5"},
        {"101", ",", "101", ""},
        {" a ; ", ";", "a", ""},
        {"a::b", "::", "a", "b"},
        {"a\tb\t", "\t", "a", "b\t"},
        {"a,b", "", "a,b", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        AnsiString head = "stale", tail = "stale";
        SplitAtSeparator(c.text, c.separator, head, tail);
        EXPECT_EQ(head, c.head);
        EXPECT_EQ(tail, c.tail);
        std::string_view headView, tailView;
        SplitAtSeparator(c.text, c.separator, headView, tailView);
        EXPECT_EQ(headView, c.head);
        EXPECT_EQ(tailView, c.tail);
    }
}

TEST(SeparatorTest, SplitAtSeparatorIntoItsOwnInput) {
    // The reader's pattern: each split takes the rest of the line from the previous tail.
    AnsiString head, tail = " 101 ,12.25,45.5 , a,b ";
    const char* const expected[] = {"101", "12.25", "45.5"};
    for (const char* field : expected) {
        SplitAtSeparator(tail, ",", head, tail);
        EXPECT_EQ(head, field);
    }
    EXPECT_EQ(tail, "a,b");
    // The head may be the input too.
    head = "x;y";
    SplitAtSeparator(head, ";", head, tail);
    EXPECT_EQ(head, "x");
    EXPECT_EQ(tail, "y");
}

TEST(SourceTextTest, ConvertsByChoice) {
    struct Case {
        const char* name;
        std::string text;
        int choice;
        std::string expected;
    } cases[] = {
        {"1251 as is", "\xCF\xF0\xE8\r\n", kSourceWindows1251, "\xCF\xF0\xE8\r\n"},
        {"utf8 two bytes", "\xD0\x9F", kSourceUtf8, "\xCF"},
        {"utf8 three bytes", "\xE2\x84\x96 1", kSourceUtf8, "\xB9 1"},
        {"utf8 mark kept as a character",
         "\xEF\xBB\xBF"
         "A",
         kSourceUtf8, "?A"},
        // A continuation byte in lead position is read as a lead by this rule.
        {"utf8 stray continuation", "\x90\x9F", kSourceUtf8, "\xCF"},
        {"oem 866", "\x8F\xE0\xA8\xC4", kSourceOem866, "\xCF\xF0\xE8?"},
        {"unknown choice", "\xFF", 7, "\xFF"},
        {"empty", "", kSourceUtf8, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ConvertSourceText(c.text, c.choice), c.expected);
    }
}

TEST(SourceTextTest, MalformedUtf8NamesItsLineAndLosesNothingSilently) {
    const struct {
        const char* name;
        std::string text;
        std::int64_t line;
    } cases[] = {
        {"lone lead at the end", "ab\xD0", 1},
        {"bad continuation",
         "\xD0"
         "A",
         1},
        {"a Windows-1251 word in the third line", "a;b\r\nc;d\r\n\xCF\xF0\xE8;e\r\n", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            (void)ConvertSourceText(c.text, kSourceUtf8);
            ADD_FAILURE() << "decoded";
        } catch (const ESourceDecodeError& e) {
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_EQ(e.Message(), Ansi("Строка ") + std::to_string(c.line) +
                                       Ansi(" не читается в кодировке UTF-8"));
        }
    }
    // Characters that Windows-1251 lacks are counted as they become "?".
    std::int64_t replaced = 0;
    EXPECT_EQ(ConvertSourceText("\xC4\x81-\xD0\x9F", kSourceUtf8, &replaced), "?-\xCF");
    EXPECT_EQ(replaced, 1);
}

} // namespace
