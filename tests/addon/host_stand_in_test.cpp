// The add-on bound to the host stand-in: host failures reach the module as the host's own
// messages, and the database's coordinate system comes from the project's configuration.
#include "addon/com_server.h"
#include "addon/sample_addon.h"
#include "host/core/host_session.h"
#include "host/test_project.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class AddonOnHostStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        kavrohost::CreateProject(m_file, SmallProjectDescription());
        m_session = std::make_unique<kavrohost::THostSession>(m_file);
        m_addon = new TSampleAddon; // the module's state owns it
        m_addon->Initialize(m_session->Manager());
    }
    void TearDown() override {
        m_addon->Finalize();
        UnloadAddonModule();
        m_session.reset();
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "project.kavro";
    std::unique_ptr<kavrohost::THostSession> m_session;
    TSampleAddon* m_addon = nullptr;
};

} // namespace

TEST_F(AddonOnHostStandIn, InjectedHostFailureBecomesEHResultErrorWithTheHostsText) {
    m_session->FailOn("IQmGISDatabase.GetMapInfo", 1, "Нет доступа к карте");
    TQmMapInfo info{};
    try {
        m_addon->GISDatabase().GetMapInfo(TQmID::From("M1"), info);
        FAIL() << "the injected failure must raise";
    } catch (const EHResultError& e) {
        EXPECT_LT(e.Code(), 0);
        EXPECT_EQ(e.Message(), Ansi("Нет доступа к карте. [IQmGISDatabase.GetMapInfo]"));
    }
    // Only that call failed.
    EXPECT_EQ(m_addon->GISDatabase().GetMapInfo(TQmID::From("M1"), info), S_OK);
    EXPECT_EQ(info.name.Str(), Ansi("Карта 1"));
}

TEST_F(AddonOnHostStandIn, ReadsTheDatabaseCoordinateSystemFromTheProject) {
    const TCoordinateReferenceDef ref = m_addon->GetDatabaseCoordinateReference();
    EXPECT_EQ(ref.Caption, "WGS 84 / UTM zone 37N");
    EXPECT_EQ(ref.Format, "PROJ4");
    EXPECT_EQ(ref.Parameters, "+proj=utm +zone=37 +datum=WGS84 +units=m +no_defs");
    EXPECT_FALSE(ref.SwitchXY);
    EXPECT_TRUE(ref.HasBoundingBox);

    m_session->FailOn("IQmGISDatabase.ReadStream", 1, "Поток недоступен");
    EXPECT_THROW(m_addon->GetDatabaseCoordinateReference(), EHResultError);

    std::stringstream missing;
    EXPECT_FALSE(m_addon->ReadDatabaseStream("No.Such.Stream", missing));
}
