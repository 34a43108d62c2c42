// The PTS import driver and the PTS preview lister.
#pragma once

#include "import/import_extent.h"
#include "import/point_conversion.h"
#include "import/preview_lines.h"
#include "pts/pts_import_cache.h"
#include "pts/xyz_number_input.h"

namespace PtsImportForms {

// Reads every point of a PTS source, converts it and hands it to the PTS writer, keeping the
// extent of what it wrote.
class TNXYZFileImport {
public:
    // Creates the writer (which asks the host for its table); the reader is not owned.
    TNXYZFileImport(TXYZNumberInput& reader, const TPtsWriterSettings& writerSettings,
                    const TPointConversion& conversion)
        : m_writer(writerSettings), m_reader(reader), m_conversion(conversion) {}

    // An error of the reader or the writer ends the run and propagates; the points handed over
    // before it stay with the writer, which the caller commits.
    void Run();
    const TImportExtent& Extent() const { return m_extent; }
    TPtsImportCache& Writer() { return m_writer; }

private:
    TPtsImportCache m_writer;
    TXYZNumberInput& m_reader;
    TImportExtent m_extent;
    TPointConversion m_conversion;
};

// Lists the points of a PTS source as "number x y comment" lines, unconverted, coordinates with
// two decimals and the user's decimal separator.
class TNXYZImportToStrings {
public:
    TNXYZImportToStrings(TXYZNumberInput& reader, TTextLines& lines)
        : m_lines(lines), m_reader(reader) {}
    // Stops at the first invalid line (the error propagates); lines already added stay.
    void Run();

private:
    TTextLines& m_lines;
    TXYZNumberInput& m_reader;
};

// The preview line of one point.
[[nodiscard]] AnsiString PtsPreviewLine(const AnsiString& number, double x, double y,
                                        const AnsiString& comment);

} // namespace PtsImportForms
