// SDR survey files through the file reader: "08" coordinate records at fixed positions.
#include "fuzz_support.h"

#include "sdr/survey_readers.h"
#include "text/number_text.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".sdr");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    WriteFile(file, bytes);
    TNXYZPoint point;
    std::int64_t lastLine = 0;
    try {
        auto reader = SDRReader::ReaderForFile(file);
        while (reader->ReadPoint(point)) {
            FUZZ_CHECK(point.Number.size() <= 16);
            FUZZ_CHECK(point.Z && std::isfinite(point.X) && std::isfinite(point.Y) &&
                       std::isfinite(*point.Z));
            // Lines are numbered in order, one point a line at most.
            FUZZ_CHECK(point.Line > lastLine);
            lastLine = point.Line;
        }
    } catch (const EPointFileError&) {
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
