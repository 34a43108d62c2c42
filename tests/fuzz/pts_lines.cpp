// PTS point files through the file reader: "number, X, Y[, comment]" per line.
#include "fuzz_support.h"

#include "pts/xyz_number_input.h"
#include "text/number_text.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".pts");
    WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
    AnsiString number, comment;
    double x = 0, y = 0;
    std::size_t points = 0;
    try {
        TInputPtsFile input(file);
        while (input.ReadPoint(number, comment, x, y)) {
            ++points;
            // Every point comes from a line of its own, and its texts from that line.
            FUZZ_CHECK(points * 2 <= size + 1);
            FUZZ_CHECK(number.size() + comment.size() <= size);
            FUZZ_CHECK(std::isfinite(x) && std::isfinite(y));
        }
    } catch (const EConvertError&) {
    }
    return 0;
}
