// The SDR import runs: the file loop shared by the preview and the import, with its log lines
// and per-file error list.
#pragma once

#include "import/import_extent.h"
#include "import/preview_lines.h"
#include "sdr/long_operation.h"
#include "sdr/sdr_file_import.h"

#include <filesystem>
#include <utility>
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

// What the wizard holds for its runs; the runs read and update it.
struct TSdrRunState {
    TComPtr<IKavroApplication> application;
    TComPtr<IKavroDb> database;
    // The wizard's transformation state; each run prepares it. Without one points pass
    // unchanged.
    TImportTransformation* transformation = nullptr;
    // The file selection (names with folders); the preview removes the files that failed.
    std::vector<std::filesystem::path> files;
    TSdrErrorList errors;
    // The files of the last loop that were read without an error but gave no point.
    std::vector<std::filesystem::path> filesWithoutPoints;
    // The preview box: the loop's log and the preview lines (required).
    TTextLines* log = nullptr;
    // The long-operation window; the module's own when null.
    ILongOperation* progress = nullptr;
};

// Runs every selected file through the sink, logging "Файл <name>", the file's lines, "Прочитано
// точек: <count>" and "Операция завершена", or "Ошибка: <message>" for a file that fails (a name
// that is not a regular file is "Файл не найден"); stops after a file when the progress window
// reports cancellation. The extent of all delivered points is merged into `extent`.
void SdrFileLoop(TSdrRunState& state, TNXYZFileImport& sink, ILongOperation& progress,
                 TImportExtent& extent);

// Lists the points of the selected files into the log, then removes the failed files from the
// selection. A preparation error of the transformation propagates.
void RunSdrPreview(TSdrRunState& state);

// Writes the points of the selected files with the parameters, moves the view to them and
// reports "Импорт успешно завершен.", or the files that failed and those that gave no point.
// Errors of the preparation and of moving the view propagate for the wizard's error box.
void RunSdrImport(TSdrRunState& state, const TSdrImportParams& params);

// The closing message of an import run for a non-empty error list.
[[nodiscard]] AnsiString SdrErrorSummary(const TSdrErrorList& errors);
// The closing message of an import run: success only when no file failed and every file gave
// some point.
[[nodiscard]] AnsiString SdrClosingMessage(const TSdrRunState& state);

// The file name as text for log lines and messages.
[[nodiscard]] AnsiString FileNameText(const std::filesystem::path& fileName);

} // namespace SDRImporter
