// The host stand-in's project description (JSON), and the configuration document written from
// its coordinate system as the module reads it.
#include "fuzz_support.h"

#include "coords/database_configuration.h"
#include "host/core/project_description.h"
#include "text/text_rules.h"

using nlohmann::json;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    json description;
    try {
        description = json::parse(data, data + size);
    } catch (const json::exception&) {
        return 0;
    }
    json normal;
    try {
        normal = kavrohost::NormalizeDescription(description);
    } catch (const kavrohost::EDescriptionError&) {
        return 0;
    }
    // The normal form is its own normal form.
    FUZZ_CHECK(kavrohost::NormalizeDescription(normal) == normal);
    if (!normal.contains("coordinateSystem"))
        return 0;
    const json& cs = normal["coordinateSystem"];
    TGisDatabaseConfiguration configuration;
    const TFunctionResult result = configuration.Read(kavrohost::ConfigurationDocument(cs));
    FUZZ_CHECK(result.Succeeded());
    const TCoordinateReferenceDef& def = configuration.DatabaseReference();
    const std::string format = cs["format"].get<std::string>();
    if (format.find('\0') == std::string::npos)
        FUZZ_CHECK(def.Format == AnsiString(TrimControls(Utf8ToAnsi(format))) ||
                   format.find_first_of("\t\r\n") != std::string::npos);
    FUZZ_CHECK(def.SwitchXY == cs["switchXY"].get<bool>());
    FUZZ_CHECK(def.HasBoundingBox == cs.contains("boundingBox"));
    return 0;
}
