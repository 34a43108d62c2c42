// The number forms and text rules that the readers and runs share, one table per rule.
#include "text/number_text.h"
#include "text/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(NumberTextTest, DecimalForms) {
    constexpr double kNo = std::numeric_limits<double>::quiet_NaN(); // not a number
    struct Case {
        const char* text;
        double invariant;  // point files
        double pointComma; // SDR fields, coordinate-system texts
        double tableCell;  // text import cells
    } cases[] = {
        {"12.25", 12.25, 12.25, 12.25},
        {"  -2.5E-1  ", -0.25, -0.25, -0.25},
        {"+1e3", 1000, 1000, 1000},
        {".5", 0.5, 0.5, 0.5},
        {"5.", 5, 5, 5},
        {"12,5", kNo, 12.5, 12.5},
        {"-0,5e1", kNo, -5, -5},
        {".", kNo, kNo, 0},
        {"-.e5", kNo, kNo, 0},
        {",", kNo, kNo, 0},
        {"1.2.3", kNo, kNo, kNo},
        {"1,2.3", kNo, kNo, kNo},
        {"1 000", kNo, kNo, kNo},
        {"1.000,5", kNo, kNo, kNo},
        {"1,234.5", kNo, kNo, kNo},
        {"- 5", kNo, kNo, kNo},
        {"+-5", kNo, kNo, kNo},
        {"\t5\r", kNo, 5, kNo}, // other blanks than the space: the point-or-comma form only
        {"1e", kNo, kNo, kNo},
        {"e5", kNo, kNo, kNo},
        {"", kNo, kNo, kNo},
        {"   ", kNo, kNo, kNo},
        {"+", kNo, kNo, kNo},
        {"inf", kNo, kNo, kNo},
        {"nan", kNo, kNo, kNo},
        {"0x1A", kNo, kNo, kNo},
        {"1e400", kNo, kNo, kNo},
        {"1.5;2", kNo, kNo, kNo},
    };
    const auto check = [](const char* text, TDecimalForm form, double expected) {
        const std::optional<double> value = ReadDecimal(text, form);
        if (std::isnan(expected)) {
            EXPECT_FALSE(value) << *value;
            return;
        }
        ASSERT_TRUE(value);
        EXPECT_EQ(*value, expected); // exact: each text is the shortest form of its value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        check(c.text, kInvariantForm, c.invariant);
        check(c.text, kPointOrCommaForm, c.pointComma);
        check(c.text, kTableCellForm, c.tableCell);
    }
    // A long text is read whole, with a comma too.
    const std::string longText = std::string(600, '0') + "1,5";
    EXPECT_EQ(ReadDecimal(longText, kTableCellForm), 1.5);
}

TEST(NumberTextTest, ConversionErrorNamesTheText) {
    EXPECT_EQ(ReadDecimalOrRaise(" 7 "), 7);
    try {
        (void)ReadDecimalOrRaise("1,5");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1,5' is not a valid floating point value");
    }
}

TEST(NumberTextTest, RuntimeIntegerForm) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"42", 42},
        {"  -17", -17},
        {"+0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$1A", 26},
        {"x1a", 26},
        {"X10", 16},
        {"0x7fffffff", 2147483647},
        {"0XFFFFFFFF", -1}, // all 32 bits
        {"-$10", -16},
        {"$100000000", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"$G", std::nullopt},
        {"12 ", std::nullopt}, // nothing may follow
        {"1.0", std::nullopt},
        {"- 1", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadRuntimeInteger(c.text), c.value);
    }
}

TEST(NumberTextTest, Formatting) {
    EXPECT_EQ(FormatFixed(1.5, 2, ','), "1,50");
    EXPECT_EQ(FormatFixed(-0.004, 2, '.'), "-0.00");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, 15, '.'), "0.3");
    EXPECT_EQ(FormatGeneral(1e20, 15, ','), "1e+20");
    EXPECT_EQ(FormatGeneral(2.5L, 18, ','), "2,5");
}

TEST(TextRulesTest, TrimLetterCaseAndExtension) {
    EXPECT_EQ(TrimControls(std::string("\0\t a b \r\n\x1f", 9)), "a b");
    EXPECT_EQ(TrimControls(" \x01 "), "");
    EXPECT_EQ(TrimControls("\xA0x\xA0"), "\xA0x\xA0") << "a no-break space (160) is not trimmed";

    const struct {
        const char* a;
        const char* b;
        bool same;
    } texts[] = {
        {"Id", "ID", true},
        {"simid", "SIMID", true},
        {"\xEF\xF0\xE8\xEC\xE5\xF0", "\xCF\xD0\xC8\xCC\xC5\xD0", true}, // пример / ПРИМЕР
        {"\xB8", "\xA8", true},                                         // ё / Ё
        {"ID", "IDS", false},
        {"a", "b", false},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(t.a);
        EXPECT_EQ(AnsiSameText(t.a, t.b), t.same);
    }

    const struct {
        const char* name;
        const char* extension;
    } files[] = {
        {"/data/points.pts", ".PTS"},
        {"/data/points.Pts", ".PTS"},
        {"/data/survey.tar.sdr", ".SDR"},
        {"/data.v2/points", ""},
        {"points.", "."},
        {".pts", ".PTS"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(UpperFileExtension(f.name), f.extension);
    }
}

} // namespace
