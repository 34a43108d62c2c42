// The bounding-box text "minX minY maxX maxY".
#include "fuzz_support.h"

#include "coords/coordinate_reference.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto box = ParseBoundingBoxText(text);
    TCoordinateReferenceDef def;
    def.SetBoundingBoxText(text);
    FUZZ_CHECK(def.HasBoundingBox == box.has_value());
    if (!box)
        return 0;
    FUZZ_CHECK(box->min.x <= box->max.x && box->min.y <= box->max.y);
    // The written text reads back, and writes the same text again.
    const AnsiString written = BoundingBoxText(*box);
    const auto reread = ParseBoundingBoxText(written);
    FUZZ_CHECK(reread.has_value());
    FUZZ_CHECK(BoundingBoxText(*reread) == written);
    return 0;
}
