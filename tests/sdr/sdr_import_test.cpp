// The SDR import runs against the host stand-in: the writer's values and commits, the file
// loop's log and error list, cancellation, the preview and the closing messages.
#include "coords/import_transformation.h"
#include "import/host_writer.h"
#include "import/xyz_number_reader.h"
#include "platform/locale.h"
#include "sdr/sdr_import_cache.h"
#include "sdr/sdr_import_run.h"
#include "support/point_project.h"
#include "ui/scripted_interaction.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace SDRImporter;

namespace {

std::string Field16(const std::string& s) {
    std::string f = s;
    f.resize(16, ' ');
    return f;
}

std::string SdrPoints(int count, double x0, double y0, int badAt = 0) {
    std::string text = "00NMSDR33 V04-04.02\r\n";
    for (int i = 1; i <= count; ++i) {
        char z[32];
        std::snprintf(z, sizeof z, "%.4f", 100 + i / 1000.0 + 0.0004);
        text += "08KI" + Field16("P" + std::to_string(i)) +
                Field16(i == badAt ? "$1A" : std::to_string(x0 + i)) +
                Field16(std::to_string(y0 + i)) + Field16(z) + "\r\n";
    }
    return text;
}

struct SdrRun : ::testing::Test {
    TPointProject project;
    TImportTransformation transformation;
    TScriptedInteraction ui;
    TStringLines log;
    TLongOperations progress; // headless window
    TSdrRunSettings settings;
    TSdrRunOutcome outcome;

    SdrRun() {
        settings.application = TComPtr<IKavroApplication>(project.session->Application());
        settings.database = TComPtr<IKavroDb>(project.session->Database());
        settings.transformation = &transformation;
    }
    void Import(const TSdrImportParams& params) {
        settings.params = params;
        outcome = RunSdrImport(settings, log, progress);
    }
    static TSdrImportParams Params() {
        TSdrImportParams p;
        p.LayerId = u"L1";
        p.StyleId = u"S1";
        p.TableId = u"T1";
        p.NumberField = u"NUM";
        p.HeightField = u"H";
        p.Precision = 2;
        p.DateField = u"DT";
        p.ImportDate = 46000; // 2025-12-09
        return p;
    }
    std::vector<kavrohost::TObjectRecord> Committed() const {
        return kavrohost::ReadObjects(project.file);
    }
    AnsiString Name(const std::filesystem::path& p) const { return FileNameText(p); }
    // The closing message's first line, the count of points and the report after it.
    static AnsiString Closing(const char* first, int points) {
        return Ansi(first) + "\r\n" + Ansi("Импортировано ") + std::to_string(points) + ' ' +
               CountedNoun(points, "точка", "точки", "точек") + ".";
    }
};

TEST(SdrHeight, RoundsToPrecisionWithHalvesToEven) {
    // Each expected value is the double nearest to the rounded decimal, compared exactly.
    const struct {
        double z;
        std::int32_t precision;
        double expected;
    } cases[] = {
        {12.3456, 2, 12.35},      {12.344, 2, 12.34},
        {-12.3456, 2, -12.35},    {0.25, 1, 0.2},  // 2.5 tenths: to the even 2
        {0.75, 1, 0.8},                            // 7.5 tenths: to the even 8
        {19.699, 1, 19.7},                         // not 197 * 0.1 = 19.700000000000003
        {1234.5678, 3, 1234.568}, {-0.04, 1, 0.0}, // +0, never -0
        {-0.0, 2, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.z);
        const double height = RoundHeight(c.z, c.precision);
        EXPECT_EQ(height, c.expected);
        EXPECT_EQ(std::signbit(height), std::signbit(c.expected));
    }
    EXPECT_NEAR(RoundHeight(123.456789012345, 15), 123.456789012345, 1e-12);
}

TEST_F(SdrRun, TwelveHundredPointsCommitAtFiveHundredsAndAtTheEndOfTheFile) {
    settings.files = {project.Write("a.sdr", SdrPoints(1200, 5000, 7000))};
    Import(Params());
    EXPECT_EQ(project.session->CommitCount(), 3);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 1200u);
    const auto& o = objects[2];
    EXPECT_EQ(o.shapes[0].parts[0].vertices[0].x, 5003);
    EXPECT_EQ(o.shapes[0].parts[0].vertices[0].y, 7003);
    EXPECT_EQ(o.shapes[0].parts[0].vertices[0].z, 0); // the height is a value, not a vertex Z
    const auto* num = FindValue(o, "POINTS", "NUM");
    const auto* h = FindValue(o, "POINTS", "H");
    const auto* dt = FindValue(o, "POINTS", "DT");
    ASSERT_TRUE(num && h && dt);
    EXPECT_EQ(num->text, "P3");
    EXPECT_DOUBLE_EQ(h->doubleValue, 100.00); // 100.0034 kept to two decimals
    EXPECT_EQ(dt->doubleValue, 46000);
    EXPECT_DOUBLE_EQ(FindValue(objects[1199], "POINTS", "H")->doubleValue, 101.20);
    EXPECT_EQ(FindValue(objects[1199], "POINTS", "DT")->doubleValue, 46000);

    EXPECT_EQ(log.lines,
              (std::vector<AnsiString>{Ansi("Файл ") + Name(settings.files[0]), "",
                                       Ansi("Прочитано точек: 1200"), Ansi("Операция завершена")}));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, Closing("Импорт успешно завершен.", 1200));
    EXPECT_FALSE(progress.WindowExists()); // ended
}

TEST_F(SdrRun, BatchBoundaryAndTheEndOfAFailedFile) {
    // The 502nd object fails: 500 were committed in the batch, the 501st when the file ended,
    // and the run stops at once saying so.
    settings.files = {project.Write("a.sdr", SdrPoints(600, 0, 0)),
                      project.Write("b.sdr", SdrPoints(5, 0, 0))};
    project.session->FailOn("IKavroMapObjects.Add", 502, "Отказ");
    try {
        Import(Params());
        FAIL() << "no error";
    } catch (const EImportStopped& e) {
        EXPECT_EQ(e.Committed(), 501);
        EXPECT_NE(e.Message().find(Ansi("Отказ")), AnsiString::npos);
        EXPECT_NE(e.Message().find(Ansi("Сохранено объектов: 501.")), AnsiString::npos);
    }
    EXPECT_EQ(project.session->CommitCount(), 2);
    EXPECT_EQ(Committed().size(), 501u); // the second file is not read
    EXPECT_TRUE(ui.shown.empty()) << "the wizard shows the error once";
    EXPECT_FALSE(progress.WindowExists());
}

TEST_F(SdrRun, ThreeFilesWithTheMiddleOneMissing) {
    const auto a = project.Write("a.sdr", SdrPoints(2, 0, 0));
    const auto b = project.dir / "sub" / "b.sdr";
    const auto c = project.Write("c.rpt", "STN     S,1,\r\nXYZ     1000,2000,3\r\n");
    settings.files = {a, b, c};
    Import(Params());

    const std::vector<AnsiString> expected = {
        Ansi("Файл ") + Name(a),    "",
        Ansi("Прочитано точек: 2"), Ansi("Операция завершена"),
        Ansi("Файл ") + Name(b),    Ansi("Ошибка: Файл не найден"),
        Ansi("Файл ") + Name(c),    "",
        Ansi("Прочитано точек: 1"), Ansi("Операция завершена")};
    EXPECT_EQ(log.lines, expected);
    ASSERT_EQ(outcome.errors.Entries().size(), 1u);
    EXPECT_EQ(outcome.errors.Entries()[0].fileName, b);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text,
              Ansi("Ошибка импорта следующих файлов:\r\nb.sdr : Файл не найден\r\n"
                   "Импортировано 3 точки."));

    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(FindValue(objects[2], "POINTS", "NUM")->text, "S");
    // Commits: one at the end of each file that was read.
    EXPECT_EQ(project.session->CommitCount(), 2);
    // The view covers the points of both files.
    const auto rect = project.session->LastShowRect();
    ASSERT_TRUE(rect);
    EXPECT_EQ((*rect)[0], 1);
    EXPECT_EQ((*rect)[1], 1);
    EXPECT_EQ((*rect)[2], 1000);
    EXPECT_EQ((*rect)[3], 2000);
}

TEST_F(SdrRun, AFolderNamedLikeASelectedFileIsNotFound) {
    const auto folder = project.dir / "survey.sdr";
    std::filesystem::create_directory(folder);
    settings.files = {folder};
    Import(Params());
    EXPECT_EQ(log.lines, (std::vector<AnsiString>{Ansi("Файл ") + Name(folder),
                                                  Ansi("Ошибка: Файл не найден")}));
    ASSERT_EQ(outcome.errors.Entries().size(), 1u);
    EXPECT_EQ(outcome.errors.Entries()[0].message, Ansi("Файл не найден"));
}

TEST_F(SdrRun, AFileWithoutPointsIsNamedInTheClosingMessage) {
    // Only a header and a coordinate record without a height: not a single point.
    const auto flat = project.Write("flat.sdr", "00NMSDR33 V04-04.02\r\n08KI" + Field16("1") +
                                                    Field16("10") + Field16("20") + "\r\n");
    const auto good = project.Write("good.sdr", SdrPoints(2, 0, 0));
    settings.files = {flat, good};
    Import(Params());
    const std::vector<AnsiString> expected = {
        Ansi("Файл ") + Name(flat), "", Ansi("Прочитано точек: 0"), Ansi("Операция завершена"),
        Ansi("Файл ") + Name(good), "", Ansi("Прочитано точек: 2"), Ansi("Операция завершена")};
    EXPECT_EQ(log.lines, expected);
    EXPECT_TRUE(outcome.errors.Empty());
    ASSERT_EQ(ui.shown.size(), 1u);
    // The record without a height is counted with its line.
    EXPECT_EQ(ui.shown[0].text,
              Ansi("Импорт завершен.\r\nФайлы, в которых не найдено ни одной точки:\r\nflat.sdr\r\n"
                   "Импортировано 2 точки.\r\nКоордината не является числом: 1 строка (2)"));
    EXPECT_EQ(Committed().size(), 2u);

    // Beside failed files the list follows the errors.
    outcome.errors.Set(project.dir / "bad.rpt", "x");
    EXPECT_EQ(SdrClosingMessage(outcome),
              Ansi("Ошибка импорта следующих файлов:\r\nbad.rpt : x\r\n"
                   "Файлы, в которых не найдено ни одной точки:\r\nflat.sdr\r\n"
                   "Импортировано 2 точки.\r\nКоордината не является числом: 1 строка (2)"));
}

TLongOperations* g_progress = nullptr;

TEST_F(SdrRun, CancellingDuringTheFirstOfThreeFiles) {
    const auto a = project.Write("a.sdr", SdrPoints(3, 0, 0));
    const auto b = project.Write("b.sdr", SdrPoints(3, 10, 10));
    const auto c = project.Write("c.sdr", SdrPoints(3, 20, 20));
    settings.files = {a, b, c};
    // The cancel button is pressed while the first file is shown; the user confirms.
    g_progress = &progress;
    ui.onProcessMessages = [] { g_progress->Terminate(); };
    ui.confirmAnswers = {true};
    Import(Params());
    g_progress = nullptr;

    const std::vector<AnsiString> expected = {Ansi("Файл ") + Name(a), "",
                                              Ansi("Прочитано точек: 3"),
                                              Ansi("Операция прервана пользователем")};
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(Committed().size(), 3u); // the first file is finished, the others not read
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].kind, TScriptedInteraction::TShown::Confirmation);
    EXPECT_EQ(ui.shown[0].text, Ansi("Операция будет прервана. Завершить?"));
    EXPECT_EQ(ui.shown[1].text, Closing("Импорт прерван пользователем.", 3));
    EXPECT_TRUE(outcome.cancelled);
}

TEST_F(SdrRun, CancellingInsideAFileKeepsWhatWasWritten) {
    // 5,000 points: the window is looked at every 1,024 lines, and the cancel is answered
    // there, inside the file.
    settings.files = {project.Write("big.sdr", SdrPoints(5000, 0, 0)),
                      project.Write("next.sdr", SdrPoints(3, 0, 0))};
    g_progress = &progress;
    ui.onProcessMessages = [] { g_progress->Terminate(); };
    ui.confirmAnswers = {true};
    Import(Params());
    g_progress = nullptr;
    const std::size_t kept = Committed().size();
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, 5000u);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(log.lines.back(), Ansi("Операция прервана пользователем"));
    EXPECT_EQ(ui.shown.back().text,
              Closing("Импорт прерван пользователем.", static_cast<int>(kept)));
}

TEST_F(SdrRun, FileErrorsEndOnlyTheirFileAndKeepWhatWasWritten) {
    const auto bad = project.Write("bad.sdr", SdrPoints(5, 0, 0, 4)); // hexadecimal X in point 4
    const auto txt = project.Write("notes.txt", "x");
    const auto good = project.Write("good.rpt", "XYZ     1,2,3.14159\r\n");
    settings.files = {bad, txt, good};
    Import(Params());

    const auto& errors = outcome.errors.Entries();
    ASSERT_EQ(errors.size(), 2u);
    // The file and the line where reading stopped, the value in the user's words.
    EXPECT_EQ(errors[0].message,
              Ansi("Файл bad.sdr, строка 5: значение \"$1A\" не является числом"));
    EXPECT_EQ(errors[1].message, Ansi("Неизвестный формат файла \"") + Name(txt) + "\"");
    // The log goes on with the closing line after an error.
    EXPECT_EQ(log.lines[2], Ansi("Ошибка: ") + errors[0].message);
    EXPECT_EQ(log.lines[3], Ansi("Операция завершена"));

    // 3 points of bad.sdr, 1 of good.rpt.
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_DOUBLE_EQ(FindValue(objects[3], "POINTS", "H")->doubleValue, 3.14);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind(Ansi("Ошибка импорта следующих файлов:\r\nbad.sdr : Файл"), 0),
              0u);
}

TEST_F(SdrRun, AValueTheHostRefusesIsCountedAndTheObjectStays) {
    // The number goes to the date field: "P1" is no date, and the host refuses each.
    settings.files = {project.Write("a.sdr", SdrPoints(4, 0, 0))};
    auto params = Params();
    params.NumberField = u"DT";
    params.DateField.clear();
    Import(params);
    EXPECT_EQ(Committed().size(), 4u);
    EXPECT_EQ(outcome.report.Count(TSkipReason::HostRefusedValue), 4);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find(
                  Ansi("База данных не приняла значение атрибута: 4 строки (2, 3, 4, 5). ")),
              AnsiString::npos)
        << AnsiToUtf8(ui.shown[0].text);
}

TEST_F(SdrRun, ACommitFailingAfterAReadErrorStopsTheRunWithBothMessages) {
    const auto bad = project.Write("bad.sdr", SdrPoints(5, 0, 0, 4)); // hexadecimal X in point 4
    settings.files = {bad};
    project.session->FailOn("IKavroMapObjects.Commit", 1, "Нет места на диске");
    try {
        Import(Params());
        FAIL() << "no error";
    } catch (const EImportStopped& e) {
        const AnsiString& message = e.Message();
        EXPECT_EQ(
            message.rfind(Ansi("Файл bad.sdr, строка 5: значение \"$1A\" не является числом\r\n"
                               "Не удалось сохранить объекты, созданные до ошибки: "),
                          0),
            0u)
            << AnsiToUtf8(message);
        EXPECT_NE(message.find(Ansi("Нет места на диске")), AnsiString::npos);
        EXPECT_EQ(e.Committed(), 0);
    }
}

TEST_F(SdrRun, NoTableOrNoFieldWritesNoValues) {
    settings.files = {project.Write("a.sdr", SdrPoints(2, 0, 0))};
    auto params = Params();
    params.TableId.clear(); // the field names chosen before do not matter
    Import(params);
    params = Params();
    params.NumberField.clear();
    params.DateField.clear();
    params.TableId = u"T2"; // mode 1: a record per value
    Import(params);
    const auto objects = Committed();
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_TRUE(objects[0].values.empty());
    EXPECT_TRUE(objects[1].values.empty());
    ASSERT_EQ(objects[3].values.size(), 1u);
    EXPECT_EQ(objects[3].values[0].table, "LOG");
    EXPECT_EQ(objects[3].values[0].field, "H");
    EXPECT_EQ(objects[3].values[0].record, 1);
}

TEST_F(SdrRun, PreviewListsConvertedPointsAndDropsFailedFiles) {
    transformation.Chain().Add(std::make_unique<TTransformTranslationItem>(0.5, 0));
    const auto a = project.Write("a.sdr", SdrPoints(1, 0, 0));
    const auto txt = project.Write("b.txt", "");
    const auto c = project.Write("c.rpt", "XYZ     1,2,3.14159\r\n");
    settings.files = {a, txt, c};
    SetDecimalSeparator(',');
    outcome = RunSdrPreview(settings, log);
    SetDecimalSeparator('.');
    const std::vector<AnsiString> expected = {
        Ansi("Файл ") + Name(a),
        "",
        "P1 1,50 1,00 100,00", // converted X, unrounded height with two decimals
        Ansi("Прочитано точек: 1"),
        Ansi("Операция завершена"),
        Ansi("Файл ") + Name(txt),
        "",
        Ansi("Ошибка: Неизвестный формат файла \"") + Name(txt) + "\"",
        Ansi("Операция завершена"),
        Ansi("Файл ") + Name(c),
        "",
        " 1,50 2,00 3,14",
        Ansi("Прочитано точек: 1"),
        Ansi("Операция завершена")};
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(log.updateDepth, 0);
    ASSERT_EQ(outcome.errors.Entries().size(), 1u);
    EXPECT_EQ(outcome.errors.Entries()[0].fileName, txt);
    EXPECT_TRUE(Committed().empty());
    EXPECT_TRUE(ui.shown.empty());
}

// The first page's checks in their order: a file, then a style, then a file left to import
// (the preview drops the files that failed).
TEST(SdrFirstPage, ChecksFilesThenStyleThenImportableFiles) {
    const std::vector<std::filesystem::path> one{"a.sdr"};
    EXPECT_EQ(CheckSdrFirstPage(false, "", {}), Ansi("Файл не выбран."));
    EXPECT_EQ(CheckSdrFirstPage(true, "", one), Ansi("Стиль не задан."));
    EXPECT_EQ(CheckSdrFirstPage(true, "L1", {}), Ansi("Не выбраны импортируемые файлы."));
    EXPECT_EQ(CheckSdrFirstPage(true, "L1", one), "");
}

TEST(LongOperations, NestingThrottleAndTerminate) {
    TScriptedInteraction ui;
    auto now = std::chrono::steady_clock::time_point{};
    TLongOperations op(nullptr, [&] { return now; });
    EXPECT_FALSE(op.Cancelled());
    op.Start(true, 0);
    op.SetText("outer"); // pumps: the first pump always lets messages through
    EXPECT_EQ(ui.processMessagesCalls, 1);
    op.Pump();
    EXPECT_EQ(ui.processMessagesCalls, 1); // within half a second
    now += std::chrono::milliseconds(501);
    op.Pump();
    EXPECT_EQ(ui.processMessagesCalls, 2);

    op.Start(false, kLongOperationCancelAtOnce);
    EXPECT_EQ(op.LabelText(), "outer");
    op.SetText("inner");
    op.End();
    EXPECT_EQ(op.LabelText(), "outer");

    ui.confirmAnswers = {false, true};
    op.Start(true, 0);
    op.Terminate(); // answered No
    EXPECT_FALSE(op.Cancelled());
    op.Terminate(); // Yes
    EXPECT_TRUE(op.Cancelled());
    op.Terminate(); // already cancelled: not asked again
    EXPECT_EQ(ui.shown.size(), 2u);
    op.End();
    op.End();
    EXPECT_FALSE(op.WindowExists());
    EXPECT_FALSE(op.Cancelled());

    op.Start(true, kLongOperationCancelAtOnce);
    EXPECT_FALSE(op.Cancelled()); // a new outermost operation starts uncancelled
    op.Terminate();
    EXPECT_TRUE(op.Cancelled());
    EXPECT_EQ(ui.shown.size(), 2u);
    op.End();
}

} // namespace
