// SDR survey files through the file reader: "08" coordinate records at fixed positions, and the
// same file read again reducing its observations (header, station, target height, backsight and
// observation records).
#include "fuzz_support.h"

#include "sdr/survey_readers.h"
#include "text/number_text.h"

#include <cmath>
#include <set>
#include <vector>

namespace {

struct TRun {
    std::vector<TNXYZPoint> points;
    bool failed = false;
};

TRun ReadAll(const std::filesystem::path& file, bool reduce) {
    SDRReader::TSurveyReadOptions options;
    options.ReduceObservations = reduce;
    TRun run;
    TNXYZPoint point;
    try {
        auto reader = SDRReader::ReaderForFile(file, options);
        while (reader->ReadPoint(point)) {
            FUZZ_CHECK(point.Number.size() <= 16);
            FUZZ_CHECK(std::isfinite(point.X) && std::isfinite(point.Y));
            FUZZ_CHECK(!point.Z || std::isfinite(*point.Z));
            run.points.push_back(point);
        }
    } catch (const EPointFileError&) {
        run.failed = true;
    }
    return run;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".sdr");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    WriteFile(file, bytes);

    const TRun plain = ReadAll(file, false);
    std::int64_t lastLine = 0;
    for (const TNXYZPoint& point : plain.points) {
        FUZZ_CHECK(point.Z && !point.Computed);
        // Lines are numbered in order, one point a line at most.
        FUZZ_CHECK(point.Line > lastLine);
        lastLine = point.Line;
    }

    // Reducing: the coordinate records first, as they are without reducing, then the computed
    // points in the order of their lines, none of them numbered as a coordinate record.
    const TRun reduced = ReadAll(file, true);
    std::set<AnsiString> recordNumbers;
    std::size_t records = 0;
    while (records < reduced.points.size() && !reduced.points[records].Computed) {
        const TNXYZPoint& p = reduced.points[records];
        FUZZ_CHECK(records < plain.points.size());
        const TNXYZPoint& q = plain.points[records];
        FUZZ_CHECK(p.Number == q.Number && p.X == q.X && p.Y == q.Y && p.Z == q.Z &&
                   p.Line == q.Line);
        recordNumbers.insert(p.Number);
        ++records;
    }
    if (!reduced.failed)
        FUZZ_CHECK(records == plain.points.size() && !plain.failed);
    lastLine = 0;
    for (std::size_t i = records; i < reduced.points.size(); ++i) {
        const TNXYZPoint& p = reduced.points[i];
        FUZZ_CHECK(p.Computed && !recordNumbers.contains(p.Number));
        FUZZ_CHECK(p.Line > lastLine);
        lastLine = p.Line;
    }

    // One line alone: a rejected line leaves the last record's values as they were.
    SDRReader::TSdrParser parser;
    try {
        if (!parser.ParseLine(bytes))
            FUZZ_CHECK(parser.Number().empty() && parser.X() == 0 && parser.Y() == 0);
    } catch (const EConvertError&) {
        // A coordinate that reads only as a hexadecimal integer.
    }
    return 0;
}
