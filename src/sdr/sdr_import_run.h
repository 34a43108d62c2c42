// The SDR import runs: the loop over the chosen survey files shared by the preview and the
// import, with its log lines, per-file error list and the run's report.
#pragma once

#include "host_api/automation_api.h"
#include "import/import_report.h"
#include "import/preview_lines.h"
#include "import/run_summary.h"
#include "platform/com/unknown.h"
#include "sdr/sdr_import_params.h"
#include "sdr/survey_options.h"
#include "ui/long_operation.h"

#include <filesystem>
#include <vector>

class TImportTransformation;

namespace SDRImporter {

// The files that failed, in order, with their messages (file name with its folder).
class TSdrErrorList {
public:
    struct TEntry {
        std::filesystem::path fileName;
        AnsiString message;
    };

    void Clear() { m_entries.clear(); }
    // Replaces the message of a file already listed.
    void Set(const std::filesystem::path& fileName, const AnsiString& message);
    bool Contains(const std::filesystem::path& fileName) const;
    bool Empty() const { return m_entries.empty(); }
    const std::vector<TEntry>& Entries() const { return m_entries; }

private:
    std::vector<TEntry> m_entries;
};

// What the wizard hands a run, whole.
struct TSdrRunSettings {
    TComPtr<IKavroApplication> application;
    TComPtr<IKavroDb> database;
    // The transformation page's state; each run prepares it. Without one points pass unchanged.
    TImportTransformation* transformation = nullptr;
    // The chosen files, with their folders.
    std::vector<std::filesystem::path> files;
    // How the files are read (the preview and the import alike).
    SDRReader::TSurveyReadOptions reading;
    // What the import writes (the preview reads only the files).
    TSdrImportParams params;
};

// What a run found.
struct TSdrRunOutcome {
    TSdrErrorList errors;
    // The files read without an error that gave no point.
    std::vector<std::filesystem::path> filesWithoutPoints;
    // Lines skipped and values refused, and the count of points taken.
    TImportReport report;
    // The user cancelled in the progress window.
    bool cancelled = false;
};

// Lists the points of the files into the log: "Файл <name>", the file's lines (converted
// coordinates, the unrounded height; " (вычислена)" after a point computed from observations),
// "Прочитано точек: <count>" and "Операция завершена", or "Ошибка: <message>" for a file that fails
// (a name that is not a regular file is "Файл не найден"). A preparation error of the
// transformation propagates.
[[nodiscard]] TSdrRunOutcome RunSdrPreview(const TSdrRunSettings& settings, TTextLines& log);

// Writes the points of the files (the log as the preview has it, without the point lines),
// moves the view to them and shows the closing message. A file that cannot be read is listed
// and the run goes on with the next; a failure of the database (an object, a commit) ends the
// run at once with EImportStopped, which says how many objects were saved. The progress window
// is shown from the start; its cancel ends the run after the point in hand.
TSdrRunOutcome RunSdrImport(const TSdrRunSettings& settings, TTextLines& log,
                            ILongOperation& progress);

// The checks of "Далее >" on the first page: the message to show, or empty when all pass.
// `filesListed` tells whether the files box shows any name; `files` are those left to import.
[[nodiscard]] AnsiString CheckSdrFirstPage(bool filesListed, const AnsiString& layerId,
                                           const std::vector<std::filesystem::path>& files);

// What an import with the settings will do, for the wizard's last page: the files, the layer
// and style, the attribute fields written, the coordinate conversion.
[[nodiscard]] std::vector<AnsiString> SdrRunSummary(const TSdrRunSettings& settings,
                                                    const TRunTargetNames& names);

// The closing message of an import run for a non-empty error list.
[[nodiscard]] AnsiString SdrErrorSummary(const TSdrErrorList& errors);
// The closing message of an import run: "Импорт успешно завершен." only when no file failed,
// every file gave some point and nothing was skipped; "Импорт прерван пользователем." after a
// cancel; then the count of imported points and the report.
[[nodiscard]] AnsiString SdrClosingMessage(const TSdrRunOutcome& outcome);

} // namespace SDRImporter
