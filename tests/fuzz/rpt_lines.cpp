// RPT survey reports through the file reader: station, sighting and XYZ records.
#include "fuzz_support.h"

#include "sdr/survey_readers.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".rpt");
    WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
    TNXYZPoint point;
    try {
        SDRReader::TRPTFileReader reader(file);
        while (reader.ReadPoint(point)) {
            FUZZ_CHECK(point.Number == reader.Rpt().Station() + reader.Rpt().Sighting());
            FUZZ_CHECK(point.Number.size() <= size);
            FUZZ_CHECK(point.Z && std::isfinite(point.X) && std::isfinite(point.Y) &&
                       std::isfinite(*point.Z));
        }
    } catch (const EPointFileError&) {
    }
    return 0;
}
