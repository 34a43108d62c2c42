#include "text/csv_data.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Table = std::vector<std::vector<AnsiString>>;

Table Cells(const TCSVData& data) {
    Table table;
    for (int r = 0; r < data.RowCount(); ++r) {
        auto& row = table.emplace_back();
        for (int c = 0; c < data.ColCount(); ++c)
            row.emplace_back(data.Cells(r, c));
    }
    return table;
}

TEST(CSVDataTest, ParsesTheTableOfCases) {
    struct Case {
        const char* name;
        std::string text;
        Table expected;
    } cases[] = {
        {"empty", "", {}},
        {"padded last cell", "a;b\r\nx\r\n", {{"a", "b"}, {"x", ""}}},
        {"last line without CR LF", "a;b\r\nx", {{"a", "b"}}},
        {"lone LF dropped", "a\nb\r\n", {{"ab"}}},
        {"lone CR dropped", "a\rb\r\n", {{"ab"}}},
        {"quoted delimiter", "\"x;y\";z\r\n", {{"x;y", "z"}}},
        {"doubled quote", "\"a\"\"b\"\r\n", {{"a\"b"}}},
        {"empty quoted cell", "\"\";z\r\n", {{"", "z"}}},
        {"line break inside quotes", "\"a\r\nb\";z\r\n", {{"a\r\nb", "z"}}},
        {"quote inside a cell", "ab\"c;d\"e\r\n", {{"abc;de"}}},
        {"empty lines padded",
         "a;b;z\r\n\r\nd\r\n",
         {{"a", "b", "z"}, {"", "", ""}, {"d", "", ""}}},
        {"blanks kept", "a ; b\r\n", {{"a ", " b"}}},
        {"unbalanced quote", "a;b\r\n\"c;d\r\ne\r\n", {{"a", "b"}}},
        {"trailing delimiter", "a;\r\n", {{"a", ""}}},
        {"CR CR LF", "a\r\r\n", {{"a"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TCSVData data;
        data.SetQuoteChar('"');
        data.SetDelimiter(';');
        data.Parse(c.text);
        EXPECT_EQ(Cells(data), c.expected);
        EXPECT_EQ(data.RowCount(), static_cast<int>(c.expected.size()));
        EXPECT_EQ(data.ColCount(), c.expected.empty() ? 0 : static_cast<int>(c.expected[0].size()));
    }
}

TEST(CSVDataTest, DelimiterEqualToQuoteNeverSplits) {
    TCSVData data;
    data.SetQuoteChar('"');
    data.SetDelimiter('"');
    data.Parse("a\"b\"c\r\n");
    EXPECT_EQ(Cells(data), (Table{{"abc"}}));
}

TEST(CSVDataTest, ReparseAfterDelimiterChange) {
    TCSVData data;
    EXPECT_EQ(data.Delimiter(), '\0');
    EXPECT_EQ(data.QuoteChar(), '\0');
    data.SetQuoteChar('"');
    data.SetDelimiter(';');
    data.Parse("a;b\tc\r\nd\te;f\r\n");
    EXPECT_EQ(Cells(data), (Table{{"a", "b\tc"}, {"d\te", "f"}}));
    data.SetDelimiter('\t');
    data.Reparse();
    EXPECT_EQ(Cells(data), (Table{{"a;b", "c"}, {"d", "e;f"}}));
    EXPECT_EQ(data.Text(), "a;b\tc\r\nd\te;f\r\n");
    // A copy keeps the table it was made from, whatever happens to the original.
    const TCSVData copy = data;
    data.SetDelimiter(';');
    data.Reparse();
    EXPECT_EQ(Cells(copy), (Table{{"a;b", "c"}, {"d", "e;f"}}));
    data.Clear();
    EXPECT_EQ(data.RowCount(), 0);
    EXPECT_EQ(data.Text(), "");
    EXPECT_EQ(copy.RowCount(), 2);
    EXPECT_EQ(copy.Text(), "a;b\tc\r\nd\te;f\r\n");
}

// The table splits a row when it is read; views handed out for other rows, plain and decoded
// ones alike, stay what they were while the rows are read out of order.
TEST(CSVDataTest, ViewsStayValidWhileOtherRowsAreRead) {
    TCSVData data;
    data.SetQuoteChar('"');
    data.SetDelimiter(';');
    data.Parse("a;\"b\"\"1\"\r\nc\r\n\"d;e\";f\"\"\"\"g\r\n");
    std::vector<std::string_view> views;
    for (int c = 0; c < data.ColCount(); ++c)
        for (int r = data.RowCount() - 1; r >= 0; --r)
            views.push_back(data.Cells(r, c));
    const std::vector<std::string_view> expected = {"d;e", "c", "a", "f\"g", "", "b\"1"};
    EXPECT_EQ(views, expected);
}

TEST(CSVDataTest, CellOutsideTheTableThrows) {
    TCSVData data;
    data.SetDelimiter(';');
    data.Parse("a;b\r\n");
    EXPECT_THROW(data.Cells(0, 2), std::out_of_range);
    EXPECT_THROW(data.Cells(1, 0), std::out_of_range);
    EXPECT_THROW(data.Cells(0, -1), std::out_of_range);
}

} // namespace
