// The PTS import run: what the wizard hands it, the file checks and the preview.
#pragma once

#include "import/preview_lines.h"
#include "pts/pts_import_cache.h"

#include <filesystem>

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
// moves the view to the points when they span some width or height, commits, and shows
// "Импорт успешно завершен.". Errors propagate for the wizard's error box; objects created
// before an error are committed.
void RunPtsImport(const TPtsImportSettings& settings);

// The preview of a chosen file: clears the lines, then lists the file. False (no message) for
// an extension other than ".pts", an unreadable file or an invalid line; lines listed before
// the failure stay.
[[nodiscard]] bool PreviewPtsFile(const std::filesystem::path& fileName, TTextLines& lines);

// The checks of "Далее >" on the first page: the message to show, or empty when both pass.
[[nodiscard]] AnsiString CheckPtsFirstPage(const std::filesystem::path& fileName,
                                           const AnsiString& layerId);

} // namespace PtsImportForms
