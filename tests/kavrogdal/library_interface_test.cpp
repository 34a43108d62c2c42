// KavroGdal's C interface called directly, and the module's loader of such libraries.
#include "coords/coordinate_system_library.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

// The library is called through the module's loader, as the module calls it.
class KavroGdalInterface : public ::testing::Test {
protected:
    void SetUp() override {
        auto file = FindCoordinateSystemLibrary(TI_BIN_DIR);
        ASSERT_TRUE(file) << "KavroGdal not found under " << TI_BIN_DIR;
        library = std::make_shared<TCoordinateSystemLibrary>(*file);
        library->Load("");
    }
    std::shared_ptr<TCoordinateSystemLibrary> library;
    const TKavroGdalExports& api() { return library->Exports(); }
    std::string TakeText(char* data) { return library->TakeText(data); }
};

TEST_F(KavroGdalInterface, FoundInTheGdalSubfolder) {
    EXPECT_EQ(library->File().parent_path().filename(), "GDAL");
    EXPECT_EQ(library->File().filename(), "KavroGdal.so");
}

TEST_F(KavroGdalInterface, LastErrorIsNullUntilSomethingFails) {
    void* handle = nullptr;
    ASSERT_TRUE(api().CreateCoordinateSystem("", "EPSG", "4326", &handle));
    EXPECT_EQ(api().GetLastError(), nullptr);
    api().DestroyCoordinateSystem(handle);

    struct Case {
        const char* format;
        const char* parameters;
        long long code;
        const char* messageStart;
    } cases[] = {
        {"EPSG", "999999", 3, "Cannot create the coordinate system"},
        {"EPSG", "43x", 2, "Invalid EPSG code \"43x\""},
        {"GML", "<x/>", 4, "Unsupported coordinate system format \"GML\""},
        {"WKT", "GEOGCS[", 3, "Invalid WKT"},
        {"PROJ4", "+proj=nonsense", 3, "Cannot create the coordinate system"},
        {"PROJ4", "+proj=pipeline +step +proj=axisswap +order=2,1", 3,
         "The definition is not a coordinate reference system"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        handle = reinterpret_cast<void*>(1);
        EXPECT_FALSE(api().CreateCoordinateSystem("", c.format, c.parameters, &handle));
        EXPECT_EQ(handle, nullptr);
        const auto error = library->LastError();
        EXPECT_EQ(error.Code, c.code);
        EXPECT_EQ(error.Message.rfind(c.messageStart, 0), 0u) << error.Message;
    }
}

TEST_F(KavroGdalInterface, InfoFormatsAndExport) {
    void* utm = nullptr;
    ASSERT_TRUE(api().CreateCoordinateSystem("", "PROJ4", "+proj=utm +zone=37 +datum=WGS84", &utm));
    char* text = nullptr;
    ASSERT_TRUE(api().GetCoordinateSystemInfo(utm, &text));
    TCoordinateReferenceDef info;
    info.LoadFromJSON(ParseAnsiJson(TakeText(text)));
    EXPECT_EQ(info.Format, "PROJ4");
    EXPECT_EQ(info.Parameters, "+proj=utm +zone=37 +datum=WGS84");
    EXPECT_EQ(info.Type, TCoordinateReferenceType::Projected);

    void* epsg = nullptr;
    ASSERT_TRUE(api().CreateCoordinateSystem("", "EPSG", "EPSG:32637", &epsg));
    ASSERT_TRUE(api().GetCoordinateSystemInfo(epsg, &text));
    info.LoadFromJSON(ParseAnsiJson(TakeText(text)));
    EXPECT_EQ(info.Caption, "WGS 84 / UTM zone 37N");
    ASSERT_TRUE(info.HasBoundingBox);
    // EPSG's area of use of zone 37N is 36..42 degrees east, equator to 84 north: in metres the
    // box straddles the false easting and starts at the equator.
    EXPECT_LT(info.BoundingBox.min.x, 500000);
    EXPECT_GT(info.BoundingBox.max.x, 500000);
    EXPECT_NEAR(info.BoundingBox.min.y, 0, 1e-3);

    bool same = false;
    ASSERT_TRUE(api().IsCoordinateSystemSame(utm, epsg, &same));

    ASSERT_TRUE(api().ExportCoordinateSystemTo(epsg, "WKT", &text));
    const std::string wkt = TakeText(text);
    void* fromWkt = nullptr;
    ASSERT_TRUE(api().CreateCoordinateSystem("", "WKT", wkt.c_str(), &fromWkt));
    ASSERT_TRUE(api().ExportCoordinateSystemTo(fromWkt, "EPSG", &text));
    EXPECT_EQ(TakeText(text), "32637");
    ASSERT_TRUE(api().ExportCoordinateSystemTo(utm, "PROJ4", &text));
    EXPECT_NE(TakeText(text).find("+zone=37"), std::string::npos);
    EXPECT_FALSE(api().ExportCoordinateSystemTo(utm, "GML", &text));

    ASSERT_TRUE(api().GetSupportedCoordinateSystemFormats(&text));
    const TJson formats = ParseAnsiJson(TakeText(text));
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_EQ(formats[0]["Name"], "PROJ4");

    for (void* h : {utm, epsg, fromWkt})
        api().DestroyCoordinateSystem(h);
}

TEST_F(KavroGdalInterface, PointsFlagsAndBounds) {
    void *geo = nullptr, *utm = nullptr, *t = nullptr;
    ASSERT_TRUE(api().CreateCoordinateSystem("", "EPSG", "4326", &geo));
    ASSERT_TRUE(api().CreateCoordinateSystem("", "EPSG", "32637", &utm));
    ASSERT_TRUE(api().CreateCoordinateTransformer(geo, utm, "", &t));

    // Longitude first (normalised axis order); the second point's latitude is impossible.
    double points[] = {39, 0, 0, 39, 100, 0, 39, 10, 0};
    bool flags[3] = {false, true, false};
    ASSERT_TRUE(api().TransformPoints(t, 3, points, flags));
    EXPECT_TRUE(flags[0]);
    EXPECT_FALSE(flags[1]);
    EXPECT_TRUE(flags[2]);
    EXPECT_NEAR(points[0], 500000, 1e-3); // central meridian maps to the false easting
    EXPECT_EQ(points[3], 39) << "a failed point keeps its coordinates";
    EXPECT_EQ(points[4], 100);
    EXPECT_NEAR(points[6], 500000, 1e-3);

    double x = 39, y = 100, z = 0;
    EXPECT_FALSE(api().TransformPoint(t, &x, &y, &z));
    EXPECT_EQ(x, 39);

    double box[6] = {38, 10, 0, 40, 20, 0};
    ASSERT_TRUE(api().TransformBounds(t, box));
    EXPECT_LT(box[0], 500000);
    EXPECT_GT(box[3], 500000);
    ASSERT_TRUE(api().InverseTransformBounds(t, box));
    EXPECT_NEAR(box[1], 10, 0.1);
    EXPECT_NEAR(box[4], 20, 0.1);

    EXPECT_TRUE(api().DestroyCoordinateTransformer(t));
    api().DestroyCoordinateSystem(geo);
    api().DestroyCoordinateSystem(utm);
}

TEST_F(KavroGdalInterface, ReloadAfterUnload) {
    char* text = nullptr;
    ASSERT_TRUE(api().GetPredefinedCoordinateSystems(&text));
    const std::string first = TakeText(text);
    library->Unload();
    EXPECT_FALSE(library->IsLoaded());
    library->Load("");
    ASSERT_TRUE(api().GetPredefinedCoordinateSystems(&text));
    EXPECT_EQ(TakeText(text), first);
    void* handle = nullptr;
    ASSERT_TRUE(api().CreateCoordinateSystem("", "EPSG", "4284", &handle));
    api().DestroyCoordinateSystem(handle);
}

TEST(CoordinateSystemLibraryLoader, Failures) {
    TTempDir dir;
    std::ofstream(dir / "KavroGdal.so") << "not a library";
    struct Case {
        std::filesystem::path file;
        std::string messageStart; // UTF-8
    } cases[] = {
        {dir / "absent.so",
         "Ошибка загрузки библиотеки. Не найден файл \"" + (dir / "absent.so").string() + "\""},
        {dir / "KavroGdal.so", (dir / "KavroGdal.so").string()}, // the loader's own message
        {TI_STAND_IN_MISSING_EXPORT, "Не найдена функция \"TransformPoint\""},
        {TI_STAND_IN_FAILING_INIT, std::string("Ошибка инициализации модуля \"") +
                                       TI_STAND_IN_FAILING_INIT + "\". no data files"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        TCoordinateSystemLibrary library(c.file);
        try {
            library.Load("");
            ADD_FAILURE() << "loaded";
        } catch (const ECoordinateSystemError& e) {
            EXPECT_EQ(e.Message().rfind(Ansi(c.messageStart), 0), 0u) << AnsiToUtf8(e.Message());
        }
        EXPECT_FALSE(library.IsLoaded());
        try {
            (void)library.Exports();
            ADD_FAILURE();
        } catch (const ECoordinateSystemError& e) {
            EXPECT_EQ(e.Message(), Ansi("Модуль не проинициализирован"));
        }
    }
}

TEST(CoordinateSystemLibraryLoader, FindingTheLibrary) {
    TTempDir dir;
    EXPECT_FALSE(FindCoordinateSystemLibrary(dir.Path().string()));
    EXPECT_EQ(CreateGDALProvider(dir.Path().string()), nullptr);
    std::filesystem::create_directories(dir / "a" / "b");
    std::ofstream(dir / "a" / "b" / "KavroGdal.so") << "x";
    EXPECT_EQ(FindCoordinateSystemLibrary(dir.Path().string()), dir / "a" / "b" / "KavroGdal.so");

    ::setenv("TI_TEST_GDAL_FOLDER", dir.Path().c_str(), 1);
    EXPECT_EQ(FindCoordinateSystemLibrary("${TI_TEST_GDAL_FOLDER}/a"),
              dir / "a" / "b" / "KavroGdal.so");
    EXPECT_EQ(FindCoordinateSystemLibrary("%TI_TEST_GDAL_FOLDER%/a"),
              dir / "a" / "b" / "KavroGdal.so");
    ::unsetenv("TI_TEST_GDAL_FOLDER");

    // The provider of a found file loads that file (here: not a library, so loading fails).
    auto provider = CreateGDALProvider(dir.Path().string());
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(provider->Name(), "Kavro.GDAL");
    EXPECT_THROW(provider->Initialize(), ECoordinateSystemError);
}
