// The wizard's logic behind its pages: the separator suggested by the text, the attribute
// targets proposed by name, the sample rows and the summary before a run.
#include "textimport/field_proposal.h"
#include "textimport/separator_detection.h"
#include "textimport/text_run_summary.h"
#include "textimport/text_sample.h"

#include <gtest/gtest.h>

namespace {

TEST(SeparatorDetection, MostColumnsInSomeLineEarlierOnTie) {
    struct TCase {
        std::vector<std::string_view> lines;
        std::optional<char> expected;
    };
    const TCase cases[] = {
        {{}, std::nullopt},
        {{"one column", "still one"}, std::nullopt},
        {{"a;b", "c,d"}, ';'},         // a tie: ";" before ","
        {{"a,b", "c\td"}, '\t'},       // the tab before both
        {{"a;b", "c,d,e"}, ','},       // some line gives "," more columns
        {{"a;b;c", "1,5;2,5;3"}, ';'}, // decimal commas give fewer columns
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.lines.empty() ? std::string("(none)") : std::string(c.lines.front()));
        EXPECT_EQ(DetectSeparator(c.lines), c.expected);
    }
}

TEST(SeparatorDetection, LeadingLinesOfAnyLineEnd) {
    EXPECT_EQ(LeadingLines("a\r\nb\nc\rd", 10),
              (std::vector<std::string_view>{"a", "b", "c", "d"}));
    EXPECT_EQ(LeadingLines("a\r\n\r\nb\r\n", 10), (std::vector<std::string_view>{"a", "", "b"}));
    EXPECT_EQ(LeadingLines("a\nb\nc\n", 2), (std::vector<std::string_view>{"a", "b"}));
    EXPECT_TRUE(LeadingLines("", 5).empty());
}

TEST(SeparatorDetection, FileOverridesOnlyAStoredSeparatorThatDoesNotSplitItsHeader) {
    struct TCase {
        const char* text;
        char stored;
        std::optional<char> expected;
    };
    const TCase cases[] = {
        {"X,Y,Name\r\n1,2,a\r\n", ';', ','},
        {"X,Y,Name\r\n1,2,a\r\n", ',', std::nullopt},
        {"X;Y;Name,Comment\r\n1;2;a,b\r\n", ';', std::nullopt}, // stored splits the header
        {"\r\n  \r\nX\tY\r\n1\t2\r\n", ';', '\t'},              // blank lines before the header
        {"XY\r\n12\r\n", ';', std::nullopt},                    // nothing to suggest
        {"", ';', std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FileSeparatorOverride(c.text, c.stored), c.expected);
    }
    // Only the first lines are read: a separator far below does not count.
    std::string text = "X Y\r\n";
    for (int i = 0; i < 30; ++i)
        text += "1 2\r\n";
    text += "a,b,c,d\r\n";
    EXPECT_EQ(FileSeparatorOverride(text, ';'), std::nullopt);
}

TEST(FieldProposal, SameNameLetterCaseIgnoredFirstTableFirstChosenKept) {
    const std::vector<TLayerTable> tables{
        {"T1", "Пункты", {{"NUMBER", 3}, {"Name", 10}}},
        {"T2", "Прочее", {{"name", 10}, {"HEIGHT", 5}}},
    };
    TImportFieldList fields;
    fields.Emplace("number");
    fields.Emplace("NAME");
    auto& chosen = fields.Emplace("height");
    chosen.TableID = TQmID::From("T9");
    chosen.FieldName = "OTHER";
    fields.Emplace("X");

    EXPECT_EQ(ProposeFieldTargets(fields, tables), 2);
    EXPECT_EQ(fields[0].TableID.Str(), "T1");
    EXPECT_EQ(fields[0].FieldName, "NUMBER");
    EXPECT_EQ(fields[0].FieldType, 3);
    EXPECT_EQ(fields[1].TableID.Str(), "T1"); // the first table with the name
    EXPECT_EQ(fields[1].FieldName, "Name");
    EXPECT_EQ(fields[2].TableID.Str(), "T9"); // a chosen target stays
    EXPECT_EQ(fields[2].FieldName, "OTHER");
    EXPECT_TRUE(fields[3].TableID.Empty());
    EXPECT_TRUE(fields[3].FieldName.empty());
    // Proposed once, nothing more to propose.
    EXPECT_EQ(ProposeFieldTargets(fields, tables), 0);
}

TEST(TextSample, FirstRowsWithTheRunsNumberRule) {
    TCSVData table;
    table.SetDelimiter(',');
    table.SetQuoteChar('"');
    AnsiString text = "X,Y,Name\r\n1.5,\"2,5\",a\r\n.,abc,b\r\n";
    for (int i = 0; i < 30; ++i)
        text += std::to_string(i) + ",0,c\r\n";
    table.Parse(text);

    const TTextSample sample(table);
    EXPECT_EQ(sample.RowCount(), 20);
    EXPECT_EQ(sample.ColCount(), 3);
    EXPECT_EQ(sample.Cell(0, 0).text, "X");
    EXPECT_FALSE(sample.Cell(0, 0).number);
    EXPECT_TRUE(sample.Cell(1, 0).number);
    EXPECT_TRUE(sample.Cell(1, 1).number); // a decimal comma inside quotes
    EXPECT_EQ(sample.Cell(1, 1).text, "2,5");
    EXPECT_TRUE(sample.Cell(2, 0).number); // a lone point reads as 0
    EXPECT_FALSE(sample.Cell(2, 1).number);
    EXPECT_EQ(sample.Cell(19, 0).text, "16");
    EXPECT_THROW((void)sample.Cell(20, 0), std::out_of_range);

    EXPECT_EQ(TTextSample(table, 2).RowCount(), 2);
    EXPECT_EQ(TTextSample(TCSVData()).RowCount(), 0);
}

TEST(TextRunSummary, RowsFromTheFirstDataRowStylesAttributesAndConversion) {
    auto table = std::make_shared<TCSVData>();
    table->SetDelimiter(';');
    table->Parse("X;Y;Kind;Name\r\n1;2;a\r\n3;4;b\r\nx;5;a\r\n");
    TTextImportInputs in;
    in.table = table;
    in.columnNames = {"X", "Y", "Kind", "Name"};
    in.xColumnName = "X";
    in.yColumnName = "Y";
    in.method = static_cast<int>(TTextImportMethod::RowsAsObjects);
    in.styles.emplace_back(Ansi("< все >"));
    in.styles[0].StyleID = TQmID::From("S1");
    in.fields.emplace_back("X");
    in.fields.emplace_back("Name");
    in.fields[1].TableID = TQmID::From("T1");
    in.fields[1].FieldName = "NAME";
    const TTextRunNames names{Ansi("Карта"), Ansi("Пункты"), {Ansi("Пикет")}};

    std::vector<AnsiString> lines = TextRunSummary(in, names);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], Ansi("К импорту: 3 строки таблицы (с 2 по 4)"));
    EXPECT_EQ(lines[1], Ansi("Метод: Импортировать как несколько объектов"));
    EXPECT_EQ(lines[2], Ansi("Координата X: столбец «X», Y: столбец «Y»"));
    EXPECT_EQ(lines[3], Ansi("Слой: «Пункты» карты «Карта»"));
    EXPECT_EQ(lines[4], Ansi("Стиль: «Пикет»"));
    EXPECT_EQ(lines[5], Ansi("Значения атрибутов: 1 столбец"));
    EXPECT_EQ(lines[6], Ansi("Преобразование координат: нет"));

    // By classifier: how many of its values have a style, and that the others are skipped.
    in.classifierColumn = 2;
    in.styles = {TImportStyle("a"), TImportStyle("b")};
    in.styles[0].StyleID = TQmID::From("S1");
    lines = TextRunSummary(in, names);
    EXPECT_EQ(lines[4], Ansi("Стиль: по значению столбца «Kind», задан для 1 из 2 значений"));
    EXPECT_EQ(lines[5], Ansi("Строки со значениями без стиля будут пропущены"));

    // Nothing chosen yet: named as missing, no rows counted past the table.
    TTextImportInputs empty;
    lines = TextRunSummary(empty, {});
    EXPECT_EQ(lines[0], Ansi("К импорту: 0 строк таблицы"));
    EXPECT_EQ(lines[2], Ansi("Координата X: столбец (не выбран), Y: столбец (не выбран)"));
    EXPECT_EQ(lines[3], Ansi("Слой: (не выбран)"));
}

} // namespace
