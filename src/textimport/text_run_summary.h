// What a text import run will do, in the lines the wizard's last page shows before "Импорт".
#pragma once

#include "textimport/text_import_run.h"

#include <vector>

// The names the wizard shows for the identifiers of a run's inputs.
struct TTextRunNames {
    AnsiString map;
    AnsiString layer;
    // The style's name of each style entry, in the entries' order (empty: none chosen).
    std::vector<AnsiString> styles;
};

// The caption of an import method in the wizard's list; empty for an unknown index.
[[nodiscard]] AnsiString TextImportMethodCaption(int method);

// The rows the run will read (from the first data row to the last) with their row numbers, the
// method, the X and Y columns, the layer and the style (or the classifier's values with how many
// have a style), the mapped columns and the coordinate conversion. Reads no widget and changes
// nothing; inputs the parameter checks would refuse are named as missing.
[[nodiscard]] std::vector<AnsiString> TextRunSummary(const TTextImportInputs& inputs,
                                                     const TTextRunNames& names);
