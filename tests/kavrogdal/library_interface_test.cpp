// KavroGdal's C interface called directly, and the module's loader of such libraries.
#include "coords/coordinate_system_library.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <fstream>
#include <thread>
#include <vector>

// The library is called through the module's loader, as the module calls it.
class KavroGdalInterface : public ::testing::Test {
protected:
    void SetUp() override {
        auto file = FindCoordinateSystemLibrary(TI_BIN_DIR);
        ASSERT_TRUE(file) << "KavroGdal not found under " << TI_BIN_DIR;
        library = std::make_shared<TCoordinateSystemLibrary>(*file);
        library->Load("");
    }
    void TearDown() override {
        for (void* t : transformers)
            api().DestroyCoordinateTransformer(t);
        for (void* h : systems)
            api().DestroyCoordinateSystem(h);
    }
    std::shared_ptr<TCoordinateSystemLibrary> library;
    const TKavroGdalExports& api() { return library->Exports(); }
    std::string TakeText(char* data) { return library->TakeText(data); }

    // Handles destroyed with the test; null (and a failure) when the library refuses.
    void* System(const char* format, const char* parameters) {
        void* handle = nullptr;
        EXPECT_TRUE(api().CreateCoordinateSystem("", format, parameters, &handle))
            << parameters << ": " << library->LastError().Message;
        if (handle)
            systems.push_back(handle);
        return handle;
    }
    void* Transformer(void* source, void* target) {
        void* handle = nullptr;
        EXPECT_TRUE(api().CreateCoordinateTransformer(source, target, "", &handle))
            << library->LastError().Message;
        if (handle)
            transformers.push_back(handle);
        return handle;
    }
    std::vector<void*> systems, transformers;
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

// Sets the stand-in library's error text for the life of the object (null: its own).
class TStandInError {
public:
    explicit TStandInError(const char* text) {
        if (text)
            ::setenv("TI_STAND_IN_ERROR", text, 1);
    }
    ~TStandInError() { ::unsetenv("TI_STAND_IN_ERROR"); }
};

TEST_F(KavroGdalInterface, OnlyHorizontalSystems) {
    struct Case {
        const char* format;
        const char* parameters;
        const char* type; // null: refused
        const char* why;
    } cases[] = {
        {"EPSG", "5703", nullptr, "is a vertical system"},
        {"EPSG", "4978", nullptr, "is a geocentric system"},
        {"PROJ4", "+proj=geocent +datum=WGS84", nullptr, "is a geocentric system"},
        {"EPSG", "4979", "Geographic", "WGS 84 in three dimensions: its 2D form"},
        {"EPSG", "7405", "Projected", "British National Grid + ODN height: the grid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        void* handle = nullptr;
        const bool created = api().CreateCoordinateSystem("", c.format, c.parameters, &handle);
        ASSERT_EQ(created, c.type != nullptr) << library->LastError().Message;
        if (!created) {
            const auto error = library->LastError();
            EXPECT_EQ(error.Code, 6);
            EXPECT_EQ(error.Message.rfind("Only horizontal coordinate systems can be used", 0), 0u);
            EXPECT_NE(error.Message.find(c.why), std::string::npos) << error.Message;
            continue;
        }
        systems.push_back(handle);
        char* text = nullptr;
        ASSERT_TRUE(api().GetCoordinateSystemInfo(handle, &text));
        EXPECT_EQ(ParseAnsiJson(TakeText(text))["Type"], c.type);
    }

    // The compound system converts as its horizontal part: EPSG Guidance Note 7-2, Transverse
    // Mercator worked example (OSGB 1936 / British National Grid): 50d30'N 0d30'E gives
    // E 577274.99 m, N 69740.50 m.
    void* t = Transformer(System("EPSG", "4277"), System("EPSG", "7405"));
    ASSERT_NE(t, nullptr);
    double x = 0.5, y = 50.5, z = 0;
    ASSERT_TRUE(api().TransformPoint(t, &x, &y, &z));
    EXPECT_NEAR(x, 577274.99, 0.01);
    EXPECT_NEAR(y, 69740.50, 0.01);
}

// PROJ's fallback between two datums when it knows no shift converts as if they were one (with
// +ellps=krass and no +towgs84, about 116 m off near Moscow): the transformer is refused.
TEST_F(KavroGdalInterface, NoTransformationThatIgnoresTheDatum) {
    void* wgs84 = System("EPSG", "4326");
    void* krassowsky = System("PROJ4", "+proj=longlat +ellps=krass");
    void* transformer = reinterpret_cast<void*>(1);
    EXPECT_FALSE(api().CreateCoordinateTransformer(wgs84, krassowsky, "", &transformer));
    EXPECT_EQ(transformer, nullptr);
    const auto error = library->LastError();
    EXPECT_EQ(error.Code, 7);
    EXPECT_EQ(error.Message.rfind("No datum shift is known", 0), 0u) << error.Message;
    EXPECT_NE(error.Message.find("+towgs84=dx,dy,dz"), std::string::npos) << error.Message;

    // On the same datum: Gauss-Kruger zone 7 on that ellipsoid maps its central meridian 39E
    // to the false easting 7 500 000 m and the equator to northing 0, by definition.
    void* t =
        Transformer(krassowsky, System("PROJ4", "+proj=tmerc +lon_0=39 +x_0=7500000 +ellps=krass"));
    ASSERT_NE(t, nullptr);
    double x = 39, y = 0, z = 0;
    ASSERT_TRUE(api().TransformPoint(t, &x, &y, &z));
    EXPECT_NEAR(x, 7500000, 1e-3);
    EXPECT_NEAR(y, 0, 1e-3);

    // With the shift given, the datums are joined.
    EXPECT_NE(Transformer(wgs84, System("PROJ4", "+proj=longlat +ellps=krass "
                                                 "+towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22")),
              nullptr);
}

// PROJ's log lines of a failure are part of the error text, and nothing reaches stderr.
TEST_F(KavroGdalInterface, ProjLogGoesIntoTheErrorText) {
    testing::internal::CaptureStderr();
    void* handle = nullptr;
    const bool created = api().CreateCoordinateSystem("", "PROJ4", "+proj=utm +zone=99", &handle);
    const auto error = library->LastError();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(created);
    EXPECT_EQ(error.Message.rfind("Cannot create the coordinate system", 0), 0u);
    EXPECT_NE(error.Message.find("utm: Invalid value for zone"), std::string::npos)
        << error.Message;
}

TEST_F(KavroGdalInterface, ASuccessfulCallLeavesNoError) {
    void* t = Transformer(System("EPSG", "4326"), System("EPSG", "32637"));
    ASSERT_NE(t, nullptr);
    double x = 39, y = 100, z = 0; // no such latitude
    EXPECT_FALSE(api().TransformPoint(t, &x, &y, &z));
    EXPECT_NE(library->LastError().Code, 0);
    y = 10;
    ASSERT_TRUE(api().TransformPoint(t, &x, &y, &z));
    EXPECT_EQ(library->LastError().Code, 0) << "the failure before is not this call's";

    void* handle = nullptr;
    EXPECT_FALSE(api().CreateCoordinateSystem("", "EPSG", "43x", &handle));
    char* text = nullptr;
    ASSERT_TRUE(api().GetSupportedCoordinateSystemFormats(&text));
    TakeText(text);
    EXPECT_EQ(api().GetLastError(), nullptr);
}

// Two threads, each as a wizard uses the library: its own library object (loaded, so initialised,
// and unloaded, so finalised, every round), its own systems and transformers, their descriptions.
// The results are those of one thread, every round. The systems vary from round to round (the
// Gauss-Kruger zones of Pulkovo 1942 and the UTM zones of WGS 84), so that PROJ reads its
// database throughout. Nothing else may hold the library meanwhile, so this is no fixture test.
TEST(CoordinateSystemLibraryLoader, TwoThreadsEachWithTheirOwnLibraryAndHandles) {
    const auto file = FindCoordinateSystemLibrary(TI_BIN_DIR);
    ASSERT_TRUE(file);
    struct Pair {
        std::string source, target;
        double x, y;
    };
    std::vector<Pair> pairs;
    for (int zone = 4; zone <= 32; ++zone) // EPSG 28404..28432, central meridian 6 * zone - 3
        pairs.push_back({"4284", std::to_string(28400 + zone), 6.0 * zone - 3.5, 55.0});
    for (int zone = 31; zone <= 60; ++zone) // EPSG 32631..32660, central meridian 6 * zone - 183
        pairs.push_back({"4326", std::to_string(32600 + zone), 6.0 * zone - 182.5, 50.0});
    struct Result {
        double x = NAN, y = NAN;
        std::string info;
        bool operator==(const Result&) const = default;
    };
    // NaN and no text when any step failed.
    const auto convert = [&file](const Pair& p) {
        Result result;
        TCoordinateSystemLibrary library(*file);
        library.Load("");
        const auto& api = library.Exports();
        void *s = nullptr, *t = nullptr, *op = nullptr;
        char* info = nullptr;
        if (api.CreateCoordinateSystem("", "EPSG", p.source.c_str(), &s) &&
            api.CreateCoordinateSystem("", "EPSG", p.target.c_str(), &t) &&
            api.GetCoordinateSystemInfo(t, &info) &&
            api.CreateCoordinateTransformer(s, t, "", &op)) {
            double x = p.x, y = p.y, z = 0;
            if (api.TransformPoint(op, &x, &y, &z))
                result = {x, y, info};
        }
        api.DestroyData(info);
        api.DestroyCoordinateTransformer(op);
        api.DestroyCoordinateSystem(s);
        api.DestroyCoordinateSystem(t);
        return result;
    };
    std::vector<Result> expected;
    for (const Pair& p : pairs) {
        expected.push_back(convert(p));
        ASSERT_FALSE(std::isnan(expected.back().x)) << p.source << " " << p.target;
    }

    std::atomic<int> mismatches{0};
    const auto run = [&](std::size_t offset) {
        for (int pass = 0; pass < 5; ++pass) {
            for (std::size_t round = 0; round < pairs.size(); ++round) {
                const std::size_t i = (round + offset) % pairs.size();
                if (!(convert(pairs[i]) == expected[i]))
                    ++mismatches;
            }
        }
    };
    std::thread first(run, 0), second(run, pairs.size() / 2);
    first.join();
    second.join();
    EXPECT_EQ(mismatches.load(), 0) << "of " << 10 * pairs.size() << " rounds";
}

TEST(CoordinateSystemLibraryLoader, Failures) {
    TTempDir dir;
    std::ofstream(dir / "KavroGdal.so") << "not a library";
    const std::string initFailed =
        std::string("Ошибка инициализации модуля \"") + TI_STAND_IN_FAILING_INIT + "\". ";
    struct Case {
        std::filesystem::path file;
        const char* errorText; // what the library's GetLastError gives; null: its JSON
        std::string message;   // UTF-8; the start of it for the loader's own message
    } cases[] = {
        {dir / "absent.so", nullptr,
         "Ошибка загрузки библиотеки. Не найден файл \"" + (dir / "absent.so").string() + "\""},
        {dir / "KavroGdal.so", nullptr, (dir / "KavroGdal.so").string()},
        {TI_STAND_IN_MISSING_EXPORT, nullptr, "Не найдена функция \"TransformPoint\""},
        {TI_STAND_IN_FAILING_INIT, nullptr, initFailed + "no data files"},
        // An error text that is not JSON, or not the expected JSON, is shown as it stands.
        {TI_STAND_IN_FAILING_INIT, "PROJ data files not found",
         initFailed + "PROJ data files not found"},
        {TI_STAND_IN_FAILING_INIT, "{\"Code\": 7, \"Message\": 12}",
         initFailed + "{\"Code\": 7, \"Message\": 12}"},
        {TI_STAND_IN_FAILING_INIT, "", initFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string() + " " + (c.errorText ? c.errorText : "(own error)"));
        TStandInError errorText(c.errorText);
        TCoordinateSystemLibrary library(c.file);
        try {
            library.Load("");
            ADD_FAILURE() << "loaded";
        } catch (const ECoordinateSystemError& e) {
            EXPECT_EQ(e.Message().rfind(Ansi(c.message), 0), 0u) << AnsiToUtf8(e.Message());
            if (c.file == TI_STAND_IN_FAILING_INIT) {
                EXPECT_EQ(e.Message(), Ansi(c.message));
            }
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

// The error code of the library's error text is a whole number; anything else makes the text
// malformed (an error of the JSON model), never a number converted out of range.
TEST(CoordinateSystemLibraryLoader, ErrorCodeMustBeAWholeNumber) {
    TCoordinateSystemLibrary library(TI_STAND_IN);
    library.Load("");
    struct Case {
        const char* text;
        bool valid;
        long long code;
    } cases[] = {
        {R"({"Code": 7, "Message": "m"})", true, 7},
        {R"({"Code": -3, "Message": "m"})", true, -3},
        {R"({"Code": 7.0, "Message": "m"})", true, 7},
        {R"({"Message": "m"})", true, 0},
        {R"({"Code": null, "Message": "m"})", true, 0},
        {R"({"Code": 9223372036854775807, "Message": "m"})", true, 9223372036854775807},
        {R"({"Code": 1e300, "Message": "m"})", false, 0},
        {R"({"Code": -1e300, "Message": "m"})", false, 0},
        {R"({"Code": 9.3e18, "Message": "m"})", false, 0},
        {R"({"Code": 18446744073709551615, "Message": "m"})", false, 0},
        {R"({"Code": 0.5, "Message": "m"})", false, 0},
        {R"({"Code": "7", "Message": "m"})", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TStandInError errorText(c.text);
        if (c.valid) {
            EXPECT_EQ(library.LastError().Code, c.code);
        } else {
            EXPECT_THROW((void)library.LastError(), EJsonError);
        }
    }
}

TEST(CoordinateSystemLibraryLoader, FindingTheLibrary) {
    TTempDir dir;
    EXPECT_FALSE(FindCoordinateSystemLibrary(dir.Path().string()));
    EXPECT_EQ(CreateGDALProvider(dir.Path().string()), nullptr);
    // Copies at several depths: the shallowest wins, then the first by name, whatever order
    // the folders were made (and are listed) in.
    for (const char* sub : {"z", "a/b", "m", "a/a"}) {
        std::filesystem::create_directories(dir / sub);
        std::ofstream(dir / sub / "KavroGdal.so") << "x";
    }
    EXPECT_EQ(FindCoordinateSystemLibrary(dir.Path().string()), dir / "m" / "KavroGdal.so");
    EXPECT_EQ(FindCoordinateSystemLibrary((dir / "a").string()), dir / "a" / "a" / "KavroGdal.so");

    ::setenv("TI_TEST_GDAL_FOLDER", dir.Path().c_str(), 1);
    EXPECT_EQ(FindCoordinateSystemLibrary("${TI_TEST_GDAL_FOLDER}/a/b"),
              dir / "a" / "b" / "KavroGdal.so");
    EXPECT_EQ(FindCoordinateSystemLibrary("%TI_TEST_GDAL_FOLDER%/a/b"),
              dir / "a" / "b" / "KavroGdal.so");

    // A folder named in Cyrillic, given directly (Windows-1251) or through a variable (whose
    // value the system gives as UTF-8): the text is decoded once.
    const auto cyrillic = dir / "Библиотеки ГИС";
    std::filesystem::create_directories(cyrillic / "GDAL");
    std::ofstream(cyrillic / "GDAL" / "KavroGdal.so") << "x";
    EXPECT_EQ(FindCoordinateSystemLibrary(Utf8ToAnsi(cyrillic.string())),
              cyrillic / "GDAL" / "KavroGdal.so");
    ::setenv("TI_TEST_GDAL_FOLDER", cyrillic.c_str(), 1);
    EXPECT_EQ(FindCoordinateSystemLibrary("${TI_TEST_GDAL_FOLDER}"),
              cyrillic / "GDAL" / "KavroGdal.so");
    ::unsetenv("TI_TEST_GDAL_FOLDER");

    // The provider of a found file loads that file (here: not a library, so loading fails).
    auto provider = CreateGDALProvider(dir.Path().string());
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(provider->Name(), "Kavro.GDAL");
    EXPECT_THROW(provider->Initialize(), ECoordinateSystemError);
}
