// The desktop host's session player (kavro-host gui PROJECT --play SESSION) against the test
// add-on's dialog: a whole session and what it leaves in the project, the same under Xvfb,
// and how a session that cannot be played fails.
#include "host/core/host_session.h"
#include "host_cli.h"
#include "registry_env.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kavrohost;

namespace {

const std::filesystem::path kSession =
    std::filesystem::path(TI_SOURCE_DIR) / "tests/host/player/session.json";
// Any run that hangs ends after a minute with the code 124.
const std::string kOffscreen = "QT_QPA_PLATFORM=offscreen timeout 60";
const std::string kXvfb = "QT_QPA_PLATFORM=xcb xvfb-run -a timeout 60";

std::string Quote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// Width and height of a PNG file; 0, 0 when it is not one.
std::pair<unsigned, unsigned> PngSize(const std::filesystem::path& file) {
    const std::string bytes = ReadAll(file);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {0, 0};
    auto be32 = [&](std::size_t at) {
        unsigned v = 0;
        for (std::size_t i = 0; i < 4; ++i)
            v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {be32(16), be32(20)};
}

const TValueRecord* Value(const TObjectRecord& o, const std::string& table,
                          const std::string& field) {
    for (const auto& v : o.values)
        if (v.table == table && v.field == field)
            return &v;
    return nullptr;
}

class SessionPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(m_dir / "p.json") << SmallProjectDescription().dump();
        ASSERT_EQ(RunKavroHost(m_dir.Path(),
                               "create " + Quote(m_project) + " --from " + Quote(m_dir / "p.json"))
                      .code,
                  0);
        ASSERT_EQ(RunKavroHost(m_dir.Path(), "register '" TEST_ADDON_PATH "'").code, 0);
    }
    THostRun Play(const std::filesystem::path& session, const std::string& prefix = kOffscreen) {
        return RunKavroHost(m_dir.Path(),
                            "gui " + Quote(m_project) + " --play " + Quote(session) +
                                " --pictures " + Quote(m_dir / "pictures"),
                            prefix);
    }
    // A session of these steps (a JSON list without its brackets) in the test's folder.
    std::filesystem::path Session(const std::string& steps, int timeoutMs = 2000) {
        const auto file = m_dir / "session.json";
        std::ofstream(file) << "{\"timeout\": " << timeoutMs << ", \"steps\": [" << steps << "]}";
        return file;
    }
    void ExpectPlayedSession(const THostRun& run) {
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_NE(run.out.find("step 9/36: pick \"Репер\""), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("session: 36 steps played\n"
                               "Объектов в проекте: 2\n"
                               "  слой \"Пункты\" (L1): объектов 2\n"
                               "    стиль \"Репер\" (S2): фигур 2\n"),
                  std::string::npos)
            << run.out;
        for (const char* picture :
             {"wizard-page-1.png", "wizard-page-2.png", "message.png", "map.png"}) {
            SCOPED_TRACE(picture);
            auto [width, height] = PngSize(m_dir / "pictures" / picture);
            EXPECT_GT(width, 100u);
            EXPECT_GT(height, 50u);
        }
        // The main window is larger than the dialog, the dialog than its message box.
        EXPECT_GT(PngSize(m_dir / "pictures/map.png").first,
                  PngSize(m_dir / "pictures/wizard-page-2.png").first);

        const auto objects = ReadObjects(m_project);
        ASSERT_EQ(objects.size(), 2u);
        const TObjectRecord& point = objects[0];
        ASSERT_EQ(point.shapes.size(), 1u);
        EXPECT_EQ(point.shapes[0].styleId, "S2"); // picked from the pick list
        ASSERT_EQ(point.shapes[0].parts.size(), 1u);
        ASSERT_EQ(point.shapes[0].parts[0].vertices.size(), 1u);
        EXPECT_EQ(point.shapes[0].parts[0].vertices[0].x, 493200.5); // typed into the grid
        EXPECT_EQ(point.shapes[0].parts[0].vertices[0].y, 6289320.25);
        struct TCase {
            const char *table, *field, *type, *text;
        } values[] = {
            {"POINTS", "NAME", "text", "Пункт 7"},
            {"POINTS", "NUM", "int", "7"},
            {"POINTS", "H", "double", "151.25"},
            {"POINTS", "DATE", "date", "2024-05-15"},
            {"HISTORY", "NOTE", "text", "notes-1.txt\nnotes-2.txt"}, // chosen in the file dialog
        };
        for (const auto& c : values) {
            SCOPED_TRACE(c.field);
            const TValueRecord* v = Value(point, c.table, c.field);
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(v->type, c.type);
            EXPECT_EQ(v->text, c.text);
        }
        const TObjectRecord& ring = objects[1];
        ASSERT_EQ(ring.shapes.size(), 1u);
        ASSERT_EQ(ring.shapes[0].parts.size(), 1u);
        EXPECT_TRUE(ring.shapes[0].parts[0].closed); // the check box was checked
        EXPECT_EQ(ring.shapes[0].parts[0].vertices.size(), 4u);
        ASSERT_NE(Value(ring, "POINTS", "NAME"), nullptr);
        EXPECT_EQ(Value(ring, "POINTS", "NAME")->text, "Кольцо");
    }

    TTempDir m_dir;
    TRegistryEnv m_env{m_dir / "registry.reg"};
    std::filesystem::path m_project = m_dir / "p.kavro";
};

} // namespace

TEST_F(SessionPlayer, PlaysASessionThroughADialogOffscreen) {
    ExpectPlayedSession(Play(kSession));
}

TEST_F(SessionPlayer, PlaysTheSameSessionUnderXvfb) {
    if (!std::filesystem::exists("/usr/bin/xvfb-run"))
        GTEST_SKIP() << "xvfb-run is not installed (scripts/install-deps installs it)";
    ExpectPlayedSession(Play(kSession, kXvfb));
}

TEST_F(SessionPlayer, AStepThatCannotBeDoneEndsTheSessionNamingIt) {
    const std::string open =
        R"({"menu": "&Сервис\\&Тест\\&Мастер..."}, {"dialog": "Тестовый мастер"}, )";
    const std::string toValues = R"({"press": "NextButton"}, )";
    struct TCase {
        std::string steps, message;
    } cases[] = {
        {open + R"({"press": "NoSuchButton", "timeout": 300})",
         "session step 3 (press \"NoSuchButton\"): no button \"NoSuchButton\" in \"Тестовый "
         "мастер\" (TestWizard) (waited 300 ms)"},
        {R"({"menu": "Сервис\\Нет такой"})", "session step 1 (menu \"Сервис\\\\Нет такой\"): no "
                                             "menu command \"Сервис\\Нет такой\" (the menus hold"},
        {open + toValues + R"({"press": "AddButton"}, {"answer": "ОК", "message": "Готово"})",
         "session step 5 (answer \"ОК\" message=\"Готово\"): the message box says \"Не задано "
         "название\", not \"Готово\""},
        {open + toValues + R"({"press": "AddButton"}, {"answer": "Да"})",
         "has no button \"Да\" (it has \"ОК\")"},
        {open + toValues + R"({"press": "BrowseButton"}, {"files": ["none.txt"]})",
         "there is no file"},
        {open + toValues + R"({"set": "NumSpin", "value": 20000})",
         "\"NumSpin\" takes 0 to 9999, not 20000"},
        {open + R"({"set": "LayerList", "text": "x"})",
         "\"LayerList\" is a QListWidget: it takes no \"text\""},
        {open + R"({"set": "LayerList", "checked": true})", "it cannot be checked"},
        {open + R"({"set": "StyleCombo", "text": "Нет такого", "timeout": 300})",
         "\"StyleCombo\" has no entry \"Нет такого\": \"Пункт\", \"Репер\""},
        {open + R"({"set": "NameEdit", "text": "x", "timeout": 300})",
         "\"NameEdit\" is not shown (waited 300 ms)"},
        {open + R"({"press": "BackButton", "timeout": 300})", "\"BackButton\" is disabled"},
        {open + toValues +
             R"({"press": "AddButton"}, {"set": "NameEdit", "text": "x", "timeout": 300})",
         "\"NameEdit\" is out of reach: a dialog is open over it: message box \"Не задано "
         "название\""},
        {open + R"({"check": "CountLabel", "text": "Добавлено объектов: 5", "timeout": 300})",
         "\"CountLabel\" shows \"Добавлено объектов: 0\""},
        {open + toValues +
             R"({"set": "CoordGrid", "row": 3, "column": 0, "text": "1", "timeout": 300})",
         "has no cell (3, 0): it has 1 rows and 2 columns"},
        {open + R"({"pick": "Пункт", "timeout": 300})", "no pick list is open"},
        {open + R"({"closed": "TestWizard", "timeout": 300})",
         "\"Тестовый мастер\" (TestWizard) is still open"},
        {open.substr(0, open.size() - 2),
         "the session ended while \"Тестовый мастер\" (TestWizard) is still open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        std::filesystem::remove_all(m_dir / "pictures");
        const THostRun run = Play(Session(c.steps, 500));
        EXPECT_EQ(run.code, 1) << run.out << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("Объектов в проекте"), std::string::npos);
    }
    // What was on the screen when it failed.
    const THostRun run = Play(Session(open + R"({"press": "NoSuchButton", "timeout": 300})"));
    EXPECT_GT(PngSize(m_dir / "pictures/failed-step-3.png").first, 100u) << run.err;
    EXPECT_TRUE(ReadObjects(m_project).empty());
}

TEST_F(SessionPlayer, SessionFilesAreCheckedBeforeAnythingRuns) {
    struct TCase {
        std::string text, message;
    } cases[] = {
        {"not json", "is not JSON"},
        {R"({"steps": 5})", "a session is a JSON object with a list \"steps\""},
        {R"({"steps": [], "pace": 1})", "a session takes no member \"pace\""},
        {R"({"steps": [{"press": "A"}, {"press": "A", "set": "B"}]})",
         "step 2: one action per step"},
        {R"({"steps": [{"frobnicate": 1}]})", "step 1: no action"},
        {R"({"steps": [{"set": "X"}]})", "step 1: \"set\" needs one of"},
        {R"({"steps": [{"set": "X", "text": "a", "index": 1}]})", "\"set\" needs one of"},
        {R"({"steps": [{"press": "X", "txt": "y"}]})", "step 1: \"press\" takes no option \"txt\""},
        {R"({"steps": [{"set": "X", "date": "15/05/2024"}]})", "\"date\" must be a date"},
        {R"({"steps": [{"set": "X", "row": 1, "text": "a"}]})",
         "a cell needs both \"row\" and \"column\""},
        {R"({"steps": [{"select": "X"}]})", "\"select\" needs \"rows\", \"items\""},
        {R"({"steps": [{"check": "X"}]})", "\"check\" needs something to check"},
        {R"({"steps": [{"files": []}]})", "\"files\" must be a file name or a non-empty list"},
        {R"({"steps": [{"picture": "a.jpg"}]})", "a picture is a .png file"},
        {R"({"steps": [{"pause": "1s"}]})", "\"pause\" must be a number of milliseconds"},
        {R"({"steps": [{"press": "A", "timeout": -1}]})", "\"timeout\" must be a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::ofstream(m_dir / "bad.json") << c.text;
        const THostRun run = Play(m_dir / "bad.json");
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(Play(m_dir / "missing.json").code, 2);

    // A project that cannot be opened ends the run at once.
    std::ofstream(m_dir / "good.json") << R"({"steps": []})";
    const THostRun run = RunKavroHost(
        m_dir.Path(),
        "gui " + Quote(m_dir / "none.kavro") + " --play " + Quote(m_dir / "good.json"), kOffscreen);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("не найден"), std::string::npos) << run.err;
}
