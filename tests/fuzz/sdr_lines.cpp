// SDR survey files through the file reader: "08" coordinate records at fixed positions.
#include "fuzz_support.h"

#include "sdr/xyz_number_reader.h"
#include "text/number_text.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".sdr");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    WriteFile(file, bytes);
    AnsiString number;
    double x = 0, y = 0, z = 0;
    try {
        auto reader = SDRReader::ReaderForFile(file);
        while (reader->ReadPoint(number, x, y, z)) {
            FUZZ_CHECK(number.size() <= 16);
            FUZZ_CHECK(std::isfinite(x) && std::isfinite(y) && std::isfinite(z));
        }
    } catch (const EConvertError&) {
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
