// The chooser's host-side reading against the stand-in: the style and layer queries with their
// fallbacks, the project tree, and the catalog of a layer's attribute tables.
#include "addon/chooser_project.h"
#include "addon/layer_tables.h"
#include "addon/project_tree.h"
#include "addon/style_queries.h"

#include <limits>

namespace {

using ChooserQueries = ChooserOnHostStandIn;

TEST_F(ChooserQueries, StyleAndLayerQueriesAnswerFromTheProject) {
    EXPECT_EQ(GetStyleLayerID(*m_addon, "S2"), "L1");
    EXPECT_EQ(GetLayerMapID(*m_addon, "L3"), "M2");
    EXPECT_EQ(GetStyleCaption(*m_addon, "S2", "-"), Ansi("Репер"));
    EXPECT_EQ(GetLayerCaption(*m_addon, "L2", "-"), Ansi("[Карта 1] Дороги"));
    // An empty identifier asks the host nothing.
    m_session->FailOn("IQmGISDatabase.GetStyle", 1, "не должен вызываться");
    EXPECT_EQ(GetStyleCaption(*m_addon, "", "нет"), "нет");
    EXPECT_EQ(GetLayerCaption(*m_addon, "", "нет"), "нет");
}

TEST_F(ChooserQueries, EveryQueryFallsBackWhenAHostCallFails) {
    struct Case {
        const char* failing;
        AnsiString layerOfStyle, mapOfLayer, styleCaption, layerCaption;
    } cases[] = {
        {"IQmGISDatabase.GetStyle", "", "M1", "?", Ansi("[Карта 1] Пункты")},
        {"IQmStyle.GetIDs", "", "M1", Ansi("Пункт"), Ansi("[Карта 1] Пункты")},
        {"IQmIDsList.Get", "", "M1", Ansi("Пункт"), Ansi("[Карта 1] Пункты")},
        {"IQmStyle.GetName", "L1", "M1", "?", Ansi("[Карта 1] Пункты")},
        {"IQmGISDatabase.GetLayerInfo", "L1", "", Ansi("Пункт"), "?"},
        {"IQmGISDatabase.GetMapInfo", "L1", "M1", Ansi("Пункт"), "?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        // Each query runs with the first call of the operation failing; a query that does not
        // call it must not leave the failure armed for the next one.
        auto withFailure = [&](auto query) {
            m_session->FailOn(c.failing, 1, "Сбой");
            AnsiString answer = query();
            m_session->FailOn(c.failing, std::numeric_limits<int>::max(), "");
            return answer;
        };
        EXPECT_EQ(withFailure([&] { return GetStyleLayerID(*m_addon, "S1"); }), c.layerOfStyle);
        EXPECT_EQ(withFailure([&] { return GetLayerMapID(*m_addon, "L1"); }), c.mapOfLayer);
        EXPECT_EQ(withFailure([&] { return GetStyleCaption(*m_addon, "S1", "?"); }),
                  c.styleCaption);
        EXPECT_EQ(withFailure([&] { return GetLayerCaption(*m_addon, "L1", "?"); }),
                  c.layerCaption);
    }
    // Unknown identifiers and an add-on without a host give the fallbacks too.
    EXPECT_EQ(GetStyleLayerID(*m_addon, "NONE"), "");
    EXPECT_EQ(GetLayerCaption(*m_addon, "NONE", "?"), "?");
    m_addon->Finalize();
    EXPECT_EQ(GetStyleCaption(*m_addon, "S1", "?"), "?");
    EXPECT_EQ(GetLayerMapID(*m_addon, "L1"), "");
}

TEST_F(ChooserQueries, ProjectTreeHoldsTheRequestedLevels) {
    const auto styles = ReadProjectTree(*m_addon, TProjectNodeKind::Style);
    ASSERT_EQ(styles.size(), 2u);
    EXPECT_EQ(styles[0].name, Ansi("Карта 1"));
    ASSERT_EQ(styles[0].children.size(), 2u);
    const TProjectTreeNode& points = styles[0].children[0];
    EXPECT_EQ(points.holder.id.Str(), "L1");
    EXPECT_EQ(points.holder.kind, TProjectNodeKind::Layer);
    ASSERT_EQ(points.children.size(), 2u);
    EXPECT_EQ(points.children[1].holder.id.Str(), "S2");
    EXPECT_EQ(points.children[1].holder.kind, TProjectNodeKind::Style);
    EXPECT_EQ(points.children[1].name, Ansi("Репер"));

    const auto layers = ReadProjectTree(*m_addon, TProjectNodeKind::Layer);
    EXPECT_TRUE(layers[0].children[0].children.empty());
    const auto maps = ReadProjectTree(*m_addon, TProjectNodeKind::Map);
    EXPECT_EQ(maps[1].holder.id.Str(), "M2");
    EXPECT_TRUE(maps[1].children.empty());

    m_session->FailOn("IQmGISDatabase.GetStyleIDs", 2, "Нет доступа");
    EXPECT_THROW((void)ReadProjectTree(*m_addon, TProjectNodeKind::Style), EHResultError);
}

TEST_F(ChooserQueries, LayerTablesLeaveOutTheKeyFields) {
    TLayerTableList list;
    list.Load(*m_session->Database(), "L1");
    ASSERT_EQ(list.Count(), 2);
    const TLayerTable& points = list.Item(0);
    EXPECT_EQ(points.id, "T1");
    EXPECT_EQ(points.caption, Ansi("Пункты"));
    ASSERT_EQ(points.fields.size(), 2u); // ID and Simid are the host's keys
    EXPECT_EQ(points.fields[0].name, "NAME");
    EXPECT_EQ(points.fields[0].type, 10);
    EXPECT_EQ(points.fields[1].name, "H");
    EXPECT_EQ(points.fields[1].type, 30);
    EXPECT_EQ(list.Item(1).caption, Ansi("История"));

    // A layer without tables and a layer the database lacks give an empty list.
    list.Load(*m_session->Database(), "L2");
    EXPECT_EQ(list.Count(), 0);
    list.Load(*m_session->Database(), "L1");
    list.Load(*m_session->Database(), "NOSUCH");
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ChooserQueries, ATableThatFailsMidReadStaysWithWhatWasRead) {
    TLayerTableList list;
    // The second field name of the first table (H) fails: NAME was read, H is lost, and the
    // next table is read in full.
    m_session->FailOn("IKavroSemTable.GetFieldName", 2, "Сбой чтения");
    list.Load(*m_session->Database(), "L1");
    ASSERT_EQ(list.Count(), 2);
    ASSERT_EQ(list.Item(0).fields.size(), 1u);
    EXPECT_EQ(list.Item(0).fields[0].name, "NAME");
    ASSERT_EQ(list.Item(1).fields.size(), 1u);
    EXPECT_EQ(list.Item(1).fields[0].name, "NOTE");

    // The identifier is not optional: its failure reaches the caller.
    m_session->FailOn("IKavroSemTable.get_ID", 2, "Сбой чтения");
    EXPECT_THROW(list.Load(*m_session->Database(), "L1"), EOleException);
}

} // namespace
