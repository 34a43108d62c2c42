// Coordinate system references in their JSON forms: one object, or an array of objects.
#include "fuzz_support.h"

#include "coords/coordinate_reference.h"

namespace {
void CheckSame(const TCoordinateReferenceDef& a, const TCoordinateReferenceDef& b) {
    FUZZ_CHECK(a.Type == b.Type);
    FUZZ_CHECK(a.Caption == b.Caption);
    FUZZ_CHECK(a.Format == b.Format);
    FUZZ_CHECK(a.Parameters == b.Parameters);
    FUZZ_CHECK(a.HasBoundingBox == b.HasBoundingBox);
    if (a.HasBoundingBox)
        FUZZ_CHECK(BoundingBoxText(a.BoundingBox) == BoundingBoxText(b.BoundingBox));
}

// Reads the object, writes it, reads that and writes it again: the second reading is the
// first one and the two texts are the same.
void RoundTripObject(const TJson& object) {
    TCoordinateReferenceDef def;
    try {
        def.LoadFromJSON(object);
    } catch (const EJsonError&) {
        return;
    }
    TJson written;
    def.SaveToJSON(written);
    const AnsiString text = DumpAnsiJson(written);
    TCoordinateReferenceDef again;
    again.LoadFromJSON(ParseAnsiJson(text));
    TJson rewritten;
    again.SaveToJSON(rewritten);
    FUZZ_CHECK(DumpAnsiJson(rewritten) == text);
    TCoordinateReferenceDef third;
    third.LoadFromJSON(rewritten);
    CheckSame(again, third);
}

void RoundTripList(const TJson& array) {
    TCoordinateReferenceList list;
    try {
        LoadReferenceListFromJSON(list, array);
    } catch (const EJsonError&) {
        return;
    }
    FUZZ_CHECK(array.is_array() && list.size() == array.size());
    TJson written;
    SaveReferenceListToJSON(list, written);
    TCoordinateReferenceList again;
    LoadReferenceListFromJSON(again, ParseAnsiJson(DumpAnsiJson(written)));
    FUZZ_CHECK(again.size() == list.size());
    TJson rewritten;
    SaveReferenceListToJSON(again, rewritten);
    FUZZ_CHECK(DumpAnsiJson(rewritten) == DumpAnsiJson(written));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TJson value;
    try {
        value = ParseAnsiJson(text);
    } catch (const EJsonError&) {
        return 0;
    }
    RoundTripObject(value);
    RoundTripList(value);
    return 0;
}
