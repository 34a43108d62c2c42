#include "platform/codepage.h"

#include <gtest/gtest.h>

TEST(CodePage, Windows1251RoundTrip) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(WideToAnsi(AnsiToWide(one)), one);
    }
}

TEST(CodePage, KnownCharacters) {
    struct Case {
        unsigned char ansi;
        char16_t wide;
    } cases[] = {{0xC0, u'А'}, {0xFF, u'я'}, {0xA8, u'Ё'}, {0xB8, u'ё'},
                 {0xB9, u'№'}, {0x88, u'€'}, {0x96, u'–'}, {0xCF, u'П'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ansi);
        EXPECT_EQ(AnsiCharToWide(c.ansi), c.wide);
    }
    EXPECT_EQ(OemCharToWide(0x8F), u'П');
    EXPECT_EQ(OemCharToWide(0xF0), u'Ё');
    EXPECT_EQ(OemToAnsi("\x8F\xE0\xA8"), "\xCF\xF0\xE8"); // При
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeTheReplacement) {
    EXPECT_EQ(WideToAnsi(u"a\u4E2Db"), "a?b");
    EXPECT_EQ(Ansi("Импорт"), "\xC8\xEC\xEF\xEE\xF0\xF2");
    EXPECT_EQ(AnsiToUtf8(Ansi("Слой №1")), "Слой №1");
}

TEST(CodePage, Utf8Decoding) {
    EXPECT_EQ(Utf8ToWide("\xD0\x9F"), u"П");
    EXPECT_EQ(Utf8ToWide("\xD0"), u"\uFFFD");
    EXPECT_EQ(Utf8ToWide("a\xC3\x41"), u"a\uFFFDA");
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}
