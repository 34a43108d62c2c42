// The PTS import run.
#include "pts/pts_import_run.h"

#include "import/nxyz_file_import.h"
#include "import/run_summary.h"
#include "import/xyz_number_reader.h"
#include "platform/exception.h"
#include "pts/pts_reader.h"
#include "text/text_rules.h"
#include "ui/user_interaction.h"

namespace PtsImportForms {

namespace {

// "number x y comment", coordinates as the file has them.
AnsiString PtsPreviewLine(const TNXYZPoint& point, TPlanePoint) {
    return PointPreviewLine(point.Number, {point.X, point.Y}) + ' ' + point.Comment;
}

AnsiString ClosingMessage(const TImportReport& report) {
    const std::int64_t imported = report.Imported();
    if (imported == 0 && report.Clean())
        return Ansi("В файле не найдено ни одной точки.");
    AnsiString text = report.Clean() ? Ansi("Импорт успешно завершен.") : Ansi("Импорт завершен.");
    text += "\r\n" + Ansi("Импортировано ") + std::to_string(imported) + ' ' +
            CountedNoun(imported, "точка", "точки", "точек") + ".";
    if (const AnsiString skipped = report.SkippedText(); !skipped.empty())
        text += "\r\n" + skipped;
    return text;
}

} // namespace

TImportReport RunPtsImport(const TPtsImportSettings& settings) {
    const TPointConversion conversion = PrepareRunConversion(settings.transformation);

    const TPtsWriterSettings writerSettings{settings.database,    settings.layerId,
                                            settings.styleId,     settings.tableId,
                                            settings.numberField, settings.commentField};
    std::error_code ec;
    if (settings.fileName.empty() || !std::filesystem::is_regular_file(settings.fileName, ec))
        throw EUserError(Ansi("Файл не существует"));

    TInputPtsFile reader(settings.fileName);
    TPtsImportCache writer(writerSettings);
    TImportReport report;
    TNXYZFileImport import(writer, conversion, report);
    // Committed before success is reported, so that a failing commit is reported instead; after
    // an error, what came before it is committed, or the user is told that it was not.
    try {
        import.Run(reader);
        ShowImportExtent(settings.application.Get(), import.Extent());
    } catch (...) {
        RaiseImportStopped(std::current_exception(), writer.Writer().Committed());
    }
    report.AddImported(import.Points());
    UserInteraction().ShowMessage(ClosingMessage(report));
    return report;
}

std::vector<AnsiString> PtsRunSummary(const TPtsImportSettings& settings,
                                      const TRunTargetNames& names) {
    std::vector<AnsiString> lines;
    lines.push_back(settings.fileName.empty()
                        ? Ansi("Файл не выбран")
                        : Ansi("Будет прочитан файл ") +
                              QuotedName(FileNameText(settings.fileName.filename())));
    lines.push_back(LayerSummaryLine({}, names.layer));
    lines.push_back(StyleSummaryLine(names.style));
    lines.push_back(Ansi("Номер точки: в поле ") + QuotedName(settings.numberField) +
                    Ansi(" таблицы ") + QuotedName(names.table));
    lines.push_back(settings.commentField.empty()
                        ? Ansi("Комментарий не импортируется")
                        : Ansi("Комментарий: в поле ") + QuotedName(settings.commentField));
    lines.push_back(TransformationSummaryLine(settings.transformation));
    return lines;
}

std::optional<AnsiString> PreviewPtsFile(const std::filesystem::path& fileName, TTextLines& lines) {
    lines.Clear();
    try {
        if (UpperFileExtension(fileName) != ".PTS")
            throw EUserError(Ansi("Неизвестный тип файла"));
        std::error_code ec;
        if (!std::filesystem::is_regular_file(fileName, ec))
            throw EUserError(Ansi("Файл не существует"));
        TInputPtsFile reader(fileName);
        TNXYZImportToStrings lister(lines, &PtsPreviewLine);
        TImportReport report;
        TNXYZFileImport(lister, TPointConversion(), report).Run(reader);
        return std::nullopt;
    } catch (const std::exception& e) {
        return ExceptionMessage(e);
    }
}

AnsiString CheckPtsFirstPage(const std::filesystem::path& fileName, const AnsiString& layerId) {
    if (fileName.empty())
        return Ansi("Файл не выбран.");
    if (layerId.empty())
        return Ansi("Стиль не задан.");
    return {};
}

} // namespace PtsImportForms
