// The text import run against the host stand-in: what lands in the project file.
#include "textimport/text_import_run.h"
#include "textimport/wizard_settings.h"

#include "coords/coordinate_system_catalog.h"
#include "coords/fake_provider.h"
#include "coords/import_transformation.h"
#include "host/core/host_session.h"
#include "support/temp_dir.h"
#include "ui/scripted_interaction.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kavrohost;

namespace {

const char* kDescription = R"json({
  "maps": [{"id": "M1", "name": "Map", "layers": [
    {"id": "L1", "name": "Points",
     "styles": [{"id": "S1", "name": "Point"}, {"id": "S2", "name": "Mark"}],
     "tables": [
       {"id": "T1", "name": "POINTS", "caption": "Points", "mode": 0, "fields": [
         {"name": "NUM", "caption": "Number", "type": 20},
         {"name": "NAME", "caption": "Name", "type": 10},
         {"name": "H", "caption": "Height", "type": 30},
         {"name": "D", "caption": "Date", "type": 40}]},
       {"id": "T2", "name": "NOTES", "caption": "Notes", "mode": 0, "fields": [
         {"name": "NOTE", "caption": "Note", "type": 11}]}]}]}],
  "activeMap": "M1", "activeLayer": "L1"
})json";

class TextImportRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateProject(m_file, nlohmann::json::parse(kDescription));
        m_session = std::make_unique<THostSession>(m_file);
        m_table.SetQuoteChar('"');
        m_table.SetDelimiter(';');
        m_inputs.transformation = &m_transformation;
        m_inputs.progress = &m_progress;
        m_inputs.application = m_session->Application();
        m_inputs.mapID = "M1";
        m_inputs.layerID = "L1";
        m_inputs.xColumnName = "X";
        m_inputs.yColumnName = "Y";
    }

    // Parses the table and takes its first row as the column names, as the wizard does.
    void Table(const std::string& text) {
        m_table.Parse(text);
        m_inputs.columnNames.clear();
        m_fields.Clear();
        for (int c = 0; c < m_table.ColCount(); ++c) {
            m_inputs.columnNames.emplace_back(m_table.Cells(0, c));
            m_fields.Emplace(AnsiString(m_table.Cells(0, c)));
        }
    }
    void Style(const char* value, const char* styleID) {
        m_styles.Emplace(Ansi(value)).StyleID = TQmID::From(styleID);
    }
    void Map(const char* column, const char* table, const char* field, int type) {
        for (int i = 0; i < m_fields.Count(); ++i)
            if (m_fields[i].SourceName == column) {
                m_fields[i].TableID = TQmID::From(table);
                m_fields[i].FieldName = field;
                m_fields[i].FieldType = type;
            }
    }
    // The inputs as the wizard hands them over: its table, styles and mappings as they are now.
    TTextImportInputs Inputs() const {
        TTextImportInputs inputs = m_inputs;
        inputs.table = std::make_shared<const TCSVData>(m_table);
        inputs.styles = m_styles.Values();
        inputs.fields = m_fields.Values();
        return inputs;
    }
    int Run() {
        TTextImportRun run(Inputs());
        return run.Execute();
    }
    std::vector<TObjectRecord> Committed() const { return ReadObjects(m_file); }
    std::vector<AnsiString> Shown(TScriptedInteraction::TShown::Kind kind) const {
        std::vector<AnsiString> texts;
        for (const auto& s : m_ui.shown)
            if (s.kind == kind)
                texts.push_back(s.text);
        return texts;
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "p.kavro";
    std::unique_ptr<THostSession> m_session;
    TScriptedInteraction m_ui;
    TCSVData m_table;
    TImportStyleList m_styles;
    TImportFieldList m_fields;
    TImportTransformation m_transformation;
    TProgress m_progress;
    TTextImportInputs m_inputs;
};

// The object's value of the field; a record of type "missing" when it has none.
const TValueRecord* Value(const TObjectRecord& object, const char* field) {
    static TValueRecord missing;
    missing.type = "missing";
    for (const auto& v : object.values)
        if (v.field == field)
            return &v;
    return &missing;
}

std::vector<std::pair<double, double>> Vertices(const TPartRecord& part) {
    std::vector<std::pair<double, double>> out;
    for (const auto& v : part.vertices)
        out.emplace_back(v.x, v.y);
    return out;
}

using Points = std::vector<std::pair<double, double>>;

TEST_F(TextImportRunTest, RowsAsObjectsWithClassifierStylesAndAttributeTypes) {
    Table("N;X;Y;KIND;NAME;H\r\n"
          "1;10,5;20;a;first;1,5\r\n"
          "2;11;21;b;;x\r\n"
          "zz;12;22;a;third;7\r\n"
          "4;13;;a;no y;0\r\n"           // not a point: skipped
          "5;14;24;c;no style;0\r\n"     // "< не импортировать >": skipped
          "6;15;25;A;other case;0\r\n"); // "a" in another letter case: the same value
    Style("a", "S1");
    Style("b", "S2");
    Style("c", "");
    m_inputs.classifierColumn = 3;
    m_inputs.method = 2;
    Map("N", "T1", "NUM", 20);
    Map("NAME", "T1", "NAME", 10);
    Map("H", "T1", "H", 30);
    Map("KIND", "T2", "NOTE", 11);

    EXPECT_EQ(Run(), 4);
    // One message: the count, then every row not imported by reason with its line.
    EXPECT_EQ(Shown(TScriptedInteraction::TShown::Message),
              std::vector<AnsiString>{Ansi("Процесс завершен. Импортировано 4 объекта.\r\n"
                                           "Координата не является числом: 1 строка (5)\r\n"
                                           "Для значения классификатора не задан стиль: 1 "
                                           "строка (6)")});
    EXPECT_TRUE(Shown(TScriptedInteraction::TShown::Error).empty());
    EXPECT_EQ(m_session->CommitCount(), 1);

    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 4u);
    const char* styles[] = {"S1", "S2", "S1", "S1"};
    const Points points[] = {{{10.5, 20}}, {{11, 21}}, {{12, 22}}, {{15, 25}}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(objects[i].layerId, "L1");
        ASSERT_EQ(objects[i].shapes.size(), 1u);
        EXPECT_EQ(objects[i].shapes[0].styleId, styles[i]);
        ASSERT_EQ(objects[i].shapes[0].parts.size(), 1u);
        EXPECT_FALSE(objects[i].shapes[0].parts[0].closed);
        EXPECT_EQ(Vertices(objects[i].shapes[0].parts[0]), points[i]);
    }
    // Integer, double, text; an empty text stays text; a non-number becomes Null.
    EXPECT_EQ(Value(objects[0], "NUM")->type, "int");
    EXPECT_EQ(Value(objects[0], "NUM")->intValue, 1);
    EXPECT_EQ(Value(objects[0], "H")->type, "double");
    EXPECT_EQ(Value(objects[0], "H")->doubleValue, 1.5);
    EXPECT_EQ(Value(objects[0], "NAME")->type, "text");
    EXPECT_EQ(Value(objects[0], "NAME")->text, "first");
    EXPECT_EQ(Value(objects[0], "NOTE")->table, "NOTES");
    EXPECT_EQ(Value(objects[0], "NOTE")->text, "a");
    EXPECT_EQ(Value(objects[1], "NAME")->type, "text");
    EXPECT_EQ(Value(objects[1], "NAME")->text, "");
    EXPECT_EQ(Value(objects[1], "H")->type, "null");
    EXPECT_EQ(Value(objects[2], "NUM")->type, "null");
    EXPECT_EQ(objects[2].values.size(), 4u);

    // Every row from the first data row stepped the progress except the one without style.
    EXPECT_EQ(m_progress.Maximum(), 7);
    EXPECT_EQ(m_progress.Position(), 5);
}

// A bar wide enough that every row moves it, so that the run lets window messages through
// after each row.
struct TWideBar final : IProgressBar {
    int Width() const override { return 1000; }
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
    void Repaint() override {}
    void SetVisible(bool) override {}
};

TEST_F(TextImportRunTest, TheRunReadsItsInputsAsTheyWereWhenItStarted) {
    Table("N;X;Y;KIND\r\n1;1;1;a\r\n2;2;2;b\r\n3;3;3;a\r\n4;4;4;b\r\n");
    Style("a", "S1");
    m_inputs.classifierColumn = 3;
    m_inputs.method = 2;
    Map("N", "T1", "NUM", 20);
    TWideBar bar;
    m_progress.SetProgressBar(&bar);
    // While the run lets messages through after its first data row, the wizard's style list
    // grows and its table and attribute mappings change.
    int calls = 0;
    m_ui.onProcessMessages = [&] {
        if (++calls != 2) // 1: the start, 2: after the first data row
            return;
        Style("b", "S2");
        m_table.Parse("N;X;Y;KIND\r\n9;9;9;b\r\n");
        m_fields.Clear();
    };
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(calls, 3); // and after the third row, the second one imported
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 2u);
    const Points points[] = {{{1, 1}}, {{3, 3}}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(objects[i].shapes[0].styleId, "S1");
        EXPECT_EQ(Vertices(objects[i].shapes[0].parts[0]), points[i]);
        EXPECT_EQ(Value(objects[i], "NUM")->intValue, 2 * i + 1);
    }
}

TEST_F(TextImportRunTest, RowsAsObjectsWithoutCaptionsAndWithAffineChain) {
    Table(Ansi("1;100;200;Пункт\r\n2;101;201;Репер\r\n"));
    m_inputs.columnNames = {"n", "x", "y", "text"};
    m_fields.Clear();
    for (const auto& name : m_inputs.columnNames)
        m_fields.Emplace(name);
    Map("text", "T1", "NAME", 10);
    Style("< все >", "S2");
    m_inputs.method = 2;
    m_transformation.Chain().Add(std::make_unique<TTransformTranslationItem>(1000, -100));

    EXPECT_EQ(Run(), 2);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(Vertices(objects[0].shapes[0].parts[0]), (Points{{1100, 100}}));
    EXPECT_EQ(objects[1].shapes[0].styleId, "S2");
    // The text travels as UTF-16 and is stored as UTF-8.
    EXPECT_EQ(Value(objects[1], "NAME")->text, "Репер");
}

// Rows P1, P2, P3, P1, P4, P5, P6, P4, with a captions row and a row whose Y is missing.
const char* kRings = "N;X;Y\r\n"
                     "1;0;0\r\n"
                     "2;10;0\r\n"
                     "3;10;10\r\n"
                     "4;0;0\r\n"
                     "5;100;100\r\n"
                     "6;110;100\r\n"
                     "x;111;\r\n"
                     "7;110;110\r\n"
                     "8;100;100\r\n";

TEST_F(TextImportRunTest, RingsAsObjects) {
    Table(kRings);
    Style("< все >", "S1");
    Map("N", "T1", "NUM", 20);
    m_inputs.method = 0;

    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(m_session->CommitCount(), 1);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 2u);
    const Points rings[] = {{{0, 0}, {10, 0}, {10, 10}}, {{100, 100}, {110, 100}, {110, 110}}};
    const int lastWriters[] = {3, 7};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(objects[i].shapes.size(), 1u);
        EXPECT_EQ(objects[i].shapes[0].styleId, "S1");
        ASSERT_EQ(objects[i].shapes[0].parts.size(), 1u);
        EXPECT_TRUE(objects[i].shapes[0].parts[0].closed);
        EXPECT_EQ(Vertices(objects[i].shapes[0].parts[0]), rings[i]);
        // The values written last are those of the ring's last vertex row.
        ASSERT_EQ(objects[i].values.size(), 1u);
        EXPECT_EQ(objects[i].values[0].intValue, lastWriters[i]);
    }
    // The row without a Y is no point of a ring, and the report says so.
    EXPECT_EQ(Shown(TScriptedInteraction::TShown::Message),
              std::vector<AnsiString>{Ansi("Процесс завершен. Импортировано 2 объекта.\r\n"
                                           "Координата не является числом: 1 строка (8)")});
}

TEST_F(TextImportRunTest, RingsAsShapesOfOneObject) {
    Table(kRings);
    Style("< все >", "S2");
    Map("N", "T1", "NUM", 20);
    m_inputs.method = 1;

    EXPECT_EQ(Run(), 1);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 1u);
    ASSERT_EQ(objects[0].shapes.size(), 2u);
    EXPECT_EQ(Vertices(objects[0].shapes[0].parts[0]), (Points{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(Vertices(objects[0].shapes[1].parts[0]),
              (Points{{100, 100}, {110, 100}, {110, 110}}));
    EXPECT_TRUE(objects[0].shapes[1].parts[0].closed);
    EXPECT_EQ(objects[0].shapes[1].styleId, "S2");
    EXPECT_EQ(objects[0].values[0].intValue, 7);
}

TEST_F(TextImportRunTest, RingEdges) {
    struct Case {
        const char* name;
        const char* text;
        int method;
        int count;
        std::vector<Points> parts; // every part of every object, in order
    } cases[] = {
        {"closing point on the last row opens nothing",
         "X;Y\r\n0;0\r\n1;0\r\n0;0\r\n",
         0,
         1,
         {{{0, 0}, {1, 0}}}},
        {"closing point followed by no valid row",
         "X;Y\r\n0;0\r\n1;0\r\n0;0\r\n;\r\n",
         0,
         2,
         {{{0, 0}, {1, 0}}, {}}},
        {"same with shapes", "X;Y\r\n0;0\r\n1;0\r\n0;0\r\nq;1\r\n", 1, 1, {{{0, 0}, {1, 0}}, {}}},
        {"empty table, objects", "", 0, 1, {{}}},
        {"empty table, shapes", "", 1, 1, {{}}},
        {"no number at all", "X;Y\r\na;b\r\n", 0, 1, {{}}},
        // The first row's Y is missing: the ring starts at the first whole point.
        {"start at the first whole point",
         "X;Y\r\n5;\r\n0;0\r\n1;1\r\n0;0\r\n2;2\r\n",
         0,
         2,
         {{{0, 0}, {1, 1}}, {{2, 2}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_file);
        SetUp();
        m_styles.Clear();
        Style("< все >", "S1");
        Table(c.text);
        if (m_inputs.columnNames.empty())
            m_inputs.columnNames = {"X", "Y"};
        m_inputs.method = c.method;
        EXPECT_EQ(Run(), c.count);
        std::vector<Points> parts;
        for (const auto& o : Committed())
            for (const auto& s : o.shapes)
                for (const auto& p : s.parts)
                    parts.push_back(Vertices(p));
        EXPECT_EQ(parts, c.parts);
        m_session.reset();
    }
}

TEST_F(TextImportRunTest, RowsAsObjectsOnATableWithoutPointsReportsZero) {
    Table("X;Y\r\na;b\r\n");
    Style("< все >", "S1");
    m_inputs.method = 2;
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(Committed().empty());
    EXPECT_EQ(m_session->CommitCount(), 1);
}

TEST_F(TextImportRunTest, ParameterChecksRefuseBeforeAnythingIsCreated) {
    struct Case {
        const char* expected;
        std::function<void(TTextImportInputs&, TImportStyleList&)> change;
    } cases[] = {
        {"Не задано поле с X координатами", [](auto& in, auto&) { in.xColumnName.clear(); }},
        {"Не задано поле с Y координатами", [](auto& in, auto&) { in.yColumnName.clear(); }},
        {"Не задана карта", [](auto& in, auto&) { in.mapID.clear(); }},
        {"Не задан слой", [](auto& in, auto&) { in.layerID.clear(); }},
        {"Ошибка. Не задан стиль для импорта",
         [](auto&, auto& styles) { styles[0].StyleID = TQmID::From(""); }},
        // Methods 0 and 1 need style entry 0 even with a classifier column.
        {"Ошибка. Не задан стиль для импорта",
         [](auto& in, auto& styles) {
             in.method = 0;
             in.classifierColumn = 0;
             styles.Clear();
         }},
        {"Не найден столбец с X координатами: \"Z\"",
         [](auto& in, auto&) { in.xColumnName = "Z"; }},
        {"Не найден столбец с Y координатами: \"Q\"",
         [](auto& in, auto&) { in.yColumnName = "Q"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        m_styles.Clear();
        Style("< все >", "S1");
        Table("X;Y\r\n1;2\r\n");
        m_inputs.method = 2;
        m_inputs.classifierColumn = TTextImportInputs::kNoClassifier;
        m_inputs.xColumnName = "x"; // names match without regard to case
        m_inputs.yColumnName = "Y";
        m_inputs.mapID = "M1";
        m_inputs.layerID = "L1";
        c.change(m_inputs, m_styles);
        try {
            Run();
            ADD_FAILURE() << "no error";
        } catch (const EUserError& e) {
            EXPECT_EQ(e.Message(), Ansi(c.expected));
        }
        EXPECT_TRUE(m_session->Objects().empty());
        EXPECT_EQ(m_session->CommitCount(), 0);
    }
    EXPECT_TRUE(m_ui.shown.empty());
}

TEST_F(TextImportRunTest, ValuesTheHostRefusesAreCountedInOneReport) {
    // A thousand rows whose text column goes into a date field: the host refuses every value,
    // the objects stay with their other values, and one message says so.
    std::string text = "N;X;Y\r\n";
    for (int i = 1; i <= 1000; ++i)
        text += std::to_string(i) + ";" + std::to_string(i) + ";1\r\n";
    Table(text);
    Style("< все >", "S1");
    Map("N", "T1", "D", 40);
    m_fields.Emplace(AnsiString("N")).TableID = TQmID::From("T1");
    m_fields[3].FieldName = "NUM";
    m_fields[3].FieldType = 20;
    m_inputs.method = 2;

    EXPECT_EQ(Run(), 1000);
    EXPECT_TRUE(Shown(TScriptedInteraction::TShown::Error).empty());
    const auto messages = Shown(TScriptedInteraction::TShown::Message);
    ASSERT_EQ(messages.size(), 1u);
    const AnsiString expected = Ansi("Процесс завершен. Импортировано 1000 объектов.\r\n"
                                     "База данных не приняла значение атрибута: 1000 строк (2, 3, "
                                     "4, 5, 6, ...). ");
    EXPECT_EQ(messages[0].rfind(expected, 0), 0u) << AnsiToUtf8(messages[0]);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 1000u);
    EXPECT_EQ(Value(objects[999], "NUM")->intValue, 1000);
    EXPECT_EQ(Value(objects[999], "D")->type, "missing");
}

TEST_F(TextImportRunTest, AnObjectTheHostRefusesEndsTheRunOnceWithWhatWasSaved) {
    Table("N;X;Y\r\n1;1;1\r\n2;2;2\r\n3;3;3\r\n4;4;4\r\n");
    Style("< все >", "S1");
    Map("N", "T1", "NUM", 20);
    m_inputs.method = 2;
    m_session->FailOn("IKavroMapObjects.Add", 3, "Диск переполнен");
    try {
        Run();
        ADD_FAILURE() << "no error";
    } catch (const EImportStopped& e) {
        EXPECT_EQ(e.Message(), Ansi("Диск переполнен\r\nСохранено объектов: 2."));
    }
    EXPECT_TRUE(m_ui.shown.empty()) << "the wizard shows the error once";
    EXPECT_EQ(m_session->CommitCount(), 1);
    EXPECT_EQ(Committed().size(), 2u);
}

TEST_F(TextImportRunTest, APointThatDoesNotConvertIsNotWritten) {
    // The test provider's systems 100 m apart; it refuses points west of -1e6.
    Table("N;X;Y\r\n1;1;1\r\n2;-2000000;1\r\n3;3;3\r\n");
    Style("< все >", "S1");
    m_inputs.method = 2;
    TShiftConversion shift;
    m_inputs.transformation = &shift.transformation;

    EXPECT_EQ(Run(), 2);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(Vertices(objects[0].shapes[0].parts[0]), (Points{{101, 1}}));
    EXPECT_EQ(Vertices(objects[1].shapes[0].parts[0]), (Points{{103, 3}}));
    EXPECT_EQ(Shown(TScriptedInteraction::TShown::Message),
              std::vector<AnsiString>{Ansi("Процесс завершен. Импортировано 2 объекта.\r\n"
                                           "Координаты не удалось преобразовать в систему базы "
                                           "данных: 1 строка (3)")});
}

TEST_F(TextImportRunTest, ACancelStopsTheRunAndKeepsWhatWasMade) {
    Table("X;Y\r\n1;1\r\n2;2\r\n3;3\r\n4;4\r\n");
    Style("< все >", "S1");
    m_inputs.method = 2;
    TWideBar bar;
    m_progress.SetProgressBar(&bar);
    int calls = 0;
    // The stop button is pressed while the run lets messages through after its second row.
    m_ui.onProcessMessages = [&] {
        if (++calls == 3)
            m_progress.Cancel();
    };
    TTextImportRun run(Inputs());
    EXPECT_EQ(run.Execute(), 2);
    EXPECT_TRUE(run.Cancelled());
    EXPECT_EQ(Committed().size(), 2u);
    EXPECT_EQ(
        Shown(TScriptedInteraction::TShown::Message),
        std::vector<AnsiString>{Ansi("Импорт прерван пользователем.\r\nИмпортировано 2 объекта.")});
}

TEST_F(TextImportRunTest, HostFailureEndsARingRunAfterCommittingWhatItMade) {
    Table(kRings);
    Style("< все >", "S1");
    m_inputs.method = 0;
    // The fifth vertex is the second ring's second point (the closing point is not stored).
    m_session->FailOn("IKavroContourPart.AddVertex", 5, "Сбой записи");
    try {
        Run();
        ADD_FAILURE() << "no error";
    } catch (const EUserError& e) {
        EXPECT_NE(e.Message().find(Ansi("Сбой записи")), AnsiString::npos);
    }
    EXPECT_TRUE(Shown(TScriptedInteraction::TShown::Message).empty());
    EXPECT_EQ(m_session->CommitCount(), 1);
    m_session.reset(); // closing loses nothing: it was committed
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(Vertices(objects[0].shapes[0].parts[0]), (Points{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(Vertices(objects[1].shapes[0].parts[0]), (Points{{100, 100}}));
}

TEST_F(TextImportRunTest, FailingCommitFailsTheRun) {
    Table("X;Y\r\n1;1\r\n");
    Style("< все >", "S1");
    m_inputs.method = 2;
    m_session->FailOn("IKavroMapObjects.Commit", 1, "Нет места");
    try {
        Run();
        ADD_FAILURE() << "no error";
    } catch (const EUserError& e) {
        EXPECT_NE(e.Message().find(Ansi("Нет места")), AnsiString::npos);
    }
    EXPECT_TRUE(Shown(TScriptedInteraction::TShown::Message).empty());
}

TEST_F(TextImportRunTest, MappingOfARenamedColumnIsSkipped) {
    Table("N;X;Y\r\n1;1;1\r\n");
    Style("< все >", "S1");
    Map("N", "T1", "NUM", 20);
    m_fields.Emplace("gone").TableID = TQmID::From("T1");
    m_fields[3].FieldName = "NAME";
    m_inputs.method = 2;
    EXPECT_EQ(Run(), 1);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 1u);
    ASSERT_EQ(objects[0].values.size(), 1u);
    EXPECT_EQ(objects[0].values[0].field, "NUM");
}

// The wizard's stored choices: the defaults of an empty store, a round trip in the store's
// forms, the classifier's "no position", and a stored text that is no number.
TEST_F(TextImportRunTest, WizardChoicesReadTheirDefaultsAndWhatWasStored) {
    const TTextWizardSettings settings(*m_session->Application());
    EXPECT_EQ(settings.ImportType(), 1);
    EXPECT_EQ(settings.MapPosition(), 0);
    EXPECT_EQ(settings.YColumn(), 1);
    EXPECT_EQ(settings.Separator().Character(), ';');
    EXPECT_EQ(settings.StyleId(), "");

    TTextWizardChoices choices;
    choices.importType = 2;
    choices.mapPosition = 0;
    choices.layerPosition = 3;
    choices.classifierPosition = -1;
    choices.separator = {true, false, ","};
    choices.xColumn = 4;
    choices.yColumn = -1;
    choices.style = TTextWizardChoices::TStyle{"Point", "S1"};
    settings.Store(choices);
    EXPECT_EQ(
        THostSettings(*m_session->Application()).Read("TextImportModule.TabDivided.Checked", ""),
        "-1");
    EXPECT_EQ(settings.ImportType(), 2);
    EXPECT_EQ(settings.LayerPosition(), 3);
    EXPECT_EQ(settings.ClassifierPosition(), 0);
    EXPECT_TRUE(settings.Separator().tab);
    EXPECT_FALSE(settings.Separator().symbol);
    EXPECT_EQ(settings.Separator().Character(), '\t');
    EXPECT_EQ(settings.XColumn(), 4);
    EXPECT_EQ(settings.YColumn(), -1);
    EXPECT_EQ(settings.StyleId(), "S1");

    THostSettings(*m_session->Application()).Write("TextImportModule.ComboBoxMaps.Index", "1,5");
    try {
        (void)settings.MapPosition();
        FAIL() << "a text that is no number was read";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1,5' is not a valid integer value");
    }
}

} // namespace
