// RPT survey reports through the file reader: station, sighting and XYZ records.
#include "fuzz_support.h"

#include "sdr/xyz_number_reader.h"
#include "text/number_text.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".rpt");
    WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
    AnsiString number;
    double x = 0, y = 0, z = 0;
    try {
        SDRReader::TRPTFileReader reader(file);
        while (reader.ReadPoint(number, x, y, z)) {
            FUZZ_CHECK(number == reader.Station() + reader.Sighting());
            FUZZ_CHECK(number.size() <= size);
            FUZZ_CHECK(std::isfinite(x) && std::isfinite(y) && std::isfinite(z));
        }
    } catch (const EConvertError&) {
    }
    return 0;
}
