// The add-on bound to the host stand-in: host failures reach the module as the host's own
// messages, and the database's coordinate system comes from the project's configuration.
#include "addon/addon_on_host.h"
#include "host/test_project.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class AddonOnHostStandIn : public TAddonOnHostTest {
protected:
    void SetUp() override { Open(SmallProjectDescription()); }
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
