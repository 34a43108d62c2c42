// Local zone systems with zones in an exact test format: zone choice, bounds and messages.
#include "coords/msk.h"
#include "fake_provider.h"

#include <gtest/gtest.h>

namespace {
// A zone whose system is offset by (dx, dy), valid inside `box` (no box when null).
TJson Zone(const char* caption, const char* shift, const char* box) {
    TJson zone = {
        {"Type", "Projected"}, {"Caption", caption}, {"Format", "SHIFT"}, {"Parameters", shift}};
    if (box)
        zone["BBox"] = box;
    return zone;
}

TCoordinateReferenceDef Msk(const TJson& zones, const char* caption = "МСК-тест") {
    return RefDef("MSK", DumpAnsiJson(TJson{{"Zones", zones}}), false, caption);
}

struct MskFixture : ::testing::Test {
    std::shared_ptr<TShiftProvider> provider = std::make_shared<TShiftProvider>();
    TCoordinateSystemCatalog catalog{{provider}};
    const TCoordinateReferenceDef target = RefDef("SHIFT", "0 0", false, "target");
    void SetUp() override { catalog.Reload(); }

    TCoordinateTransformationPtr Build(const TCoordinateReferenceDef& msk, TFunctionResult& r) {
        TCoordinateTransformationPtr t;
        catalog.BuildTransformation(msk, target, r, t);
        return t;
    }
};
} // namespace

TEST_F(MskFixture, PointsUseTheZoneThatContainsThem) {
    // Zone A: x 0..100 (offset 1000); zone B: x 50..200 (offset 2000); they overlap in 50..100.
    const auto msk = Msk(
        TJson::array({Zone("A", "-1000 0", "0 0 100 100"), Zone("B", "-2000 0", "50 0 200 100")}));
    TFunctionResult result;
    auto t = Build(msk, result);
    ASSERT_TRUE(result.Succeeded()) << result.Message;

    struct Step {
        double x;
        bool ok;
        double expectedX;
        const char* why;
    } steps[] = {
        {10, true, 1010, "only in A"},
        {75, true, 1075, "overlap: A is listed first (and was used last)"},
        {150, true, 2150, "only in B"},
        {75, true, 2075, "overlap: B was used last and still contains the point"},
        {300, false, 300, "outside every zone"},
        {75, true, 2075, "the failed point does not change the zone used last"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.why);
        TCSPoint p{s.x, 50, 0};
        AnsiString error;
        EXPECT_EQ(t->TransformPoint(p, error), s.ok);
        EXPECT_EQ(p.x, s.expectedX);
        if (!s.ok) {
            EXPECT_EQ(error, Ansi("Для точки координатной системы \"МСК-тест\" не найдено "
                                  "соответствующее преобразование"));
        }
    }

    TCSPointArray points{{10, 1, 0}, {-5e6, 1, 0}, {300, 1, 0}, {20, 1, 0}};
    TCSBooleanArray flags;
    AnsiString error;
    EXPECT_FALSE(t->TransformPoints(points, flags, error)) << "a point outside every zone stops";
    EXPECT_EQ(flags, (TCSBooleanArray{1, 0, 0, 0}));
    EXPECT_EQ(points[0].x, 1010);
    EXPECT_EQ(points[3].x, 20) << "points after the stop stay unchanged";

    TCSBoundingBox box{{10, 10, 0}, {150, 20, 0}};
    ASSERT_TRUE(t->TransformBounds(box, error));
    EXPECT_EQ(box.min.x, 1010);
    EXPECT_EQ(box.max.x, 2150);
    ASSERT_TRUE(t->InverseTransformBounds(box, error));
    EXPECT_EQ(BoundingBoxText(box), "10 10 150 20");
    TCSBoundingBox outside{{0, 0, 0}, {5000, 0, 0}};
    EXPECT_FALSE(t->InverseTransformBounds(outside, error));
}

TEST_F(MskFixture, ZoneOfZeroHeightCoversItsXRange) {
    TFunctionResult result;
    auto t = Build(Msk(TJson::array({Zone("flat", "-1 0", "0 5 10 5")})), result);
    ASSERT_TRUE(result.Succeeded());
    TCSPoint p{5, 1e9, 0};
    AnsiString error;
    EXPECT_TRUE(t->TransformPoint(p, error));
    EXPECT_EQ(p.x, 6);
    TZoneBounds none = TZoneBounds::FromCorners({1, 1, 0}, {1, 1, 0});
    EXPECT_FALSE(none.Contains(1, 1)) << "a point-sized zone contains nothing";
}

TEST_F(MskFixture, Failures) {
    struct Case {
        const char* name;
        TCoordinateReferenceDef msk;
        const char* message; // of the build, or of the first point when the build succeeds
    } cases[] = {
        {"blank parameters: no zones", RefDef("MSK", "  ", false, "m"),
         "Ошибка создания преобразования СК из \"MSK:  \" в \"SHIFT:0 0\".\r\nОшибка: "
         "Преобразование не поддерживается или не существует"},
        {"zone without box", Msk(TJson::array({Zone("Z1", "0 0", nullptr)})),
         "Ошибка создания преобразования СК из \"MSK:{\"Zones\":[{\"Type\":\"Projected\","
         "\"Caption\":\"Z1\",\"Format\":\"SHIFT\",\"Parameters\":\"0 0\"}]}\" в \"SHIFT:0 "
         "0\".\r\nОшибка: Преобразование не поддерживается или не существует"},
        {"not JSON", RefDef("MSK", "zones"),
         "Ошибка создания преобразования СК из \"MSK:zones\" в \"SHIFT:0 0\".\r\nОшибка: "
         "Преобразование не поддерживается или не существует"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFunctionResult result;
        auto t = Build(c.msk, result);
        EXPECT_FALSE(result.Succeeded());
        EXPECT_EQ(result.Message, Ansi(c.message));
    }

    // The provider keeps the inner reason.
    auto& kavro = catalog.DefaultProvider();
    TCoordinateTransformationPtr t;
    struct Reason {
        TCoordinateReferenceDef msk;
        const char* lastError;
    } reasons[] = {
        {Msk(TJson::array({Zone("Z1", "0 0", nullptr)}), "Ц"),
         "Не заданы границы зоны \"Z1\" для координатной системы \"Ц\""},
        {RefDef("MSK", R"({"Zones": 5})"), "Ошибка считывания параметров МСК"},
        {RefDef("MSK", "[]"), "Ошибка считывания параметров МСК"},
    };
    for (const auto& r : reasons) {
        EXPECT_FALSE(kavro.CreateTransformation(r.msk, target, t));
        EXPECT_EQ(kavro.GetLastError(), Ansi(r.lastError));
    }
    EXPECT_FALSE(kavro.CreateTransformation(target, Msk(TJson::array(), "M"), t));
    EXPECT_EQ(kavro.GetLastError(),
              Ansi("Не возможно построить преобразования из \"target\" в \"M\""));
    EXPECT_FALSE(kavro.CreateTransformation(target, target, t));
    EXPECT_EQ(kavro.GetLastError(), Ansi("Не поддерживаемое преобразования СК"));
    TCoordinateReferencePtr reference;
    EXPECT_FALSE(kavro.CreateReference(target, reference));
    EXPECT_EQ(kavro.GetLastError(),
              Ansi("Не поддерживаемый формат \"SHIFT\" описания координатной системы"));
}

TEST_F(MskFixture, ReferenceParametersRoundTrip) {
    TMSKCoordinateReference msk(
        Msk(TJson::array({Zone("A", "1 2", "0 0 1 1"), Zone("Б", "3 4", "1 1 2 2")})));
    msk.ReadParameters();
    ASSERT_EQ(msk.Zones().size(), 2u);
    EXPECT_EQ(msk.Zones()[1]->GetCaption(), Ansi("Б"));
    msk.WriteParameters();
    TMSKCoordinateReference again(msk.Def());
    again.ReadParameters();
    ASSERT_EQ(again.Zones().size(), 2u);
    EXPECT_TRUE(IsSame(again.Zones()[0]->Def(), msk.Zones()[0]->Def()));
    EXPECT_EQ(BoundingBoxText(again.Zones()[1]->Def().BoundingBox), "1 1 2 2");

    TCoordinateReferencePtr created;
    EXPECT_TRUE(
        catalog.DefaultProvider().CreateReference(RefDef("msk", msk.GetParameters()), created))
        << "format names match regardless of letter case";
    EXPECT_NO_THROW(catalog.ValidateReference(msk.Def()));
    TMSKCoordinateReference broken(Msk(TJson::array({Zone("A", "bad", "0 0 1 1")})));
    broken.ReadParameters();
    EXPECT_THROW(broken.Validate(catalog), ECoordinateSystemError);
}

TEST_F(MskFixture, EveryBuildStartsWithoutAZoneUsedLast) {
    // The zone used last decides points in an overlap, so a rebuilt transformation must not
    // inherit it from an earlier one (for example through the catalog's cache).
    const auto msk = Msk(
        TJson::array({Zone("A", "-1000 0", "0 0 100 100"), Zone("B", "-2000 0", "50 0 200 100")}));
    TFunctionResult result;
    auto first = Build(msk, result);
    TCSPoint p{150, 1, 0};
    AnsiString error;
    ASSERT_TRUE(first->TransformPoint(p, error)); // zone B is now the one used last
    auto second = Build(msk, result);
    EXPECT_NE(first, second);
    TCSPoint overlap{75, 1, 0};
    ASSERT_TRUE(second->TransformPoint(overlap, error));
    EXPECT_EQ(overlap.x, 1075) << "the first zone in order";
}

TEST_F(MskFixture, ZoneListErrorsKeepTheJsonModelsMessage) {
    TMSKCoordinateReference msk(RefDef("MSK", R"({"Zones":[{"Format":"SHIFT"}]})"));
    try {
        msk.ReadParameters();
        ADD_FAILURE();
    } catch (const EJsonError& e) {
        EXPECT_EQ(e.Message(), "Property \"Parameters\" not found");
    }
    // Saving writes the zones into the parameters without changing the reference itself.
    TMSKCoordinateReference two(Msk(TJson::array({Zone("A", "1 2", "0 0 1 1")})));
    two.ReadParameters();
    two.Zones().push_back(std::make_shared<TCoordinateReference>(RefDef("SHIFT", "5 5")));
    const AnsiString before = two.GetParameters();
    TJson saved;
    two.SaveToJSON(saved);
    EXPECT_EQ(two.GetParameters(), before);
    TMSKCoordinateReference read;
    read.LoadFromJSON(saved);
    EXPECT_EQ(read.Zones().size(), 2u);
}
