// The coordinate system's clipboard line: "caption", "format", "parameters"[, "box"].
#include "fuzz_support.h"

#include "coords/coordinate_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    TCoordinateReferenceDef def;
    try {
        def.ReadClipboardLine(line);
    } catch (const ECoordinateSystemError&) {
        return 0;
    }
    // The line written for what was read reads back to the same reference.
    const AnsiString written = def.ClipboardLine();
    TCoordinateReferenceDef again;
    again.ReadClipboardLine(written);
    FUZZ_CHECK(again.ClipboardLine() == written);
    FUZZ_CHECK(again.Format == def.Format);
    FUZZ_CHECK(again.HasBoundingBox == def.HasBoundingBox);
    return 0;
}
