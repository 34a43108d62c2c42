// The demo as a newcomer runs it: the demo project created from its description, the module
// registered, and the recorded session of samples/ played in the desktop host, which imports
// the survey job through the module's three wizards from the host's menu. The project is read
// afterwards, and the GeoJSON export through GDAL's ogrinfo when it is installed.
#include "../host/host_cli.h"
#include "host/core/host_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using kavrohost::TObjectRecord;

namespace {

const std::filesystem::path kSamples = std::filesystem::path(TI_SOURCE_DIR) / "samples";

std::string Quote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

const kavrohost::TValueRecord* Value(const TObjectRecord& o, const char* field) {
    for (const auto& v : o.values)
        if (v.field == field)
            return &v;
    return nullptr;
}

const TObjectRecord* Numbered(const std::vector<TObjectRecord>& all, const std::string& number) {
    for (const TObjectRecord& o : all)
        if (const auto* v = Value(o, "NUMBER"); v && v->text == number)
            return &o;
    return nullptr;
}

class DemoSession : public ::testing::Test {
protected:
    void SetUp() override {
        m_env = "TEXTIMPORT_REGISTRY=" + Quote(m_dir / "registry.reg") + " ";
        ASSERT_EQ(
            Run("create " + Quote(m_project) + " --from " + Quote(kSamples / "demo-project.json"))
                .code,
            0);
        ASSERT_EQ(Run("register '" TI_BIN_DIR "/TextImport.so'").code, 0);
    }
    THostRun Run(const std::string& arguments, const std::string& prefix = "") {
        return RunKavroHost(m_dir.Path(), arguments, m_env + prefix);
    }

    TTempDir m_dir;
    std::filesystem::path m_project = m_dir / "demo.kavro";
    std::string m_env;
};

TEST_F(DemoSession, ImportsTheSurveyJobThroughTheWizards) {
    const auto pictures = m_dir / "pictures";
    const THostRun play =
        Run("gui " + Quote(m_project) + " --play " + Quote(kSamples / "demo-session.json") +
                " --pictures " + Quote(pictures),
            "QT_QPA_PLATFORM=offscreen timeout 300");
    ASSERT_EQ(play.code, 0) << play.out << play.err;

    const std::vector<TObjectRecord> objects = kavrohost::ReadObjects(m_project);
    std::map<std::string, int> perStyle;
    for (const TObjectRecord& o : objects)
        for (const auto& shape : o.shapes)
            ++perStyle[o.layerId + "/" + shape.styleId];
    const std::map<std::string, int> expected = {{"GEODESY/GGS", 4},
                                                 {"GEODESY/REPER", 4},
                                                 {"GEODESY/PIKET", 11 + 22 + 14 + 12 + 8 + 10 + 13},
                                                 {"PARCELS/PARCEL", 6}};
    EXPECT_EQ(perStyle, expected);

    // The triangulation point, from WGS 84 degrees, lands within a centimetre of where the
    // total station's file has it as its backsight (survey1.sdr, "08KI2041").
    const TObjectRecord* point = Numbered(objects, "2041");
    ASSERT_NE(point, nullptr);
    const auto& vertex = point->shapes.at(0).parts.at(0).vertices.at(0);
    EXPECT_NEAR(vertex.x, 492095.24, 0.01);
    EXPECT_NEAR(vertex.y, 6289577.69, 0.01);
    ASSERT_NE(Value(*point, "HEIGHT"), nullptr);
    EXPECT_DOUBLE_EQ(Value(*point, "HEIGHT")->doubleValue, 171.42);
    ASSERT_NE(Value(*point, "NAME"), nullptr);
    EXPECT_EQ(Value(*point, "NAME")->text, "Пункт триангуляции «Заречье»");
    EXPECT_EQ(Value(*point, "LAID")->text, "1961-06-12");

    // A point of survey5.sdr that was only observed: computed from the second station's
    // observations, it lands within 5 mm of where the survey placed it.
    const TObjectRecord* reduced = Numbered(objects, "510");
    ASSERT_NE(reduced, nullptr);
    const auto& at = reduced->shapes.at(0).parts.at(0).vertices.at(0);
    EXPECT_NEAR(at.x, 493418.930, 0.005);
    EXPECT_NEAR(at.y, 6289352.013, 0.005);
    ASSERT_NE(Value(*reduced, "HEIGHT"), nullptr);
    EXPECT_NEAR(Value(*reduced, "HEIGHT")->doubleValue, 148.287, 0.005);

    for (const char* picture :
         {"map-after-points.png", "map-after-parcels.png", "text-2-parameters.png"})
        EXPECT_EQ(ReadAll(pictures / picture).compare(0, 4, "\x89PNG"), 0) << picture;

    const auto geojson = m_dir / "demo.geojson";
    ASSERT_EQ(Run("export " + Quote(m_project) + " --geojson " + Quote(geojson)).code, 0);
    if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ogrinfo is not installed (Debian package gdal-bin)";
    const std::string listing = m_dir / "ogrinfo.txt";
    ASSERT_EQ(std::system(("ogrinfo -ro -al " + Quote(geojson) + " >" + listing).c_str()), 0);
    const std::string text = ReadAll(listing);
    EXPECT_NE(text.find("Feature Count: 104\n"), std::string::npos) << text.substr(0, 2000);
    EXPECT_NE(text.find("CONVERSION[\"UTM zone 37N\""), std::string::npos);
    EXPECT_NE(text.find("POINTS.NAME (String) = Пункт триангуляции «Заречье»"), std::string::npos);
    EXPECT_NE(text.find("POINTS.HEIGHT (Real) = 171.42"), std::string::npos);
    EXPECT_NE(text.find("PARCELINFO.CADNUM (String) = 76:11:0123401:34"), std::string::npos);
}

} // namespace
