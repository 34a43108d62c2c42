// The run's readings of cells: numbers, integers, points and the first data row.
#include "textimport/text_import_run.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(RunParsingTest, ParseNumber) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        {"12,5", 12.5}, {"12.5", 12.5}, {" -3 ", -3.0},  {"+7", 7.0},      {".", 0.0},
        {"5.", 5.0},    {",25", 0.25},  {"1e3", 1000.0}, {"2,5E-1", 0.25}, {"-1.5e+2", -150.0},
        {"0", 0.0},     {"1 000", {}},  {"1.000,5", {}}, {"", {}},         {"   ", {}},
        {"abc", {}},    {"1e", {}},     {"e5", {}},      {"--1", {}},      {"1.5x", {}},
        {"inf", {}},    {"nan", {}},    {"1e999", {}},   {"0x10", {}},     {"\t1", {}},
        {"- 1", {}},    {"+", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = TTextImportRun::ParseNumber(c.text);
        ASSERT_EQ(value.has_value(), c.expected.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.expected);
        }
    }
    // Long digit runs still read; an absurdly long text does not.
    EXPECT_EQ(*TTextImportRun::ParseNumber(std::string(300, '0') + "1,5"), 1.5);
    EXPECT_FALSE(TTextImportRun::ParseNumber(std::string(600, '1')));
    // Exactly the nearest double, as a correctly rounded reading gives it.
    EXPECT_EQ(*TTextImportRun::ParseNumber("0,1"), 0.1);
    EXPECT_EQ(*TTextImportRun::ParseNumber("5432109,876"), 5432109.876);
}

TEST(RunParsingTest, ConvertCell) {
    struct Case {
        const char* text;
        int type;
        VARTYPE vt;
        double number; // integer or double value
    } cases[] = {
        {"42", 20, VT_I4, 42},
        {"  -42", 21, VT_I4, -42},
        {"$1F", 22, VT_I4, 31},
        {"0x10", 23, VT_I4, 16},
        {"x10", 20, VT_I4, 16},
        {"-$10", 20, VT_I4, -16},
        {"2147483647", 20, VT_I4, 2147483647.0},
        {"-2147483648", 20, VT_I4, -2147483648.0},
        {"2147483648", 20, VT_NULL, 0},
        {"abc", 20, VT_NULL, 0},
        {"42 ", 20, VT_NULL, 0},
        {"", 20, VT_NULL, 0},
        {"4.2", 20, VT_NULL, 0},
        {"$", 20, VT_NULL, 0},
        {"12,5", 30, VT_R8, 12.5},
        {"1e2", 32, VT_R8, 100},
        {"x", 31, VT_NULL, 0},
        {"", 30, VT_NULL, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " type " + std::to_string(c.type));
        const TVariant v = TTextImportRun::ConvertCell(c.text, c.type);
        ASSERT_EQ(v.Type(), c.vt);
        if (c.vt == VT_I4) {
            EXPECT_EQ(v.Raw().lVal, static_cast<std::int32_t>(c.number));
        } else if (c.vt == VT_R8) {
            EXPECT_DOUBLE_EQ(v.Raw().dblVal, c.number);
        }
    }
    // Every other type takes the text, also an empty one, as UTF-16.
    for (const int type : {0, 10, 11, 40, 99}) {
        const TVariant v = TTextImportRun::ConvertCell(Ansi("Пункт 1"), type);
        ASSERT_EQ(v.Type(), VT_BSTR);
        EXPECT_EQ(BstrView(v.Raw().bstrVal), u"Пункт 1");
    }
    const TVariant empty = TTextImportRun::ConvertCell("", 10);
    ASSERT_EQ(empty.Type(), VT_BSTR);
    EXPECT_EQ(BstrView(empty.Raw().bstrVal), u"");
}

TCSVData Table(const char* text) {
    TCSVData table;
    table.SetQuoteChar('"');
    table.SetDelimiter(';');
    table.Parse(text);
    return table;
}

TEST(RunParsingTest, FirstDataRowAndRowPoints) {
    const TCSVData captions = Table("N;X;Y\r\nname;x;y\r\n1;10,5;20\r\n2;11;\r\n");
    EXPECT_EQ(TTextImportRun::FirstDataRow(captions, 1), 2);
    EXPECT_EQ(TTextImportRun::FirstDataRow(captions, 2), 2);
    EXPECT_EQ(TTextImportRun::FirstDataRow(captions, 7), 0); // no such column
    const auto p = TTextImportRun::ReadRowPoint(captions, 2, 1, 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->X, 10.5);
    EXPECT_EQ(p->Y, 20.0);
    EXPECT_FALSE(TTextImportRun::ReadRowPoint(captions, 3, 1, 2)); // empty Y
    EXPECT_FALSE(TTextImportRun::ReadRowPoint(captions, 0, 1, 2)); // captions
    EXPECT_FALSE(TTextImportRun::ReadRowPoint(captions, 4, 1, 2)); // past the end
    EXPECT_FALSE(TTextImportRun::ReadRowPoint(captions, 2, -1, 2));
    EXPECT_FALSE(TTextImportRun::ReadRowPoint(captions, 2, 1, 3));

    EXPECT_EQ(TTextImportRun::FirstDataRow(Table("1;2\r\n"), 0), 0);
    EXPECT_EQ(TTextImportRun::FirstDataRow(Table("a;b\r\nc;d\r\n"), 0), 0);
    const TCSVData empty = Table("");
    EXPECT_EQ(TTextImportRun::FirstDataRow(empty, 0), 0);
    EXPECT_FALSE(TTextImportRun::ReadRowPoint(empty, 0, 0, 1));
}

} // namespace
