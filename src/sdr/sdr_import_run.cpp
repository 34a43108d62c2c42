// The SDR import runs.
#include "sdr/sdr_import_run.h"

#include "import/host_writer.h"
#include "import/nxyz_file_import.h"
#include "import/run_summary.h"
#include "import/xyz_number_reader.h"
#include "sdr/sdr_import_cache.h"
#include "sdr/survey_readers.h"
#include "text/byte_stream.h"
#include "ui/user_interaction.h"

#include <algorithm>

namespace SDRImporter {

namespace {

// A file that cannot be read as a survey: it is listed and the run goes on with the next.
bool IsFileError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const EPointFileError&) {
        return true;
    } catch (const EFileOpenError&) {
        return true;
    } catch (const SDRReader::EUnknownFileFormat&) {
        return true;
    } catch (...) {
        return false;
    }
}

// "number x y z": converted coordinates, the unrounded height; a point computed from
// observations says so.
AnsiString SurveyPreviewLine(const TNXYZPoint& point, TPlanePoint at) {
    AnsiString line = point.Z ? PointPreviewLine(point.Number, {at.X, at.Y, *point.Z})
                              : PointPreviewLine(point.Number, {at.X, at.Y});
    if (point.Computed)
        line += Ansi(" (вычислена)");
    return line;
}

// The loop over the files through one sink.
class TSurveyFileLoop {
public:
    TSurveyFileLoop(const TSdrRunSettings& settings, IPointSink& sink, TTextLines& log,
                    ILongOperation& progress, TSdrRunOutcome& outcome,
                    const TPointConversion& conversion)
        : m_settings(settings), m_log(log), m_progress(progress), m_outcome(outcome),
          m_import(sink, conversion, outcome.report, &progress) {}

    void Run() {
        if (m_settings.files.empty())
            return;
        m_log.Clear();
        for (const std::filesystem::path& fileName : m_settings.files) {
            if (!ReadOne(fileName))
                break;
        }
    }

    const TNXYZFileImport& Import() const { return m_import; }

private:
    void RecordError(const std::filesystem::path& fileName, const AnsiString& message) {
        m_log.Add(Ansi("Ошибка: ") + message);
        m_outcome.errors.Set(fileName, message);
    }

    // False when the run ends here (cancelled).
    bool ReadOne(const std::filesystem::path& fileName) {
        m_log.Add(Ansi("Файл ") + FileNameText(fileName));
        // A folder or a device of that name is no file to read either.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(fileName, ec)) {
            RecordError(fileName, Ansi("Файл не найден"));
            return true;
        }
        m_log.Add({});
        try {
            const std::unique_ptr<TXYZNumberReader> reader =
                SDRReader::ReaderForFile(fileName, m_settings.reading);
            m_progress.SetText(Ansi("Импорт файла \"") + FileNameText(fileName) + "\"");
            m_progress.SetFraction(0);
            const TFileImportEnd end = m_import.Run(*reader);
            const std::int64_t points = m_import.PointsOfLastFile();
            m_log.Add(Ansi("Прочитано точек: ") + std::to_string(points));
            if (points == 0 && end == TFileImportEnd::Completed)
                m_outcome.filesWithoutPoints.push_back(fileName);
            m_progress.Pump();
            if (end == TFileImportEnd::Cancelled || m_progress.Cancelled()) {
                m_log.Add(Ansi("Операция прервана пользователем"));
                m_outcome.cancelled = true;
                return false;
            }
        } catch (const std::exception& e) {
            // An unknown extension, a file that cannot be opened or read: this file only. A
            // failure of the database ends the run.
            if (!IsFileError(std::current_exception()))
                throw;
            RecordError(fileName, ExceptionMessage(e));
        }
        m_log.Add(Ansi("Операция завершена"));
        return true;
    }

    const TSdrRunSettings& m_settings;
    TTextLines& m_log;
    ILongOperation& m_progress;
    TSdrRunOutcome& m_outcome;
    TNXYZFileImport m_import;
};

// Ends the progress window however the run ends.
struct TProgressShown {
    explicit TProgressShown(ILongOperation& progress) : progress(progress) {
        progress.Start(true, 0);
        progress.SetText(Ansi("Импорт файла"));
    }
    ~TProgressShown() { progress.End(); }
    ILongOperation& progress;
};

} // namespace

void TSdrErrorList::Set(const std::filesystem::path& fileName, const AnsiString& message) {
    for (TEntry& e : m_entries)
        if (e.fileName == fileName) {
            e.message = message;
            return;
        }
    m_entries.push_back({fileName, message});
}

bool TSdrErrorList::Contains(const std::filesystem::path& fileName) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const TEntry& e) { return e.fileName == fileName; });
}

TSdrRunOutcome RunSdrPreview(const TSdrRunSettings& settings, TTextLines& log) {
    const TPointConversion conversion = PrepareRunConversion(settings.transformation);
    TNXYZImportToStrings sink(log, &SurveyPreviewLine);
    TSdrRunOutcome outcome;
    // The module's window, not started: it pumps messages now and then and never cancels.
    TSurveyFileLoop loop(settings, sink, log, LongOperations(), outcome, conversion);
    loop.Run();
    outcome.report.AddImported(loop.Import().Points());
    return outcome;
}

TSdrRunOutcome RunSdrImport(const TSdrRunSettings& settings, TTextLines& log,
                            ILongOperation& progress) {
    const TPointConversion conversion = PrepareRunConversion(settings.transformation);
    TSdrImportCache sink(settings.database, settings.params);
    TSdrRunOutcome outcome;
    {
        const TProgressShown shown(progress);
        TSurveyFileLoop loop(settings, sink, log, progress, outcome, conversion);
        try {
            loop.Run();
        } catch (...) {
            RaiseImportStopped(std::current_exception(), sink.Writer().Committed());
        }
        outcome.report.AddImported(loop.Import().Points());
        ShowImportExtent(settings.application.Get(), loop.Import().Extent());
    }
    UserInteraction().ShowMessage(SdrClosingMessage(outcome));
    return outcome;
}

std::vector<AnsiString> SdrRunSummary(const TSdrRunSettings& settings,
                                      const TRunTargetNames& names) {
    std::vector<AnsiString> lines;
    AnsiString files =
        Ansi("К импорту: ") +
        CountText(static_cast<std::int64_t>(settings.files.size()), {"файл", "файла", "файлов"});
    for (std::size_t i = 0; i < settings.files.size(); ++i)
        files += (i == 0 ? ": " : ", ") + FileNameText(settings.files[i].filename());
    lines.push_back(files);
    lines.push_back(LayerSummaryLine({}, names.layer));
    lines.push_back(StyleSummaryLine(names.style));
    const TSdrImportParams& params = settings.params;
    AnsiString fields;
    const auto addField = [&](const char* what, const std::u16string& field) {
        if (field.empty())
            return;
        fields += fields.empty()
                      ? Ansi("Значения атрибутов в таблицу ") + QuotedName(names.table) + ": "
                      : AnsiString(", ");
        fields += Ansi(what) + Ansi(" в поле ") + QuotedName(WideToAnsi(field));
    };
    if (!params.TableId.empty()) {
        addField("номер", params.NumberField);
        addField("высота", params.HeightField);
        addField("дата", params.DateField);
    }
    lines.push_back(fields.empty() ? Ansi("Значения атрибутов не импортируются") : fields);
    lines.push_back(TransformationSummaryLine(settings.transformation));
    return lines;
}

AnsiString SdrErrorSummary(const TSdrErrorList& errors) {
    AnsiString text = Ansi("Ошибка импорта следующих файлов:");
    for (const TSdrErrorList::TEntry& e : errors.Entries()) {
        text += "\r\n";
        text += FileNameText(e.fileName.filename());
        text += " : ";
        text += e.message;
    }
    return text;
}

AnsiString SdrClosingMessage(const TSdrRunOutcome& outcome) {
    AnsiString text;
    if (outcome.cancelled)
        text = Ansi("Импорт прерван пользователем.");
    else if (!outcome.errors.Empty())
        text = SdrErrorSummary(outcome.errors);
    else if (outcome.filesWithoutPoints.empty() && outcome.report.Clean())
        text = Ansi("Импорт успешно завершен.");
    else
        text = Ansi("Импорт завершен.");
    if (outcome.cancelled && !outcome.errors.Empty())
        text += "\r\n" + SdrErrorSummary(outcome.errors);
    if (!outcome.filesWithoutPoints.empty()) {
        text += "\r\n";
        text += Ansi("Файлы, в которых не найдено ни одной точки:");
        for (const std::filesystem::path& fileName : outcome.filesWithoutPoints) {
            text += "\r\n";
            text += FileNameText(fileName.filename());
        }
    }
    const std::int64_t imported = outcome.report.Imported();
    text += "\r\n" + Ansi("Импортировано ") + std::to_string(imported) + ' ' +
            CountedNoun(imported, "точка", "точки", "точек") + ".";
    if (const AnsiString skipped = outcome.report.SkippedText(); !skipped.empty())
        text += "\r\n" + skipped;
    return text;
}

AnsiString CheckSdrFirstPage(bool filesListed, const AnsiString& layerId,
                             const std::vector<std::filesystem::path>& files) {
    if (!filesListed)
        return Ansi("Файл не выбран.");
    if (layerId.empty())
        return Ansi("Стиль не задан.");
    if (files.empty())
        return Ansi("Не выбраны импортируемые файлы.");
    return {};
}

} // namespace SDRImporter
