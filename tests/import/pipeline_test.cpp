// The pipeline below the point formats: the run report, the reader that drives a format through
// a file, and the file import with its conversion, height rule and cancel.
#include "coords/fake_provider.h"
#include "coords/import_transformation.h"
#include "import/nxyz_file_import.h"
#include "import/xyz_number_reader.h"
#include "support/temp_dir.h"
#include "ui/long_operation.h"
#include "ui/scripted_interaction.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

TEST(CountedNoun, RussianPluralForms) {
    const struct {
        std::int64_t count;
        const char* expected;
    } cases[] = {{0, "объектов"},   {1, "объект"},     {2, "объекта"},   {4, "объекта"},
                 {5, "объектов"},   {11, "объектов"},  {12, "объектов"}, {14, "объектов"},
                 {21, "объект"},    {22, "объекта"},   {25, "объектов"}, {101, "объект"},
                 {111, "объектов"}, {1000, "объектов"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(CountedNoun(c.count, "объект", "объекта", "объектов"), Ansi(c.expected));
    }
}

TEST(ImportReport, CountsByReasonKeepsTheFirstNumbersAndMerges) {
    TImportReport report;
    EXPECT_TRUE(report.Clean());
    EXPECT_EQ(report.SkippedText(), "");
    for (int line = 2; line <= 8; ++line)
        report.Add(TSkipReason::NoNumber, line);
    report.Add(TSkipReason::HostRefusedValue, 4, Ansi("первая"));
    report.Add(TSkipReason::HostRefusedValue, 9, Ansi("вторая"));
    EXPECT_FALSE(report.Clean());
    EXPECT_EQ(report.Count(TSkipReason::NoNumber), 7);
    EXPECT_EQ(report.FirstNumbers(TSkipReason::NoNumber),
              (std::vector<std::int64_t>{2, 3, 4, 5, 6}));
    EXPECT_EQ(report.SkippedText(),
              Ansi("Координата не является числом: 7 строк (2, 3, 4, 5, 6, ...)\r\n"
                   "База данных не приняла значение атрибута: 2 строки (4, 9). первая"));

    TImportReport file;
    file.Add(TSkipReason::NoNumber, 40);
    file.Add(TSkipReason::Malformed, 41);
    file.AddImported(3);
    report.Merge(file);
    EXPECT_EQ(report.Count(TSkipReason::NoNumber), 8);
    EXPECT_EQ(report.FirstNumbers(TSkipReason::NoNumber).size(), TImportReport::kKeptNumbers);
    EXPECT_EQ(report.Count(TSkipReason::Malformed), 1);
    EXPECT_EQ(report.Imported(), 3);
    report.AddReplacedCharacters(2);
    EXPECT_NE(report.SkippedText().find(Ansi("заменены на \"?\": 2")), AnsiString::npos);
}

// One point a line, "x y" or "x y z"; "bad" is a skipped line, "stop" an error.
class TTestFormat final : public IPointFormat {
public:
    TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) override {
        if (line.empty())
            return TLineOutcome::NoPoint();
        if (line == "bad")
            return TLineOutcome::Skip(TSkipReason::Malformed);
        if (line == "stop")
            throw EUserError(Ansi("сбой"));
        double values[3] = {};
        int n = std::sscanf(std::string(line).c_str(), "%lf %lf %lf", &values[0], &values[1],
                            &values[2]);
        point.Number = std::to_string(++m_count);
        point.X = values[0];
        point.Y = values[1];
        point.Z = n == 3 ? std::optional<double>(values[2]) : std::nullopt;
        return TLineOutcome::Point();
    }

private:
    int m_count = 0;
};

class TListSink final : public IPointSink {
public:
    bool TakesPointsWithoutHeight() const override { return !needsHeight; }
    void BeginFile() override { ++begun; }
    void Write(const TNXYZPoint& point, TPlanePoint at, TImportReport&) override {
        written.push_back({point.Number, at});
    }
    void EndFile(bool) override { ++ended; }

    bool needsHeight = false;
    int begun = 0, ended = 0;
    std::vector<std::pair<AnsiString, TPlanePoint>> written;
};

struct Pipeline : ::testing::Test {
    TTempDir dir;
    std::filesystem::path Write(const std::string& text) {
        const auto path = dir / "points.txt";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

TEST_F(Pipeline, PointsWithoutHeightAndSkippedLinesAreCountedWithTheirLines) {
    TXYZNumberReader reader(Write("1 2 3\r\nbad\r\n\r\n4 5\r\n6 7 8\r\n"),
                            std::make_unique<TTestFormat>());
    TListSink sink;
    sink.needsHeight = true;
    TImportReport report;
    TNXYZFileImport import(sink, TPointConversion(), report);
    EXPECT_EQ(import.Run(reader), TFileImportEnd::Completed);
    ASSERT_EQ(sink.written.size(), 2u);
    EXPECT_EQ(sink.written[1].first, "3");
    EXPECT_EQ(report.FirstNumbers(TSkipReason::Malformed), (std::vector<std::int64_t>{2}));
    EXPECT_EQ(report.FirstNumbers(TSkipReason::NoHeight), (std::vector<std::int64_t>{4}));
    EXPECT_EQ(import.PointsOfLastFile(), 2);
    EXPECT_EQ(import.Extent().MaxX, 6);
    EXPECT_EQ(sink.begun, 1);
    EXPECT_EQ(sink.ended, 1);
}

TEST_F(Pipeline, APointThatDoesNotConvertIsCountedAndNotWritten) {
    TShiftConversion shift;
    const TPointConversion conversion = PrepareRunConversion(&shift.transformation);
    TXYZNumberReader reader(Write("1 2\r\n-2000000 5\r\n3 4\r\n"), std::make_unique<TTestFormat>());
    TListSink sink;
    TImportReport report;
    TNXYZFileImport(sink, conversion, report).Run(reader);
    // The point the provider refuses is not written in its source coordinates.
    ASSERT_EQ(sink.written.size(), 2u);
    EXPECT_EQ(sink.written[0].second.X, 101);
    EXPECT_EQ(sink.written[1].second.X, 103);
    EXPECT_EQ(report.FirstNumbers(TSkipReason::ConversionFailed), (std::vector<std::int64_t>{2}));
}

TEST_F(Pipeline, AnErrorEndsTheFileNamingTheLineAndTheSinkStillEnds) {
    TXYZNumberReader reader(Write("1 1\r\nstop\r\n2 2\r\n"), std::make_unique<TTestFormat>());
    TListSink sink;
    TImportReport report;
    try {
        TNXYZFileImport(sink, TPointConversion(), report).Run(reader);
        FAIL() << "no error";
    } catch (const EPointFileError& e) {
        EXPECT_EQ(e.Message(), Ansi("Файл points.txt, строка 2: сбой"));
    }
    EXPECT_EQ(sink.written.size(), 1u);
    EXPECT_EQ(sink.ended, 1);
}

TEST_F(Pipeline, ACancelInTheProgressWindowEndsTheFileInside) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += std::to_string(i) + " 1\n";
    TXYZNumberReader reader(Write(text), std::make_unique<TTestFormat>());
    TScriptedInteraction ui;
    TLongOperations progress;
    progress.Start(true, kLongOperationCancelAtOnce);
    ui.onProcessMessages = [&] { progress.Terminate(); };
    TListSink sink;
    TImportReport report;
    EXPECT_EQ(TNXYZFileImport(sink, TPointConversion(), report, &progress).Run(reader),
              TFileImportEnd::Cancelled);
    EXPECT_EQ(sink.written.size(), static_cast<std::size_t>(TNXYZFileImport::kPumpEvery));
    EXPECT_EQ(sink.ended, 1);
    progress.End();
}

} // namespace
