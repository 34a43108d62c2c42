// The run of every point format: a file's points, read through its reader, converted into
// database coordinates and handed to a sink (the host writer of a wizard, or a preview list),
// with the extent of what was taken, the report of what was not, and the progress window's
// pump and cancel every so many lines.
#pragma once

#include "import/import_extent.h"
#include "import/import_report.h"
#include "import/point_conversion.h"

#include <cstdint>

class ILongOperation;
class TXYZNumberReader;

// Where the converted points of a point import go.
class IPointSink {
public:
    virtual ~IPointSink() = default;
    // False for a sink that writes heights: a point without one is then skipped and counted.
    [[nodiscard]] virtual bool TakesPointsWithoutHeight() const { return true; }
    // A file begins.
    virtual void BeginFile() {}
    // Takes one point; `at` is its position in database coordinates. A value the host refuses
    // is counted in the report and the point still counts as taken; a failure of the database or
    // of the object raises, and ends the run.
    virtual void Write(const TNXYZPoint& point, TPlanePoint at, TImportReport& report) = 0;
    // The file's points are all taken (the host writer commits here); also after an error, which
    // `completed` false tells.
    virtual void EndFile(bool /*completed*/) {}
};

// How the import of a file ended.
enum class TFileImportEnd { Completed, Cancelled };

class TNXYZFileImport {
public:
    // Lines between two looks at the progress window.
    static constexpr std::int64_t kPumpEvery = 1024;

    // Nothing is owned; without a progress window nothing is pumped and nothing cancels.
    TNXYZFileImport(IPointSink& sink, const TPointConversion& conversion, TImportReport& report,
                    ILongOperation* progress = nullptr)
        : m_sink(sink), m_conversion(conversion), m_report(report), m_progress(progress) {}

    // Reads the whole reader into the sink: BeginFile, every point that converts (one that does
    // not is counted and not written), EndFile; the lines the reader skipped join the report.
    // An error of the reader or the sink ends the file and propagates after EndFile, together
    // with EndFile's own failure when there is one. A cancel in the progress window ends the
    // file after the point in hand; what was taken is kept.
    TFileImportEnd Run(TXYZNumberReader& reader);

    // The points the sink took from the last file, and from every file so far.
    [[nodiscard]] std::int64_t PointsOfLastFile() const { return m_lastFile; }
    [[nodiscard]] std::int64_t Points() const { return m_points; }
    // The extent of every point taken so far.
    [[nodiscard]] const TImportExtent& Extent() const { return m_extent; }

private:
    bool ReadAll(TXYZNumberReader& reader);

    IPointSink& m_sink;
    TPointConversion m_conversion;
    TImportReport& m_report;
    ILongOperation* m_progress;
    TImportExtent m_extent;
    std::int64_t m_lastFile = 0;
    std::int64_t m_points = 0;
};
