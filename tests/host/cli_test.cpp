// The kavro-host binary's subcommands on a small project.
#include "host/core/host_session.h"
#include "host_cli.h"
#include "registry_env.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class KavroHostCli : public ::testing::Test {
protected:
    THostRun Run(const std::string& arguments, const std::string& env = "") {
        return RunKavroHost(m_dir.Path(), arguments, env);
    }
    std::string Project() {
        auto file = m_dir / "p.kavro";
        if (!std::filesystem::exists(file)) {
            std::ofstream(m_dir / "p.json") << SmallProjectDescription().dump();
            EXPECT_EQ(
                Run("create '" + file.string() + "' --from '" + (m_dir / "p.json").string() + "'")
                    .code,
                0);
        }
        return "'" + file.string() + "'";
    }

    TTempDir m_dir;
    TRegistryEnv m_env{m_dir / "registry.reg"};
};

const std::string kAddon = std::string("'") + TEST_ADDON_PATH + "'";

} // namespace

TEST_F(KavroHostCli, CreatesAndDescribesAProject) {
    std::string project = Project();
    auto r = Run("describe " + project);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out), SmallProjectDescription());
    EXPECT_EQ(Run("create " + project + " --from '" + (m_dir / "p.json").string() + "'").code, 1);
}

TEST_F(KavroHostCli, BadFilesFailWithMessages) {
    std::ofstream(m_dir / "text.kavro") << "not a project";
    std::ofstream(m_dir / "bad.json") << "{\"maps\": 5}";
    struct TCase {
        std::string args, message;
    } cases[] = {
        {"objects '" + (m_dir / "text.kavro").string() + "'", "не является проектом"},
        {"objects '" + (m_dir / "none.kavro").string() + "'", "не найден"},
        {"create '" + (m_dir / "n.kavro").string() + "' --from '" + (m_dir / "bad.json").string() +
             "'",
         "\"maps\" должно быть массивом"},
        {"info '" + (m_dir / "text.kavro").string() + "'", "Не удалось загрузить модуль"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        auto r = Run(c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(KavroHostCli, UsageErrorsExitWithTwo) {
    for (const char* args :
         {"", "frobnicate", "create x.kavro", "objects", "run a b notanumber", "export x.kavro",
          "gui --quit-after-ms", "info a --bogus", "gui --play s.json", "gui p.kavro --pictures d",
          "gui p.kavro --play s.json --quit-after-ms 5"}) {
        SCOPED_TRACE(args);
        auto r = Run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("usage: kavro-host"), std::string::npos);
    }
}

TEST_F(KavroHostCli, RegistersShowsRunsListsExportsAndUnregisters) {
    std::string project = Project();
    ASSERT_EQ(Run("register " + kAddon).code, 0);

    auto info = Run("info " + kAddon);
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("Class id: {9A7E2C11-5B0D-4F3A-8E21-6C4D2B1A0F31}"), std::string::npos);
    EXPECT_NE(info.out.find("Caption: Тестовое расширение"), std::string::npos);
    EXPECT_NE(info.out.find("Integers: 0 260"), std::string::npos);
    EXPECT_NE(info.out.find("Command 1: AddPoint | Добавить точку | &Сервис\\&Тест\\Точка..."),
              std::string::npos);

    auto run = Run("run " + kAddon + " " + project + " 1");
    ASSERT_EQ(run.code, 0) << run.err;
    auto objects = Run("objects " + project);
    ASSERT_EQ(objects.code, 0);
    EXPECT_EQ(objects.out, "1 L1 | shape S1 open 1: (10 20 0)\n");

    auto failed = Run("run " + kAddon + " " + project + " 2");
    EXPECT_EQ(failed.code, 1);
    EXPECT_NE(failed.err.find("Сбой команды"), std::string::npos);

    ASSERT_EQ(Run("export " + project + " --geojson '" + (m_dir / "o.geojson").string() + "'").code,
              0);
    auto geojson = nlohmann::json::parse(ReadAll(m_dir / "o.geojson"));
    ASSERT_EQ(geojson["features"].size(), 1u);
    EXPECT_EQ(geojson["features"][0]["geometry"],
              nlohmann::json::parse(R"({"type": "Point", "coordinates": [10, 20]})"));
    EXPECT_EQ(geojson["features"][0]["properties"]["layer"], "L1");
    EXPECT_EQ(geojson["features"][0]["properties"]["style"], "S1");
    // The coordinates are the database's, and the collection says in which system.
    EXPECT_EQ(geojson["crs"]["properties"]["name"],
              SmallProjectDescription()["coordinateSystem"]["parameters"]);

    ASSERT_EQ(Run("unregister " + kAddon).code, 0);
    auto gone = Run("info " + kAddon);
    EXPECT_EQ(gone.code, 1);
    EXPECT_NE(gone.err.find("не зарегистрирован"), std::string::npos);
    EXPECT_EQ(ReadAll(m_dir / "registry.reg").find("9A7E2C11"), std::string::npos);
}

TEST_F(KavroHostCli, GuiStartsOffscreenWithTheAddOnMenuAndQuits) {
    std::string project = Project();
    ASSERT_EQ(Run("register " + kAddon).code, 0);
    auto r = Run("gui " + project + " --quit-after-ms 200", "QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST_F(KavroHostCli, LoadsTheTextImportModuleWhenItIsBuilt) {
    std::filesystem::path module = TI_BIN_DIR "/TextImport.so";
    if (!std::filesystem::exists(module))
        GTEST_SKIP() << "TextImport.so is not built";
    ASSERT_EQ(Run("register '" + module.string() + "'").code, 0);
    auto info = Run("info '" + module.string() + "'");
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("Class id: {27DACE42-8427-11D2-AF21-0020AFDED75D}"), std::string::npos);
    EXPECT_NE(info.out.find("Caption: Импорт PTS, SDR, RPT, TEXT файлов"), std::string::npos);
    EXPECT_NE(info.out.find("Integers: 0 260"), std::string::npos);
    EXPECT_NE(info.out.find("Command 1: ImportText | Импорт текста | &Сервис\\&Импорт\\Текст..."),
              std::string::npos);
    EXPECT_NE(info.out.find("Command 3: ImportSdr"), std::string::npos);
    // A command id the module does not list is not run.
    auto run =
        Run("run '" + module.string() + "' " + Project() + " 4", "QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("не знает команды 4 (его команды: 1, 2, 3)"), std::string::npos)
        << run.err;
}

// What goes wrong ends with a message and a failing exit code, never an uncaught exception or
// a success.
TEST_F(KavroHostCli, FailuresExitNonZeroWithAMessage) {
    const std::string project = Project();
    ASSERT_EQ(Run("register " + kAddon).code, 0);
    const std::string missing = (m_dir / "missing").string();
    struct TCase {
        const char* binary;
        std::string args, message;
    } cases[] = {
        {"kavro-host", "run " + kAddon + " " + project + " 999", "не знает команды 999"},
        {"kavro-host",
         "gui " + project + " --quit-after-ms 50 --screenshot '" + missing + "/s.png'",
         "cannot write " + missing + "/s.png"},
        {"kavro-host", "gui " + project + " --play '" + m_dir.Path().string() + "'",
         m_dir.Path().string()},
        {"kavro-host-hotpath", "10 '" + missing + "'", missing},
        {"kavro-host-paintbench", "10 '" + missing + "'", missing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const auto r = RunHostBinary(m_dir.Path(), c.binary, c.args, "QT_QPA_PLATFORM=offscreen");
        EXPECT_GT(r.code, 0);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(KavroHostCli, ExportsPointsLinesPolygonsAndCollections) {
    std::string project = Project();
    {
        using namespace kavrohost;
        THostSession session(m_dir / "p.kavro");
        TComPtr<IKavroMapObjects> objects;
        ASSERT_EQ(session.Database()->get_MapObjects(objects.Put()), S_OK);
        struct TPart {
            std::vector<std::pair<double, double>> vertices;
            bool closed;
        };
        auto add = [&](const std::vector<TPart>& parts) {
            TComPtr<IKavroMapObject> object;
            TComPtr<IKavroShapes> shapes;
            TComPtr<IKavroShape> shape;
            TComPtr<IKavroContour> contour;
            ASSERT_EQ(objects->Add(TBstr(u"L1").Get(), object.Put()), S_OK);
            ASSERT_EQ(object->get_Shapes(shapes.Put()), S_OK);
            ASSERT_EQ(shapes->Add(-1, TBstr(u"S2").Get(), shape.Put()), S_OK);
            ASSERT_EQ(shape->get_Contour(contour.Put()), S_OK);
            for (const auto& p : parts) {
                TComPtr<IKavroContourPart> part;
                ASSERT_EQ(contour->Add(-1, part.Put()), S_OK);
                for (auto [x, y] : p.vertices)
                    ASSERT_EQ(part->AddVertex(-1, x, y, 0), S_OK);
                if (p.closed) {
                    ASSERT_EQ(part->put_Closed(VARIANT_TRUE), S_OK);
                }
            }
            TComPtr<IKavroSemData> data;
            ASSERT_EQ(object->get_SemData(data.Put()), S_OK);
            ASSERT_EQ(data->SetValue(TBstr(u"POINTS").Get(), TBstr(u"H").Get(),
                                     TVariant::Double(1.5).Raw(), 0),
                      S_OK);
        };
        add({{{{0, 0}, {1, 1}}, false}});
        add({{{{0, 0}, {1, 0}, {1, 1}}, true}});
        add({{{{0, 0}, {1, 0}}, true}});
        add({{{{5, 5}}, false}, {{{6, 6}, {7, 7}}, false}});
        ASSERT_EQ(objects->Commit(), S_OK);
    }
    auto listing = Run("objects " + project);
    ASSERT_EQ(listing.code, 0);
    EXPECT_NE(listing.out.find(
                  "2 L1 | shape S2 closed 3: (0 0 0) (1 0 0) (1 1 0) | POINTS.H = double 1.5"),
              std::string::npos)
        << listing.out;
    ASSERT_EQ(Run("export " + project + " --geojson '" + (m_dir / "o.geojson").string() + "'").code,
              0);
    auto features = nlohmann::json::parse(ReadAll(m_dir / "o.geojson"))["features"];
    ASSERT_EQ(features.size(), 4u);
    EXPECT_EQ(features[0]["geometry"]["type"], "LineString");
    EXPECT_EQ(features[1]["geometry"],
              nlohmann::json::parse(
                  R"({"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [1, 1], [0, 0]]]})"));
    EXPECT_EQ(features[2]["geometry"]["type"], "LineString");
    EXPECT_EQ(features[3]["geometry"]["type"], "GeometryCollection");
    EXPECT_EQ(features[3]["geometry"]["geometries"][0]["type"], "Point");
    EXPECT_EQ(features[3]["properties"]["POINTS.H"], 1.5);
    EXPECT_EQ(features[3]["properties"]["style"], "S2");
}
