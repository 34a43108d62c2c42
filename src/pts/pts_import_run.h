// The PTS import run: what the wizard hands it, the file checks and the preview.
#pragma once

#include "import/import_report.h"
#include "import/preview_lines.h"
#include "import/run_summary.h"
#include "pts/pts_import_cache.h"

#include <filesystem>
#include <optional>
#include <vector>

class TImportTransformation;

namespace PtsImportForms {

// The wizard's settings at the moment "Импорт" is pressed.
struct TPtsImportSettings {
    TComPtr<IKavroApplication> application;
    TComPtr<IKavroDb> database;
    // The wizard's transformation state, prepared by the run; without one points pass
    // unchanged.
    TImportTransformation* transformation = nullptr;
    std::filesystem::path fileName;
    AnsiString layerId;
    AnsiString styleId;
    AnsiString tableId;
    AnsiString numberField;
    AnsiString commentField; // empty when the list has no selection
};

// Prepares the transformation, checks the file ("Файл не существует"), writes every point,
// moves the view to the points when they span some width or height, commits, and shows the
// closing message: "Импорт успешно завершен." with the count of points, "Импорт завершен." with
// the report when something was skipped, or that the file holds no point. A line that does not
// read, or a failure of the database, ends the run with EImportStopped naming the file and line
// and the objects saved; errors before anything is written propagate as they are. Returns the
// run's report.
TImportReport RunPtsImport(const TPtsImportSettings& settings);

// What a run with the settings will do, for the wizard's last page: the file, the layer and
// style, the fields of the point's number and comment, the coordinate conversion.
[[nodiscard]] std::vector<AnsiString> PtsRunSummary(const TPtsImportSettings& settings,
                                                    const TRunTargetNames& names);

// The preview of a chosen file: clears the lines, then lists the file ("number x y comment",
// unconverted). Nothing when the whole file was listed; otherwise the reason, in the user's
// words (an extension other than ".pts", a file that cannot be opened, the file and line where
// reading stopped); lines listed before the failure stay.
[[nodiscard]] std::optional<AnsiString> PreviewPtsFile(const std::filesystem::path& fileName,
                                                       TTextLines& lines);

// The checks of "Далее >" on the first page: the message to show, or empty when both pass.
[[nodiscard]] AnsiString CheckPtsFirstPage(const std::filesystem::path& fileName,
                                           const AnsiString& layerId);

} // namespace PtsImportForms
