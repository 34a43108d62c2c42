// The project store's spatial index and totals: the objects in a rectangle, the counts and
// extent as objects are written, rolled back and reopened, and a project file written before
// the index existed.
#include "host/core/host_session.h"
#include "host/store/project_store.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kavrohost;

namespace {

using TBox = std::array<double, 4>;
using TIds = std::vector<long long>;
const auto kNoDeadline = std::chrono::steady_clock::time_point::max();

class StoreIndexTest : public ::testing::Test {
protected:
    void SetUp() override { CreateProject(m_file, SmallProjectDescription()); }

    // An object of one shape and one part through the given vertices; the part is closed
    // after its vertices, as an import writes a polygon.
    static std::int64_t AddObject(TProjectStore& store,
                                  const std::vector<std::pair<double, double>>& at,
                                  bool closed = false, const char* style = "S1") {
        const TProjectModel& model = store.Model();
        const std::int64_t object = store.AddObject(model.FindLayer("L1")->key);
        const std::int64_t shape = store.AddShape(object, 0, false, model.FindStyle(style)->key);
        const std::int64_t part = store.AddPart(shape, 0, false);
        for (std::size_t i = 0; i < at.size(); ++i)
            store.AddVertex(part, static_cast<int>(i), false, at[i].first, at[i].second, 0);
        if (closed)
            store.SetClosed(part, true);
        const TTableDef* table = model.FindTable("T1");
        store.SetValue(object, table->key, table->FieldIndex("NUM"), 0, TValueType::Int, object, 0,
                       {});
        return object;
    }

    static TIds IdsIn(TProjectStore& store, const TBox& box) {
        TIds ids;
        for (const TObjectRecord& o : store.ObjectsIn(box, 1000000, kNoDeadline).objects)
            ids.push_back(o.id);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "p.kavro";
};

struct TTotalsSeen {
    std::int64_t objects, points, lines, polygons;
    std::optional<TBox> extent;
    bool operator==(const TTotalsSeen&) const = default;
};

TTotalsSeen Seen(const TStoreTotals& t) {
    return {t.objects, t.points, t.lines, t.polygons, t.extent};
}

TEST_F(StoreIndexTest, GivesTheObjectsWithPartsInARectangle) {
    TProjectStore store(m_file);
    const std::int64_t point = AddObject(store, {{10, 10}});
    const std::int64_t line = AddObject(store, {{0, 50}, {100, 50}});
    const std::int64_t square = AddObject(store, {{60, 0}, {80, 0}, {80, 20}, {60, 20}}, true);
    struct TCase {
        const char* what;
        TBox box;
        TIds ids;
    } cases[] = {
        {"everything", {-1, -1, 101, 51}, {point, line, square}},
        {"around the point only", {5, 5, 15, 15}, {point}},
        {"on the point's edge", {10, 10, 20, 20}, {point}},
        {"across the line between its vertices", {40, 45, 60, 55}, {line}},
        {"inside the square", {65, 5, 75, 15}, {square}},
        {"between them", {20, 20, 40, 40}, {}},
        {"far away", {1000, 1000, 2000, 2000}, {}},
    };
    // Before the commit the open connection sees its own writes; after reopening, the file's.
    for (int pass = 0; pass < 2; ++pass) {
        std::optional<TProjectStore> reopened;
        if (pass == 1) {
            store.Commit();
            reopened.emplace(m_file);
        }
        TProjectStore& s = pass == 0 ? store : *reopened;
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (pass ? ", reopened" : ", uncommitted"));
            EXPECT_EQ(IdsIn(s, c.box), c.ids);
        }
        // An object comes with the part in the rectangle, its style and its values (the
        // view's labels).
        const TObjectsInBox in = s.ObjectsIn({65, 5, 75, 15}, 10, kNoDeadline);
        ASSERT_EQ(in.objects.size(), 1u);
        EXPECT_TRUE(in.complete);
        const TObjectRecord& o = in.objects[0];
        EXPECT_EQ(o.layerId, "L1");
        ASSERT_EQ(o.shapes.size(), 1u);
        EXPECT_EQ(o.shapes[0].styleId, "S1");
        ASSERT_EQ(o.shapes[0].parts.size(), 1u);
        EXPECT_TRUE(o.shapes[0].parts[0].closed);
        EXPECT_EQ(o.shapes[0].parts[0].vertices.size(), 4u);
        EXPECT_EQ(o.shapes[0].parts[0].vertices[2].x, 80);
        ASSERT_EQ(o.values.size(), 1u);
        EXPECT_EQ(o.values[0].intValue, square);
    }
}

TEST_F(StoreIndexTest, ALimitedQueryTakesPartsFromAllOverTheRectangle) {
    TProjectStore store(m_file);
    constexpr int kCount = 2000; // several blocks of the index
    for (int i = 0; i < kCount; ++i)
        AddObject(store, {{static_cast<double>(i), 0}});
    store.Commit();

    const TObjectsInBox all = store.ObjectsIn({-1, -1, kCount, 1}, kCount, kNoDeadline);
    EXPECT_TRUE(all.complete);
    EXPECT_EQ(all.parts, static_cast<std::size_t>(kCount));

    // The limit stops the read at the block where it is reached.
    const TObjectsInBox some = store.ObjectsIn({-1, -1, kCount, 1}, 1000, kNoDeadline);
    EXPECT_FALSE(some.complete);
    ASSERT_FALSE(some.objects.empty());
    EXPECT_LE(some.parts, 1000u + 256u);
    double minX = kCount, maxX = 0;
    for (const TObjectRecord& o : some.objects) {
        minX = std::min(minX, o.shapes[0].parts[0].vertices[0].x);
        maxX = std::max(maxX, o.shapes[0].parts[0].vertices[0].x);
    }
    EXPECT_LT(minX, kCount / 4);
    EXPECT_GT(maxX, kCount * 3 / 4);

    // Zoomed in, the same limit takes everything there, and only what is there.
    const TObjectsInBox near = store.ObjectsIn({1000, -1, 1010, 1}, 500, kNoDeadline);
    EXPECT_TRUE(near.complete);
    EXPECT_EQ(near.parts, 11u);

    // A deadline already past stops the read and says so.
    const TObjectsInBox late = store.ObjectsIn(
        {-1, -1, kCount, 1}, kCount, std::chrono::steady_clock::now() - std::chrono::seconds(1));
    EXPECT_FALSE(late.complete);
}

TEST_F(StoreIndexTest, TotalsFollowWritesRollbacksAndReopening) {
    {
        TProjectStore store(m_file);
        EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{0, 0, 0, 0, std::nullopt}));
        AddObject(store, {{10, 20}});
        AddObject(store, {{0, 5}, {30, 5}}); // two vertices: a line, no longer a point
        AddObject(store, {{0, 0}, {4, 0}, {4, 4}}, true, "S2");
        AddObject(store, {{1, 1}, {2, 2}}, true); // closed with two vertices: a line
        EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{4, 1, 2, 1, TBox{0, 0, 30, 20}}));
        store.Commit();

        // Rolled back, what was written since the commit is gone from the totals too.
        AddObject(store, {{-100, 500}});
        EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{5, 2, 2, 1, TBox{-100, 0, 30, 500}}));
        store.Rollback();
        EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{4, 1, 2, 1, TBox{0, 0, 30, 20}}));
        EXPECT_EQ(IdsIn(store, {-200, 400, 0, 600}), TIds{});
        const auto& styles = store.Totals().shapesByStyle;
        EXPECT_EQ(styles.at(static_cast<std::size_t>(store.Model().FindStyle("S1")->key)), 3);
        EXPECT_EQ(styles.at(static_cast<std::size_t>(store.Model().FindStyle("S2")->key)), 1);
    }
    {
        // A vertex added to the first object's part in a later session: a point becomes a
        // line, the extent grows, and the part is found where it now reaches.
        TProjectStore store(m_file);
        EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{4, 1, 2, 1, TBox{0, 0, 30, 20}}));
        const std::optional<TObjectRecord> first = store.ReadObject(1);
        ASSERT_TRUE(first);
        ASSERT_EQ(first->shapes.size(), 1u);
        store.AddVertex(1, 1, false, 500, 600, 0);
        store.Commit();
    }
    TProjectStore store(m_file);
    EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{4, 0, 3, 1, TBox{0, 0, 500, 600}}));
    EXPECT_EQ(IdsIn(store, {490, 590, 510, 610}), TIds{1});
    EXPECT_EQ(IdsIn(store, {-1, -1, 31, 21}), (TIds{1, 2, 3, 4}));
}

TEST_F(StoreIndexTest, AProjectFileWithoutTheIndexGetsItWhenOpened) {
    {
        TProjectStore store(m_file);
        AddObject(store, {{10, 20}});
        AddObject(store, {{0, 0}, {4, 0}, {4, 4}}, true);
        store.Commit();
    }
    {
        // As a file of the stand-in's earlier version: no index, no totals.
        TDatabase db(m_file, false);
        db.Exec("DROP TABLE part_blocks");
        db.Exec("DROP TABLE totals");
    }
    {
        TProjectStore store(m_file);
        EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{2, 1, 0, 1, TBox{0, 0, 10, 20}}));
        EXPECT_EQ(IdsIn(store, {9, 19, 11, 21}), TIds{1});
        AddObject(store, {{50, 50}});
        store.Commit();
    }
    TProjectStore store(m_file);
    EXPECT_EQ(Seen(store.Totals()), (TTotalsSeen{3, 2, 0, 1, TBox{0, 0, 50, 50}}));
    EXPECT_EQ(IdsIn(store, {-1, -1, 51, 51}), (TIds{1, 2, 3}));
}

TEST_F(StoreIndexTest, ReadsOneObjectWhole) {
    TProjectStore store(m_file);
    AddObject(store, {{1, 1}});
    const std::int64_t id = AddObject(store, {{0, 0}, {4, 0}, {4, 4}}, true, "S2");
    const std::int64_t shape = store.AddShape(id, 1, false, store.Model().FindStyle("S1")->key);
    store.AddVertex(store.AddPart(shape, 0, false), 0, false, 7, 7, 0);
    store.Commit();
    std::vector<TObjectRecord> all;
    store.ForEachObject([&](const TObjectRecord& o) { all.push_back(o); });
    ASSERT_EQ(all.size(), 2u);
    const std::optional<TObjectRecord> read = store.ReadObject(id);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->layerId, all[1].layerId);
    ASSERT_EQ(read->shapes.size(), 2u);
    EXPECT_EQ(read->shapes[0].styleId, "S2");
    EXPECT_EQ(read->shapes[0].parts[0].vertices.size(), 3u);
    EXPECT_EQ(read->shapes[1].styleId, "S1");
    EXPECT_EQ(read->shapes[1].parts[0].vertices[0].x, 7);
    EXPECT_EQ(read->values.size(), all[1].values.size());
    EXPECT_FALSE(store.ReadObject(99));
}

} // namespace
