// PTS point files through the file reader: "number, X, Y[, comment]" per line.
#include "fuzz_support.h"

#include "pts/pts_reader.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".pts");
    WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
    TNXYZPoint point;
    std::size_t points = 0;
    try {
        TInputPtsFile input(file);
        while (input.ReadPoint(point)) {
            ++points;
            // Every point comes from a line of its own, and its texts from that line.
            FUZZ_CHECK(points * 2 <= size + 1);
            FUZZ_CHECK(static_cast<std::size_t>(point.Line) >= points);
            FUZZ_CHECK(point.Number.size() + point.Comment.size() <= size);
            FUZZ_CHECK(std::isfinite(point.X) && std::isfinite(point.Y) && !point.Z);
        }
    } catch (const EPointFileError&) {
    }
    return 0;
}
