// The database configuration document (XML) and the coordinate system read from it.
#include "fuzz_support.h"

#include "coords/database_configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Reading never throws: a failure is a failed result with a message and no reference.
    TGisDatabaseConfiguration configuration;
    const TFunctionResult result = configuration.Read(bytes);
    if (!result.Succeeded()) {
        FUZZ_CHECK(!result.Message.empty());
        FUZZ_CHECK(configuration.DatabaseReference().IsUndefined());
    }
    const TCoordinateReferenceDef reference =
        GetDatabaseCoordinateReference([&bytes](const AnsiString&, std::string& out) {
            out = bytes;
            return true;
        });
    if (!result.Succeeded())
        FUZZ_CHECK(reference.Caption == LocalCoordinateSystemCaption());
    else
        FUZZ_CHECK(reference.JoinedText() == configuration.DatabaseReference().JoinedText());
    return 0;
}
