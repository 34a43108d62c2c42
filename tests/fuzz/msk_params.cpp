// The parameters of a local zone system: {"Zones": [reference objects]}.
#include "fuzz_support.h"

#include "coords/msk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TCoordinateReferenceDef def;
    def.Format = "MSK";
    def.Parameters.assign(reinterpret_cast<const char*>(data), size);
    TMSKCoordinateReference reference(def);
    try {
        reference.ReadParameters();
    } catch (const EUserError&) {
        return 0;
    }
    // Parameters that read compose into parameters that read to the same zones.
    const AnsiString composed = reference.ComposeParameters();
    TCoordinateReferenceDef again = def;
    again.Parameters = composed;
    TMSKCoordinateReference copy(again);
    copy.ReadParameters();
    FUZZ_CHECK(copy.Zones().size() == reference.Zones().size());
    FUZZ_CHECK(copy.ComposeParameters() == composed);
    const auto clone = reference.Clone();
    FUZZ_CHECK(static_cast<TMSKCoordinateReference&>(*clone).Zones().size() ==
               reference.Zones().size());
    return 0;
}
