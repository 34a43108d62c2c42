#include "import/run_summary.h"

#include "coords/import_transformation.h"

#include <gtest/gtest.h>

namespace {

TEST(RunSummary, ReportLinesCountImportedAndListSkippedByReason) {
    TImportReport report;
    report.AddImported(21);
    report.Add(TSkipReason::NoNumber, 4);
    report.Add(TSkipReason::NoNumber, 9);
    report.AddReplacedCharacters(3);
    const std::vector<AnsiString> lines = ReportLines(report, {"объект", "объекта", "объектов"});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], Ansi("Импортировано: 21 объект"));
    EXPECT_EQ(lines[1], Ansi("Координата не является числом: 2 строки (4, 9)"));
    EXPECT_EQ(lines[2],
              Ansi("Символы, которых нет в кодировке Windows-1251, заменены на \"?\": 3"));

    TImportReport clean;
    clean.AddImported(5);
    EXPECT_EQ(
        ReportLines(clean, {"точка", "точки", "точек"}),
        (std::vector<AnsiString>{Ansi("Импортировано: 5 точек"), Ansi("Пропущенных строк нет.")}));
}

TEST(RunSummary, TransformationInOneLine) {
    EXPECT_EQ(TransformationSummaryLine(nullptr), Ansi("Преобразование координат: нет"));

    TImportTransformation affine;
    EXPECT_EQ(TransformationSummaryLine(&affine),
              Ansi("Преобразование координат: нет (аффинная цепочка пуста)"));
    affine.Chain().Add(std::make_unique<TTransformTranslationItem>(10, 20));
    affine.Chain().Add(std::make_unique<TTransformScalingItem>(2, 2));
    const AnsiString line = TransformationSummaryLine(&affine);
    EXPECT_EQ(line.rfind(Ansi("Преобразование координат: аффинное, 2 шага: "), 0), 0u) << line;
    EXPECT_EQ(line.find('\n'), AnsiString::npos);

    TImportTransformation bySystem;
    bySystem.SetMethod(TImportTransformationMethod::CoordinateSystem);
    TCoordinateReferenceDef wgs;
    wgs.Caption = "WGS 84";
    wgs.SetFormat("EPSG");
    wgs.Parameters = "4326";
    bySystem.SetSourceReference(wgs);
    EXPECT_EQ(TransformationSummaryLine(&bySystem),
              Ansi("Преобразование координат: из системы «WGS 84» в систему базы данных "
                   "(не задана)"));
}

} // namespace
