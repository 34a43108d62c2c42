// Real conversions through the built KavroGdal, loaded by the module's binding from the binary
// folder, checked against published or definitional coordinates.
#include "coords/coordinate_system_library.h"
#include "coords/import_transformation.h"
#include "coords/msk.h"
#include "support/reference_def.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

// One catalog with the outside library for the whole suite: loading the predefined list once.
class Conversions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        provider = CreateGDALProvider(TI_BIN_DIR);
        ASSERT_NE(provider, nullptr) << "KavroGdal not found under " << TI_BIN_DIR;
        catalog = new TCoordinateSystemCatalog({provider});
        catalog->Reload();
    }
    static void TearDownTestSuite() {
        delete catalog;
        catalog = nullptr;
        provider.reset();
    }
    void SetUp() override { ASSERT_NE(catalog, nullptr); }

    static TCoordinateSystemProviderPtr provider;
    static TCoordinateSystemCatalog* catalog;
};
TCoordinateSystemProviderPtr Conversions::provider;
TCoordinateSystemCatalog* Conversions::catalog = nullptr;
} // namespace

TEST_F(Conversions, CatalogListsTheLibrarysFormatsAndSystems) {
    for (const char* name : {"PROJ4", "WKT", "EPSG", "MSK"})
        EXPECT_NE(catalog->FindFormat(name), nullptr) << name;
    EXPECT_EQ(catalog->ProviderOf(catalog->FindFormat("epsg").get()), provider.get());

    struct Wanted {
        const char* code;
        const char* caption;
        TCoordinateReferenceType type;
    } wanted[] = {
        {"4326", "WGS 84", TCoordinateReferenceType::Geographic},
        {"4284", "Pulkovo 1942", TCoordinateReferenceType::Geographic},
        {"28407", "Pulkovo 1942 / Gauss-Kruger zone 7", TCoordinateReferenceType::Projected},
        {"7683", "GSK-2011", TCoordinateReferenceType::Geographic},
        {"32637", "WGS 84 / UTM zone 37N", TCoordinateReferenceType::Projected},
    };
    for (const auto& w : wanted) {
        SCOPED_TRACE(w.code);
        const TCoordinateReference* found = nullptr;
        for (const auto& r : catalog->References())
            if (r->GetFormat() == "EPSG" && r->GetParameters() == w.code)
                found = r.get();
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->GetCaption(), w.caption);
        EXPECT_EQ(found->Def().Type, w.type);
        EXPECT_TRUE(found->Def().HasBoundingBox);
        EXPECT_EQ(catalog->ProviderOf(found), provider.get());
    }
    EXPECT_GT(catalog->References().size(), 1000u);
}

TEST_F(Conversions, PublishedCoordinates) {
    struct Case {
        const char* name;
        TCoordinateReferenceDef source, target;
        double x, y, expectedX, expectedY, tolerance;
    } cases[] = {
        // The central meridian (39E) of UTM zone 37N maps to the false easting 500000 m, and the
        // equator to northing 0, by definition of the projection.
        {"WGS 84 to UTM 37N, EPSG codes", RefDef("EPSG", "4326"), RefDef("EPSG", "32637"), 39, 0,
         500000, 0, 1e-3},
        {"WGS 84 to UTM 37N, PROJ strings", RefDef("PROJ4", "+proj=longlat +datum=WGS84"),
         RefDef("PROJ4", "+proj=utm +zone=37 +datum=WGS84 +type=crs"), 39, 0, 500000, 0, 1e-3},
        // Gauss-Krüger zone 7: central meridian 39E, false easting 7 500 000 m (zone number
        // prefixed), northing 0 at the equator, by definition.
        {"Pulkovo 1942 to Gauss-Kruger zone 7", RefDef("EPSG", "4284"), RefDef("EPSG", "28407"), 39,
         0, 7500000, 0, 1e-3},
        // EPSG Guidance Note 7-2, Transverse Mercator worked example (OSGB 1936 / British
        // National Grid): 50d30'N 0d30'E gives E 577274.99 m, N 69740.50 m.
        {"OSGB 1936 to British National Grid", RefDef("EPSG", "4277"), RefDef("EPSG", "27700"), 0.5,
         50.5, 577274.99, 69740.50, 0.01},
        // X/Y exchanged on the source: the point comes as (latitude, longitude).
        {"swapped source is exchanged first", RefDef("EPSG", "4326", true), RefDef("EPSG", "32637"),
         0, 39, 500000, 0, 1e-3},
        // Exchanged on the target: the result comes as (northing, easting).
        {"swapped target is exchanged last", RefDef("EPSG", "4326"), RefDef("EPSG", "32637", true),
         39, 0, 0, 500000, 1e-3},
        // The inverse: the false origin maps back to the central meridian on the equator.
        {"UTM 37N to WGS 84", RefDef("EPSG", "32637"), RefDef("EPSG", "4326"), 500000, 0, 39, 0,
         1e-9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TContourTransformer contour;
        contour.Prepare(*catalog, c.source, c.target);
        double x = c.x, y = c.y;
        const TFunctionResult result = contour.TransformPoint(x, y);
        ASSERT_TRUE(result.Succeeded()) << result.Message;
        EXPECT_NEAR(x, c.expectedX, c.tolerance);
        EXPECT_NEAR(y, c.expectedY, c.tolerance);
    }
}

// Geodetic latitude and longitude (degrees) of a geocentric point on an ellipsoid, by the usual
// iteration (converged far below a millimetre after a few steps).
std::array<double, 2> Geodetic(double a, double inverseFlattening, double x, double y, double z) {
    const double f = 1 / inverseFlattening, e2 = f * (2 - f), p = std::hypot(x, y);
    double phi = std::atan2(z, p * (1 - e2));
    for (int i = 0; i < 10; ++i) {
        const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
        const double h = p / std::cos(phi) - n;
        phi = std::atan2(z, p * (1 - e2 * n / (n + h)));
    }
    return {phi * 180 / M_PI, std::atan2(y, x) * 180 / M_PI};
}

TEST_F(Conversions, DatumShiftMatchesThePublishedExample) {
    // EPSG Guidance Note 7-2, Position Vector transformation (method 9606), WGS 72 to WGS 84:
    // tX = tY = 0, tZ = +4.5 m, rX = rY = 0, rZ = +0.554", dS = +0.219 ppm; the point
    // Xs = 3657660.66, Ys = 255768.55, Zs = 5201382.11 m gives Xt = 3657660.78,
    // Yt = 255778.43, Zt = 5201387.75 m. The point lies at ellipsoidal height 0 (to 0.2 mm), so
    // the horizontal conversion with height 0 matches the published one.
    const auto source = Geodetic(6378135, 298.26, 3657660.66, 255768.55, 5201382.11);
    const auto target = Geodetic(6378137, 298.257223563, 3657660.78, 255778.43, 5201387.75);
    TContourTransformer contour;
    contour.Prepare(*catalog,
                    RefDef("PROJ4", "+proj=longlat +ellps=WGS72 "
                                    "+towgs84=0,0,4.5,0,0,0.554,0.219"),
                    RefDef("PROJ4", "+proj=longlat +datum=WGS84"));
    double x = source[1], y = source[0];
    ASSERT_TRUE(contour.TransformPoint(x, y).Succeeded());
    // Apart by at most 0.01 m on the ground (the published figures are given to 0.01 m).
    const double metresPerDegree = 6378137 * M_PI / 180;
    EXPECT_NEAR((y - target[0]) * metresPerDegree, 0, 0.01);
    EXPECT_NEAR((x - target[1]) * metresPerDegree * std::cos(target[0] * M_PI / 180), 0, 0.01);

    // Without the shift PROJ knows none between the two datums: refused, not converted as if
    // they were one.
    EXPECT_THROW(contour.Prepare(*catalog, RefDef("PROJ4", "+proj=longlat +ellps=WGS72"),
                                 RefDef("PROJ4", "+proj=longlat +datum=WGS84")),
                 ECoordinateSystemTransformerError);
}

TEST_F(Conversions, GaussKrugerIsSymmetricAboutTheCentralMeridian) {
    // Transverse Mercator is symmetric about its central meridian: equal offsets east and west
    // give eastings equally far from the false easting, with the same northing.
    TContourTransformer contour;
    contour.Prepare(*catalog, RefDef("EPSG", "4284"), RefDef("EPSG", "28407"));
    double ex = 41.5, ey = 55.75, wx = 36.5, wy = 55.75;
    ASSERT_TRUE(contour.TransformPoint(ex, ey).Succeeded());
    ASSERT_TRUE(contour.TransformPoint(wx, wy).Succeeded());
    EXPECT_NEAR(ex - 7500000, 7500000 - wx, 1e-3);
    EXPECT_NEAR(ey, wy, 1e-3);
    EXPECT_GT(ex - 7500000, 150000); // 2.5 degrees of longitude at 55.75N is about 157 km
    EXPECT_LT(ex - 7500000, 160000);
}

TEST_F(Conversions, ImportRunsByCoordinateSystems) {
    TImportTransformation import;
    import.SetCatalog(catalog);
    import.SetMethodIndex(1);
    import.SetDatabaseReference(RefDef("EPSG", "32637", false, "WGS 84 / UTM zone 37N"));
    import.SetSourceReference(RefDef("PROJ4", "+proj=longlat +datum=WGS84"));
    import.PrepareImportTransformation();
    double x = 39, y = 0;
    ASSERT_TRUE(import.ConvertPoint(x, y).Succeeded());
    EXPECT_NEAR(x, 500000, 1e-3); // central meridian, by definition
    EXPECT_NEAR(y, 0, 1e-3);

    x = 39, y = 100; // no such latitude
    const TFunctionResult failed = import.ConvertPoint(x, y);
    EXPECT_FALSE(failed.Succeeded());
    EXPECT_EQ(failed.Message, "Can't transform point");
    EXPECT_EQ(x, 39);
    EXPECT_EQ(y, 100);

    import.SetSourceReference(RefDef("EPSG", "999999", false, "nothing"));
    try {
        import.PrepareImportTransformation();
        ADD_FAILURE();
    } catch (const ECoordinateSystemTransformerError& e) {
        EXPECT_EQ(e.Message(), Ansi("Ошибка создания преобразования СК из \"EPSG:999999\" в "
                                    "\"EPSG:32637\".\r\nОшибка: Преобразование не "
                                    "поддерживается или не существует"));
    }
}

TEST_F(Conversions, ValidateReferenceReportsTheLibrarysReason) {
    EXPECT_NO_THROW(catalog->ValidateReference(RefDef("PROJ4", "+proj=utm +zone=37 +datum=WGS84")));
    try {
        catalog->ValidateReference(RefDef("EPSG", "abc"));
        ADD_FAILURE();
    } catch (const ECoordinateSystemError& e) {
        EXPECT_EQ(e.Message(), Ansi("Координатная система заданная следующими параметрами "
                                    "\"EPSG:abc\" не поддерживается.\r\nОшибка: Invalid EPSG "
                                    "code \"abc\""));
    }
}

TEST_F(Conversions, LocalZoneSystemOfTwoProjZones) {
    // Zone "West" is UTM 37N (central meridian 39E), zone "East" is UTM 38N (45E). Their boxes
    // (each in its own zone's metres) overlap in northing 500000..1000000. All points lie on
    // easting 500000, which each zone maps exactly onto its central meridian, by definition.
    auto zone = [](const char* caption, const char* proj, const char* box) {
        return TJson{
            {"Caption", caption}, {"Format", "PROJ4"}, {"Parameters", proj}, {"BBox", box}};
    };
    const TJson parameters = {
        {"Zones",
         {zone("West", "+proj=utm +zone=37 +datum=WGS84", "400000 0 600000 1000000"),
          zone("East", "+proj=utm +zone=38 +datum=WGS84", "400000 500000 600000 2000000")}}};
    const auto msk = RefDef("MSK", DumpAnsiJson(parameters).c_str(), false, "МСК-двух-зон");
    ASSERT_NO_THROW(catalog->ValidateReference(msk));

    TImportTransformation import;
    import.SetCatalog(catalog);
    import.SetMethodIndex(1);
    import.SetDatabaseReference(RefDef("EPSG", "4326"));
    import.SetSourceReference(msk);
    import.PrepareImportTransformation();

    struct Step {
        const char* why;
        double northing;
        bool ok;
        double lon;
    } steps[] = {
        {"only in West", 100000, true, 39},
        {"overlap: West is listed first", 700000, true, 39},
        {"only in East", 1500000, true, 45},
        {"overlap again: East was used last and contains it", 700000, true, 45},
        {"outside every zone", 2500000, false, 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.why);
        double x = 500000, y = s.northing;
        const TFunctionResult result = import.ConvertPoint(x, y);
        EXPECT_EQ(result.Succeeded(), s.ok) << result.Message;
        if (s.ok) {
            EXPECT_NEAR(x, s.lon, 1e-9);
            EXPECT_GT(y, 0);
            EXPECT_LT(y, 20);
        } else {
            EXPECT_EQ(result.Message, Ansi("Для точки координатной системы \"МСК-двух-зон\" не "
                                           "найдено соответствующее преобразование"));
            EXPECT_EQ(x, 500000);
            EXPECT_EQ(y, s.northing);
        }
    }

    // Into a local zone system nothing converts.
    import.SetDatabaseReference(msk);
    import.SetSourceReference(RefDef("EPSG", "4326"));
    EXPECT_THROW(import.PrepareImportTransformation(), ECoordinateSystemTransformerError);
}

TEST_F(Conversions, ProviderExportsAndGeoFileInfo) {
    TCoordinateReference reference(RefDef("EPSG", "32637", true, "UTM"));
    TCoordinateReferenceDef exported;
    ASSERT_TRUE(provider->ExportReference(reference, "PROJ4", exported));
    EXPECT_EQ(exported.Format, "PROJ4");
    EXPECT_NE(exported.Parameters.find("+proj=utm +zone=37"), std::string::npos)
        << exported.Parameters;
    EXPECT_EQ(exported.Caption, "UTM");
    EXPECT_TRUE(exported.SwitchXY) << "only the format and parameters change";
    ASSERT_TRUE(
        provider->ExportReference(TCoordinateReference(RefDef("EPSG", "4326")), "WKT", exported));
    ASSERT_TRUE(provider->ExportReference(TCoordinateReference(exported), "EPSG", exported));
    EXPECT_EQ(exported.Parameters, "4326");
    EXPECT_FALSE(provider->ExportReference(reference, "GML", exported));

    TGeoFileInfo info;
    EXPECT_FALSE(provider->GetGeoFileInfo("map.tif", info));
    EXPECT_EQ(info.Message, "Method <GetGeoFileInfo> not found in KavroGdal.dll.");
}
