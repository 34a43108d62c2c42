// The catalog: building transformations between references, validation, the cache and the
// contour transformer, with a provider whose conversions are exact offsets.
#include "coords/import_transformation.h"
#include "coords/msk.h"
#include "fake_provider.h"

#include <gtest/gtest.h>

namespace {
struct CatalogFixture : ::testing::Test {
    std::shared_ptr<TShiftProvider> provider = std::make_shared<TShiftProvider>();
    TCoordinateSystemCatalog catalog{{nullptr, provider}};
    void SetUp() override { catalog.Reload(); }

    TCSPoint Convert(const TCoordinateReferenceDef& s, const TCoordinateReferenceDef& t,
                     TCSPoint p) {
        TFunctionResult result;
        TCoordinateTransformationPtr transformation;
        catalog.BuildTransformation(s, t, result, transformation);
        EXPECT_TRUE(result.Succeeded()) << result.Message;
        if (!transformation)
            return {NAN, NAN, NAN};
        AnsiString error;
        EXPECT_TRUE(transformation->TransformPoint(p, error)) << error;
        return p;
    }
};
} // namespace

TEST_F(CatalogFixture, ReloadGathersProvidersInOrder) {
    ASSERT_EQ(catalog.Providers().size(), 2u) << "the null provider is skipped";
    EXPECT_EQ(catalog.Providers()[1]->Name(), "Kavro.Kavro");
    EXPECT_EQ(&catalog.DefaultProvider(), catalog.Providers()[1].get());
    ASSERT_EQ(catalog.Formats().size(), 2u);
    EXPECT_EQ(catalog.Formats()[0]->Name, "SHIFT");
    EXPECT_EQ(catalog.Formats()[1]->Name, "MSK");
    EXPECT_EQ(catalog.Formats()[1]->Caption, Ansi("Формат МСК"));
    ASSERT_EQ(catalog.References().size(), 1u);
    EXPECT_EQ(catalog.ProviderOf(catalog.References()[0].get()), provider.get());
    EXPECT_EQ(catalog.ProviderOf(catalog.FindFormat("msk").get()), &catalog.DefaultProvider());
    EXPECT_EQ(catalog.FindFormat("PROJ4"), nullptr);

    catalog.Reload();
    EXPECT_EQ(catalog.Formats().size(), 2u) << "reloading replaces, never appends";
    EXPECT_EQ(provider->initialized, 2);
}

TEST_F(CatalogFixture, BuildTransformation) {
    const auto a = RefDef("SHIFT", "0 0", false, "A");
    const auto b = RefDef("SHIFT", "100 200", false, "B");

    struct Case {
        const char* name;
        TCoordinateReferenceDef s, t;
        TCSPoint in, out;
    } cases[] = {
        {"same except caption: identical",
         a,
         RefDef("SHIFT", " 0 0 ", false, "other"),
         {1, 2, 3},
         {1, 2, 3}},
        {"only the swap differs: exchange", a, RefDef("SHIFT", "0 0", true), {1, 2, 3}, {2, 1, 3}},
        {"provider transformation", a, b, {1, 2, 0}, {101, 202, 0}},
        {"source swapped: exchange first",
         RefDef("SHIFT", "0 0", true),
         b,
         {1, 2, 0},
         {102, 201, 0}},
        {"target swapped: exchange last",
         a,
         RefDef("SHIFT", "100 200", true),
         {1, 2, 0},
         {202, 101, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TCSPoint p = Convert(c.s, c.t, c.in);
        EXPECT_EQ(p.x, c.out.x);
        EXPECT_EQ(p.y, c.out.y);
        EXPECT_EQ(p.z, c.out.z);
    }
}

TEST_F(CatalogFixture, BuildTransformationFailures) {
    struct Case {
        const char* name;
        TCoordinateReferenceDef s, t;
        const char* message;
    } cases[] = {
        {"unknown source format", RefDef("PROJ4", "+proj=longlat"), RefDef("SHIFT", "0 0"),
         "Неподдерживаемый формат системы координат: PROJ4:+proj=longlat"},
        {"empty source", RefDef("", ""), RefDef("SHIFT", "0 0"),
         "Неподдерживаемый формат системы координат: "},
        {"unknown target format", RefDef("SHIFT", "0 0"), RefDef("WKT", "x"),
         "Неподдерживаемый формат системы координат: WKT:x"},
        {"provider refuses", RefDef("SHIFT", "0 0"), RefDef("SHIFT", "bad"),
         "Ошибка создания преобразования СК из \"SHIFT:0 0\" в \"SHIFT:bad\".\r\nОшибка: "
         "Преобразование не поддерживается или не существует"},
        {"into a local zone system", RefDef("SHIFT", "0 0"), RefDef("MSK", R"({"Zones":[]})"),
         "Ошибка создания преобразования СК из \"SHIFT:0 0\" в \"MSK:{\"Zones\":[]}\".\r\nОшибка: "
         "Преобразование не поддерживается или не существует"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFunctionResult result;
        TCoordinateTransformationPtr transformation;
        catalog.BuildTransformation(c.s, c.t, result, transformation);
        EXPECT_FALSE(result.Succeeded());
        EXPECT_EQ(result.Message, Ansi(c.message));
        EXPECT_EQ(transformation, nullptr);
    }
}

TEST_F(CatalogFixture, CacheReturnsTheSameTransformation) {
    const auto a = RefDef("SHIFT", "0 0", true), b = RefDef("SHIFT", "1 1");
    TFunctionResult result;
    TCoordinateTransformationPtr first, second, other;
    catalog.BuildTransformation(a, b, result, first);
    catalog.BuildTransformation(a, b, result, second);
    EXPECT_EQ(first, second);
    EXPECT_EQ(provider->transformationsCreated, 1);
    auto renamed = a;
    renamed.Caption = "renamed";
    catalog.BuildTransformation(renamed, b, result, other);
    EXPECT_NE(other, first) << "a different caption is a different entry";
    EXPECT_EQ(other->Source()->GetCaption(), "renamed");
}

TEST_F(CatalogFixture, ValidateReference) {
    struct Case {
        TCoordinateReferenceDef def;
        const char* message; // null: valid
    } cases[] = {
        {RefDef("", "x"),
         "Параметры системы координат заданы неверно. Не задан формат описанния СК"},
        {RefDef("GEO", "x"),
         "Параметры системы координат заданы неверно. Не известный формат: GEO"},
        {RefDef("SHIFT", "x"),
         "Координатная система заданная следующими параметрами \"SHIFT:x\" не "
         "поддерживается.\r\nОшибка: bad shift"},
        {RefDef("shift", "1 2"), nullptr},
        {RefDef("MSK", "[1]"),
         "Координатная система заданная следующими параметрами \"MSK:[1]\" не "
         "поддерживается.\r\nОшибка: Ошибка считывания параметров МСК"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.def.JoinedText());
        if (!c.message) {
            EXPECT_NO_THROW(catalog.ValidateReference(c.def));
            continue;
        }
        try {
            catalog.ValidateReference(c.def);
            ADD_FAILURE();
        } catch (const ECoordinateSystemError& e) {
            EXPECT_EQ(e.Message(), Ansi(c.message));
        }
    }
}

TEST_F(CatalogFixture, CompositeStopsAtTheFirstFailure) {
    TFunctionResult result;
    TCoordinateTransformationPtr t;
    catalog.BuildTransformation(RefDef("SHIFT", "0 0", true), RefDef("SHIFT", "5 5"), result, t);
    ASSERT_TRUE(t);
    TCSPoint p{0, -2e6, 0}; // exchanged first, then the shift fails on x < -1e6
    AnsiString error = "untouched";
    EXPECT_FALSE(t->TransformPoint(p, error));
    EXPECT_EQ(p.y, -2e6) << "the caller's point is unchanged";
    EXPECT_EQ(error, "");

    TCSPointArray points{{1, 2, 0}, {0, -2e6, 0}};
    TCSBooleanArray flags;
    EXPECT_TRUE(t->TransformPoints(points, flags, error));
    EXPECT_EQ(flags, (TCSBooleanArray{1, 0}));
    EXPECT_EQ(points[0].x, 7);

    TCSBoundingBox box{{0, 0, 0}, {10, 20, 0}};
    ASSERT_TRUE(t->TransformBounds(box, error));
    ASSERT_TRUE(t->InverseTransformBounds(box, error));
    EXPECT_EQ(BoundingBoxText(box), "0 0 10 20") << "the inverse undoes the members in reverse";
}

TEST_F(CatalogFixture, ContourTransformer) {
    TContourTransformer never;
    double x = 1, y = 2;
    EXPECT_TRUE(never.TransformPoint(x, y).Succeeded());
    EXPECT_EQ(x, 1);

    TContourTransformer contour;
    contour.Prepare(catalog, RefDef("", ""), RefDef("SHIFT", "1 1"));
    EXPECT_FALSE(contour.Needed()) << "an undefined source needs nothing";
    contour.Prepare(catalog, RefDef("SHIFT", "1 1", false, "x"), RefDef("SHIFT", "1 1"));
    EXPECT_FALSE(contour.Needed());
    contour.Prepare(catalog, RefDef("SHIFT", "0 0"), RefDef("SHIFT", "1 1"));
    EXPECT_TRUE(contour.Needed());
    EXPECT_TRUE(contour.TransformPoint(x, y).Succeeded());
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 3);
    x = -5e6;
    const TFunctionResult failed = contour.TransformPoint(x, y);
    EXPECT_FALSE(failed.Succeeded());
    EXPECT_EQ(failed.Message, "shift failed");
    EXPECT_EQ(x, -5e6);

    try {
        contour.Prepare(catalog, RefDef("GEO", "1"), RefDef("SHIFT", "1 1"));
        ADD_FAILURE();
    } catch (const ECoordinateSystemTransformerError& e) {
        EXPECT_EQ(e.Message(), Ansi("Неподдерживаемый формат системы координат: GEO:1"));
    }
    EXPECT_FALSE(contour.Needed()) << "a failed preparation keeps no old transformation";
}

TEST_F(CatalogFixture, ImportTransformationByCoordinateSystems) {
    TImportTransformation import;
    import.SetMethodIndex(1);
    import.SetCatalog(&catalog);
    import.SetDatabaseReference(RefDef("SHIFT", "10 10"));

    struct Case {
        const char* name;
        TCoordinateReferenceDef source;
        double x, y;
    } cases[] = {
        {"same as the database", RefDef("SHIFT", "10 10", false, "copy"), 1, 2},
        {"undefined source", LocalCoordinateReference(LocalCoordinateSystemCaption()), 1, 2},
        {"swap only", RefDef("SHIFT", "10 10", true), 2, 1},
        {"converted", RefDef("SHIFT", "0 0"), 11, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        import.SetSourceReference(c.source);
        import.PrepareImportTransformation();
        double x = 1, y = 2;
        EXPECT_TRUE(import.ConvertPoint(x, y).Succeeded());
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }

    // A database system no provider knows stops the run before any point.
    import.SetDatabaseReference(RefDef("PROJ4", "+proj=utm +zone=37"));
    import.SetSourceReference(RefDef("SHIFT", "0 0"));
    try {
        import.PrepareImportTransformation();
        ADD_FAILURE();
    } catch (const ECoordinateSystemTransformerError& e) {
        EXPECT_EQ(e.Message(),
                  Ansi("Неподдерживаемый формат системы координат: PROJ4:+proj=utm +zone=37"));
    }
}
