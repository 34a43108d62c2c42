// The PTS import run against the host stand-in: objects, values, commits, the view and errors.
#include "coords/import_transformation.h"
#include "platform/locale.h"
#include "pts/pts_import_run.h"
#include "support/point_project.h"
#include "ui/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace PtsImportForms;

namespace {

std::string PtsLines(int count, int badLine = 0) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        if (i == badLine)
            text += std::to_string(i) + ",bad,1\r\n";
        else
            text += std::to_string(i) + "," + std::to_string(1000 + i) + "," +
                    std::to_string(2000 + i) + ",c" + std::to_string(i) + "\r\n";
    }
    return text;
}

struct PtsRun : ::testing::Test {
    TPointProject project;
    TImportTransformation transformation;
    TScriptedInteraction ui;

    TPtsImportSettings Settings(const std::filesystem::path& file) {
        TPtsImportSettings s;
        s.application = TComPtr<IKavroApplication>(project.session->Application());
        s.database = TComPtr<IKavroDb>(project.session->Database());
        s.transformation = &transformation;
        s.fileName = file;
        s.layerId = "L1";
        s.styleId = "S1";
        s.tableId = "T1";
        s.numberField = "NUM";
        s.commentField = "NOTE";
        return s;
    }
    std::vector<kavrohost::TObjectRecord> Committed() const {
        return kavrohost::ReadObjects(project.file);
    }
};

// Records the commit count at the moment the success message is shown.
struct TCommitAtMessage final : TUserInteraction {
    kavrohost::THostSession* session;
    TUserInteraction* previous;
    std::vector<std::pair<AnsiString, int>> messages;
    explicit TCommitAtMessage(kavrohost::THostSession* s)
        : session(s), previous(SetUserInteraction(this)) {}
    ~TCommitAtMessage() override { SetUserInteraction(previous); }
    void ShowMessage(const AnsiString& text) override {
        messages.push_back({text, session->CommitCount()});
    }
    void ShowError(const AnsiString&) override {}
    bool Confirm(const AnsiString&, const AnsiString&, TConfirmKind) override { return false; }
    std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions&) override { return {}; }
    std::optional<int> PickFromList(const TPickListRequest&) override { return std::nullopt; }
    void ProcessMessages() override {}
};

TEST_F(PtsRun, TwoHundredFiftyPointsCommitInHundredsAndAtTheEnd) {
    const auto file = project.Write("p.pts", PtsLines(250));
    TCommitAtMessage messages(project.session.get());
    RunPtsImport(Settings(file));

    // 100, 200 and the remaining 50, committed before success is reported.
    EXPECT_EQ(project.session->CommitCount(), 3);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].first,
              Ansi("Импорт успешно завершен.\r\nИмпортировано 250 точек."));
    EXPECT_EQ(messages.messages[0].second, 3);

    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 250u);
    const auto& last = objects.back();
    EXPECT_EQ(last.layerId, "L1");
    ASSERT_EQ(last.shapes.size(), 1u);
    EXPECT_EQ(last.shapes[0].styleId, "S1");
    ASSERT_EQ(last.shapes[0].parts.size(), 1u);
    ASSERT_EQ(last.shapes[0].parts[0].vertices.size(), 1u);
    EXPECT_EQ(last.shapes[0].parts[0].vertices[0].x, 1250);
    EXPECT_EQ(last.shapes[0].parts[0].vertices[0].y, 2250);
    const auto* num = FindValue(last, "POINTS", "NUM");
    const auto* note = FindValue(last, "POINTS", "NOTE");
    ASSERT_TRUE(num && note);
    EXPECT_EQ(num->text, "250");
    EXPECT_EQ(note->text, "c250");
    EXPECT_EQ(num->record, 0);

    const auto rect = project.session->LastShowRect();
    ASSERT_TRUE(rect);
    EXPECT_EQ((*rect)[0], 1001);
    EXPECT_EQ((*rect)[1], 2001);
    EXPECT_EQ((*rect)[2], 1250);
    EXPECT_EQ((*rect)[3], 2250);
}

TEST_F(PtsRun, BatchBoundariesShowWhenAHostCallFails) {
    // An object that fails to be created ends the run; what came before it is committed, in
    // batches of 100 and once more when the writer goes.
    struct Case {
        int failingAdd, commits, objects;
    } cases[] = {{100, 1, 99}, {101, 1, 100}, {201, 2, 200}, {202, 3, 201}};
    const auto file = project.Write("p.pts", PtsLines(250));
    int commitsBefore = 0;
    std::size_t objectsBefore = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failingAdd);
        project.session->FailOn("IKavroMapObjects.Add", c.failingAdd, "Отказ");
        EXPECT_THROW(RunPtsImport(Settings(file)), EUserError);
        EXPECT_EQ(project.session->CommitCount() - commitsBefore, c.commits);
        const std::size_t objects = Committed().size();
        EXPECT_EQ(objects - objectsBefore, static_cast<std::size_t>(c.objects));
        commitsBefore = project.session->CommitCount();
        objectsBefore = objects;
    }
}

TEST_F(PtsRun, BlankFileAndSinglePointDoNotMoveTheView) {
    RunPtsImport(Settings(project.Write("blank.pts", "\r\n   \r\n")));
    EXPECT_TRUE(Committed().empty());
    RunPtsImport(Settings(project.Write("one.pts", "1,5,6\r\n")));
    EXPECT_EQ(Committed().size(), 1u);
    EXPECT_FALSE(project.session->LastShowRect());
    ASSERT_EQ(ui.shown.size(), 2u);
    // A file without points says so, never "успешно".
    EXPECT_EQ(ui.shown[0].text, Ansi("В файле не найдено ни одной точки."));
    EXPECT_EQ(ui.shown[1].text, Ansi("Импорт успешно завершен.\r\nИмпортировано 1 точка."));
}

TEST_F(PtsRun, InvalidLineStopsTheRunAndSaysWhereAndWhatWasKept) {
    const auto file = project.Write("bad.pts", PtsLines(150, 130));
    try {
        RunPtsImport(Settings(file));
        FAIL() << "no error";
    } catch (const EImportStopped& e) {
        EXPECT_EQ(e.Message(), Ansi("Файл bad.pts, строка 130: значение \"bad\" не является "
                                    "числом\r\nСохранено объектов: 129."));
        EXPECT_EQ(e.Committed(), 129);
    }
    EXPECT_EQ(Committed().size(), 129u); // 100 committed in the run, 29 when the writer went
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(project.session->LastShowRect());
}

TEST_F(PtsRun, ACommitFailingAfterAnInvalidLineIsReportedWithIt) {
    // Line 130 stops the reading; the commit of the 29 objects after the batch fails too.
    const auto file = project.Write("bad.pts", PtsLines(150, 130));
    project.session->FailOn("IKavroMapObjects.Commit", 2, "Нет места на диске");
    try {
        RunPtsImport(Settings(file));
        FAIL() << "no error";
    } catch (const EUserError& e) {
        const AnsiString start = Ansi("Файл bad.pts, строка 130: значение \"bad\" не является "
                                      "числом\r\nНе удалось сохранить объекты, созданные до "
                                      "ошибки: ");
        EXPECT_EQ(e.Message().rfind(start, 0), 0u) << AnsiToUtf8(e.Message());
        EXPECT_NE(e.Message().find(Ansi("Нет места на диске")), AnsiString::npos);
    }
    EXPECT_EQ(Committed().size(), 100u); // the batch committed before the error
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PtsRun, AValueTheHostRefusesIsCountedAndTheRunGoesOn) {
    // The number goes to a date field, which takes none of them.
    auto settings = Settings(project.Write("p.pts", PtsLines(20)));
    settings.numberField = "DT";
    const TImportReport report = RunPtsImport(settings);
    // Every object is there with its comment; the report says once what was refused.
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 20u);
    EXPECT_FALSE(FindValue(objects[5], "POINTS", "DT"));
    EXPECT_TRUE(FindValue(objects[5], "POINTS", "NOTE"));
    EXPECT_EQ(report.Count(TSkipReason::HostRefusedValue), 20);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind(Ansi("Импорт завершен.\r\nИмпортировано 20 точек.\r\nБаза "
                                          "данных не приняла значение атрибута: 20 строк (1, 2, "
                                          "3, 4, 5, ...). "),
                                     0),
              0u)
        << AnsiToUtf8(ui.shown[0].text);
}

TEST_F(PtsRun, AValueTheDatabaseFailsToStoreStopsTheRun) {
    const auto file = project.Write("p.pts", PtsLines(20));
    project.session->FailOn("IKavroSemData.SetValue", 11, "Отказ записи");
    try {
        RunPtsImport(Settings(file));
        FAIL() << "no error";
    } catch (const EImportStopped& e) {
        EXPECT_NE(e.Message().find(Ansi("Отказ записи")), std::string::npos);
        EXPECT_NE(e.Message().find(Ansi("Сохранено объектов: 6.")), std::string::npos);
    }
    // Objects 1 to 5 are complete; the sixth was created before its number failed.
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 6u);
    EXPECT_FALSE(FindValue(objects[5], "POINTS", "NUM"));
}

TEST_F(PtsRun, AnObjectTheHostRefusesStopsTheRunWithTheHostText) {
    const auto file = project.Write("p.pts", PtsLines(20));
    project.session->FailOn("IKavroShapes.Add", 6, "Отказ формы");
    try {
        RunPtsImport(Settings(file));
        FAIL() << "no error";
    } catch (const EImportStopped& e) {
        EXPECT_NE(e.Message().find(Ansi("Отказ формы")), std::string::npos);
        EXPECT_NE(e.Message().find(Ansi("Сохранено объектов: 6.")), std::string::npos);
    }
    // Objects 1 to 5 are complete; the sixth was created before its shape failed.
    EXPECT_EQ(Committed().size(), 6u);
}

TEST_F(PtsRun, MissingFileWritesNothing) {
    try {
        RunPtsImport(Settings(project.dir / "gone.pts"));
        FAIL() << "no error";
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Message(), Ansi("Файл не существует"));
    }
    EXPECT_EQ(project.session->CommitCount(), 0);
}

TEST_F(PtsRun, AffineChainMovesPointsAndRecordTablesGetNewRecords) {
    transformation.Chain().Add(std::make_unique<TTransformTranslationItem>(100, -10));
    auto settings = Settings(project.Write("p.pts", "A,1,2,x\r\nB,3,4\r\n"));
    settings.tableId = "T2";
    RunPtsImport(settings);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].shapes[0].parts[0].vertices[0].x, 101);
    EXPECT_EQ(objects[0].shapes[0].parts[0].vertices[0].y, -8);
    const auto* num = FindValue(objects[1], "LOG", "NUM");
    const auto* note = FindValue(objects[1], "LOG", "NOTE");
    ASSERT_TRUE(num && note);
    EXPECT_EQ(num->text, "B");
    EXPECT_EQ(note->text, "");
    // One record per point, shared by both values.
    EXPECT_EQ(num->record, 1);
    EXPECT_EQ(note->record, 1);
    const auto rect = project.session->LastShowRect();
    ASSERT_TRUE(rect);
    EXPECT_EQ((*rect)[2], 103);
}

TEST_F(PtsRun, CoordinateSystemMethodUsesTheContourTransformer) {
    TCoordinateSystemCatalog catalog;
    TCoordinateReferenceDef database;
    database.Type = TCoordinateReferenceType::Geographic;
    database.SetFormat("PROJ4");
    database.Parameters = "+proj=longlat +datum=WGS84";
    TCoordinateReferenceDef swapped = database;
    swapped.SwitchXY = true;
    transformation.SetCatalog(&catalog);
    transformation.SetMethod(TImportTransformationMethod::CoordinateSystem);
    transformation.SetDatabaseReference(database);
    transformation.SetSourceReference(swapped);
    // The affine chain is not used with this method.
    transformation.Chain().Add(std::make_unique<TTransformTranslationItem>(100, 100));
    const auto file = project.Write("p.pts", "A,1,2\r\n");
    RunPtsImport(Settings(file));
    auto objects = Committed();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].shapes[0].parts[0].vertices[0].x, 2);
    EXPECT_EQ(objects[0].shapes[0].parts[0].vertices[0].y, 1);

    // A source that no provider knows stops the run before anything is written.
    TCoordinateReferenceDef unknown;
    unknown.Type = TCoordinateReferenceType::Geographic;
    unknown.SetFormat("NOSUCH");
    unknown.Parameters = "x";
    transformation.SetSourceReference(unknown);
    const int commits = project.session->CommitCount();
    try {
        RunPtsImport(Settings(file));
        ADD_FAILURE() << "no error";
    } catch (const ECoordinateSystemTransformerError& e) {
        EXPECT_EQ(e.Message().rfind(Ansi("Неподдерживаемый формат системы координат: NOSUCH"), 0),
                  0u)
            << AnsiToUtf8(e.Message());
    }
    EXPECT_EQ(project.session->CommitCount(), commits);
    EXPECT_EQ(Committed().size(), 1u);
}

TEST(PtsPreview, ListsUnconvertedPointsWithTheUserSeparator) {
    TTempDir dir;
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return dir / name;
    };
    TStringLines lines;
    SetDecimalSeparator(',');
    EXPECT_FALSE(PreviewPtsFile(write("a.Pts", "7,1.5,2\r\n8,-3,4.126,note, more\r\n"), lines));
    SetDecimalSeparator('.');
    ASSERT_EQ(lines.lines.size(), 2u);
    EXPECT_EQ(lines.lines[0], "7 1,50 2,00 ");
    EXPECT_EQ(lines.lines[1], "8 -3,00 4,13 note, more");

    // A file that does not preview gives the reason in the user's words.
    EXPECT_EQ(PreviewPtsFile(write("a.txt", "7,1,2\r\n"), lines), Ansi("Неизвестный тип файла"));
    EXPECT_TRUE(lines.lines.empty());
    EXPECT_EQ(PreviewPtsFile(write("b.pts", "7,1,2\r\n8,x,1\r\n9,1,1\r\n"), lines),
              Ansi("Файл b.pts, строка 2: значение \"x\" не является числом"));
    ASSERT_EQ(lines.lines.size(), 1u); // lines before the failure stay
    EXPECT_EQ(lines.lines[0], "7 1.00 2.00 ");
    EXPECT_EQ(PreviewPtsFile(dir / "missing.pts", lines), Ansi("Файл не существует"));
    EXPECT_FALSE(PreviewPtsFile(write(".pts", "1,2,3\r\n"), lines));
    EXPECT_TRUE(PreviewPtsFile(write("pts", "1,2,3\r\n"), lines));

    EXPECT_EQ(CheckPtsFirstPage({}, "L1"), Ansi("Файл не выбран."));
    EXPECT_EQ(CheckPtsFirstPage(dir / "a.pts", ""), Ansi("Стиль не задан."));
    EXPECT_EQ(CheckPtsFirstPage(dir / "a.pts", "L1"), "");
}

} // namespace
