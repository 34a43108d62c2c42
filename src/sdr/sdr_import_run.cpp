// The SDR import runs.
#include "sdr/sdr_import_run.h"

#include "import/host_writer.h"
#include "ui/user_interaction.h"

#include <algorithm>

namespace SDRImporter {

namespace {

ILongOperation& ProgressOf(TSdrRunState& state) {
    return state.progress ? *state.progress : LongOperations();
}

void RecordError(TSdrRunState& state, const std::filesystem::path& fileName,
                 const AnsiString& message) {
    state.log->Add(Ansi("Ошибка: ") + message);
    state.errors.Set(fileName, message);
}

void ImportOneFile(TNXYZFileImport& sink, const std::filesystem::path& fileName,
                   ILongOperation& progress, TImportExtent& extent) {
    std::unique_ptr<SDRReader::TXYZNumberReader> reader = SDRReader::ReaderForFile(fileName);
    progress.SetText(Ansi("Импорт файла \"") + FileNameText(fileName) + "\"");
    sink.Run(*reader);
    TImportExtent fileExtent;
    if (sink.GetExtent(fileExtent))
        extent.Merge(fileExtent);
}

} // namespace

AnsiString FileNameText(const std::filesystem::path& fileName) {
    return Utf8ToAnsi(fileName.string());
}

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

void SdrFileLoop(TSdrRunState& state, TNXYZFileImport& sink, ILongOperation& progress,
                 TImportExtent& extent) {
    state.errors.Clear();
    state.filesWithoutPoints.clear();
    extent.Clear();
    if (state.files.empty())
        return;
    TTextLines& log = *state.log;
    log.Clear();
    for (const std::filesystem::path& fileName : state.files) {
        try {
            log.Add(Ansi("Файл ") + FileNameText(fileName));
            // A folder of that name is no file to read either.
            std::error_code ec;
            if (!std::filesystem::is_regular_file(fileName, ec)) {
                RecordError(state, fileName, Ansi("Файл не найден"));
                continue;
            }
            log.Add({});
            const std::int32_t before = sink.Delivered();
            ImportOneFile(sink, fileName, progress, extent);
            const std::int32_t points = sink.Delivered() - before;
            log.Add(Ansi("Прочитано точек: ") + std::to_string(points));
            if (points == 0)
                state.filesWithoutPoints.push_back(fileName);
            progress.Pump();
            if (progress.Cancelled()) {
                log.Add(Ansi("Операция прервана пользователем"));
                break;
            }
        } catch (const std::exception& e) {
            RecordError(state, fileName, ExceptionMessage(e));
        }
        log.Add(Ansi("Операция завершена"));
    }
}

void RunSdrPreview(TSdrRunState& state) {
    const TPointConversion conversion = PrepareRunConversion(state.transformation);
    TNXYZImportToStrings sink(*state.log, conversion);
    TImportExtent extent;
    // No window is started: Pump still lets messages through and Cancelled stays false.
    SdrFileLoop(state, sink, ProgressOf(state), extent);
    std::erase_if(state.files,
                  [&](const std::filesystem::path& f) { return state.errors.Contains(f); });
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

void RunSdrImport(TSdrRunState& state, const TSdrImportParams& params) {
    const TPointConversion conversion = PrepareRunConversion(state.transformation);
    TNXYZImportToKavro sink(state.database, conversion, params);
    TImportExtent extent;
    if (!state.files.empty()) {
        ILongOperation& progress = ProgressOf(state);
        progress.Start(true, 0);
        progress.SetText(Ansi("Импорт файла"));
        try {
            SdrFileLoop(state, sink, progress, extent);
        } catch (...) {
            progress.End();
            throw;
        }
        progress.End();
    }
    ShowImportExtent(state.application.Get(), extent);
    UserInteraction().ShowMessage(SdrClosingMessage(state));
}

AnsiString SdrClosingMessage(const TSdrRunState& state) {
    if (state.filesWithoutPoints.empty())
        return state.errors.Empty() ? Ansi("Импорт успешно завершен.")
                                    : SdrErrorSummary(state.errors);
    AnsiString text =
        state.errors.Empty() ? Ansi("Импорт завершен.") : SdrErrorSummary(state.errors);
    text += "\r\n";
    text += Ansi("Файлы, в которых не найдено ни одной точки:");
    for (const std::filesystem::path& fileName : state.filesWithoutPoints) {
        text += "\r\n";
        text += FileNameText(fileName.filename());
    }
    return text;
}

} // namespace SDRImporter
