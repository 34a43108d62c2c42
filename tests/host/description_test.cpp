#include "host/core/host_session.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <fstream>

using namespace kavrohost;

TEST(ProjectDescription, RoundTripsThroughTheProjectFile) {
    TTempDir dir;
    auto description = SmallProjectDescription();
    CreateProject(dir / "p.kavro", description);
    EXPECT_EQ(ExportDescription(dir / "p.kavro"), description);
}

TEST(ProjectDescription, RefusesMalformedDescriptions) {
    struct TCase {
        const char* name;
        const char* patch; // JSON merge patch applied to the small project
        const char* messagePart;
    } cases[] = {
        {"long id",
         R"({"activeMap": null, "activeLayer": null, "maps": [{"id": "M1234567890123456", "name": "x"}]})",
         "длиннее 15"},
        {"duplicate layer",
         R"({"activeMap": null, "activeLayer": null, "maps": [{"id": "A", "name": "a", "layers": [{"id": "L", "name": "1"}, {"id": "L", "name": "2"}]}]})",
         "повторяется"},
        {"bad mode",
         R"({"activeMap": null, "activeLayer": null, "maps": [{"id": "A", "name": "a", "layers": [{"id": "L", "name": "1", "tables": [{"id": "T", "name": "t", "mode": 2}]}]}]})",
         "режим"},
        {"unknown active layer", R"({"activeLayer": "NOPE"})", "NOPE"},
        {"huge type code",
         R"({"activeMap": null, "activeLayer": null, "maps": [{"id": "A", "name": "a", "layers": [{"id": "L", "name": "1", "tables": [{"id": "T", "name": "t", "fields": [{"name": "F", "type": 4294967306}]}]}]}]})",
         "32-битным"},
        {"bad base64", R"({"streams": [{"name": "x", "base64": "**"}]})", "base64"},
        {"missing format", R"({"coordinateSystem": {"format": null}})", "format"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        auto d = SmallProjectDescription();
        d.merge_patch(nlohmann::json::parse(c.patch));
        try {
            CreateProject(dir / "p.kavro", d);
            ADD_FAILURE() << "accepted";
        } catch (const EDescriptionError& e) {
            EXPECT_NE(std::string(e.what()).find(c.messagePart), std::string::npos) << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "p.kavro"));
    }
}

TEST(ProjectDescription, WritesTheConfigurationDocumentFromTheCoordinateSystem) {
    auto xml = ConfigurationDocument(SmallProjectDescription()["coordinateSystem"]);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    auto ref = doc.document_element().child("DatabaseCoordinateReference");
    EXPECT_STREQ(ref.attribute("caption").value(), "WGS 84 / UTM zone 37N");
    EXPECT_STREQ(ref.attribute("switchXY").value(), "false");
    auto def = ref.child("Definition");
    EXPECT_STREQ(def.attribute("format").value(), "PROJ4");
    EXPECT_STREQ(def.attribute("boundingBox").value(), "0 0 1000000 9000000");
    EXPECT_STREQ(def.text().get(), "+proj=utm +zone=37 +datum=WGS84 +units=m +no_defs");
    EXPECT_STREQ(ref.child("BoundingBox").text().get(), "0 0 1000000 9000000");
}

TEST(ProjectDescription, TheDemoProjectIsValidAndRoundTrips) {
    std::ifstream in(TI_SOURCE_DIR "/samples/demo-project.json");
    ASSERT_TRUE(in);
    auto description = nlohmann::json::parse(in);
    TTempDir dir;
    CreateProject(dir / "demo.kavro", description);
    EXPECT_EQ(ExportDescription(dir / "demo.kavro"), description);
    EXPECT_EQ(NormalizeDescription(description), description); // written in the normal form
}
