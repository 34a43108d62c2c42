// The PTS point file: one point per line, "number, X, Y[, comment]", blank lines skipped.
#pragma once

#include "import/point_format.h"
#include "import/xyz_number_reader.h"

// A line that is not blank must be a point: a bad X or Y raises the conversion error, which
// ends the file (the reader names the file and the line).
class TPtsFormat final : public IPointFormat {
public:
    TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) override;
};

// A PTS file read through its format.
class TInputPtsFile final : public TXYZNumberReader {
public:
    explicit TInputPtsFile(const std::filesystem::path& fileName)
        : TXYZNumberReader(fileName, std::make_unique<TPtsFormat>()) {}
};

// One stripped, non-empty PTS line into its fields; raises the conversion error for a bad X
// or Y (X first). The point has no height.
void ParsePtsLine(std::string_view line, TNXYZPoint& point);
