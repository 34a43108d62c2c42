// The lines a wizard's last page shows about a run: before it, what it will do; after it, what
// it did. Each wizard adds its own lines to the ones here.
#pragma once

#include "import/import_report.h"

#include <string_view>
#include <vector>

class TImportTransformation;

// The Russian forms of a counted noun (CountedNoun).
struct TNounForms {
    std::string_view one;
    std::string_view few;
    std::string_view many;
};

// The captions the wizard shows for the identifiers a point run writes to.
struct TRunTargetNames {
    AnsiString layer;
    AnsiString style;
    AnsiString table;
};

// A name as the summaries quote it: «name».
[[nodiscard]] AnsiString QuotedName(const AnsiString& name);

// "5 точек": the count with the noun in its form.
[[nodiscard]] AnsiString CountText(std::int64_t count, const TNounForms& noun);

// The coordinate conversion in one line: none, the affine chain's steps, or from the source
// coordinate system into the database's one (names in quotes).
[[nodiscard]] AnsiString TransformationSummaryLine(const TImportTransformation* transformation);

// "Слой: «layer» карты «map»" (without the map when it is empty); a missing layer is named so.
[[nodiscard]] AnsiString LayerSummaryLine(const AnsiString& map, const AnsiString& layer);
// "Стиль: «style»", or that none is chosen.
[[nodiscard]] AnsiString StyleSummaryLine(const AnsiString& style);

// A run's report: "Импортировано: <count of `imported`>", then one line per skip reason with its
// first row or line numbers and the characters replaced, or that nothing was skipped.
[[nodiscard]] std::vector<AnsiString> ReportLines(const TImportReport& report,
                                                  const TNounForms& imported);

// Lines joined by CR LF.
[[nodiscard]] AnsiString JoinLines(const std::vector<AnsiString>& lines);
