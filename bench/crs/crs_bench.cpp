// crs_bench BIN_DIR [--write-points FILE]: converts 1,000,000 WGS 84 points to UTM zone 37N
// through TImportTransformation::ConvertPoint (the KavroGdal library found under BIN_DIR) and
// through proj_trans directly, and prints points per second for both. With --write-points it
// only writes the points as "lat lon" lines for cs2cs.
#include "coords/coordinate_system_library.h"
#include "coords/import_transformation.h"

#include <proj.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr size_t kPoints = 1000000;
constexpr int kRounds = 3;

struct Points {
    std::vector<double> lon, lat;
};

Points MakePoints() {
    Points p;
    p.lon.resize(kPoints);
    p.lat.resize(kPoints);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    // Inside the zone's area of use: 36..42 E, 0..84 N.
    for (size_t i = 0; i < kPoints; ++i) {
        p.lon[i] = 36 + 6 * next();
        p.lat[i] = 84 * next();
    }
    return p;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TCoordinateReferenceDef Epsg(const char* code) {
    TCoordinateReferenceDef def;
    def.SetFormat("EPSG");
    def.Parameters = code;
    return def;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: crs_bench BIN_DIR [--write-points FILE]\n");
        return 2;
    }
    const Points points = MakePoints();
    if (argc == 4 && std::strcmp(argv[2], "--write-points") == 0) {
        FILE* file = std::fopen(argv[3], "w");
        if (!file)
            return 1;
        for (size_t i = 0; i < kPoints; ++i)
            std::fprintf(file, "%.9f %.9f\n", points.lat[i], points.lon[i]);
        std::fclose(file);
        return 0;
    }

    try {
        // Ours: the import run's point conversion through the library boundary.
        auto provider = CreateGDALProvider(argv[1]);
        if (!provider) {
            std::fprintf(stderr, "crs_bench: KavroGdal not found under %s\n", argv[1]);
            return 1;
        }
        TCoordinateSystemCatalog catalog({provider});
        catalog.Reload();
        TImportTransformation import;
        import.SetCatalog(&catalog);
        import.SetMethodIndex(1);
        import.SetDatabaseReference(Epsg("32637"));
        import.SetSourceReference(Epsg("4326"));
        import.PrepareImportTransformation();

        // PROJ directly, the same operation with the same axis order.
        PJ_CONTEXT* ctx = proj_context_create();
        proj_context_set_enable_network(ctx, 0);
        PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:4326", "EPSG:32637", nullptr);
        PJ* op = proj_normalize_for_visualization(ctx, raw);
        proj_destroy(raw);

        std::vector<double> ox(kPoints), oy(kPoints), px(kPoints), py(kPoints);
        double bestOurs = 1e30, bestProj = 1e30;
        size_t failures = 0;
        for (int round = 0; round < kRounds; ++round) {
            auto start = std::chrono::steady_clock::now();
            failures = 0;
            for (size_t i = 0; i < kPoints; ++i) {
                double x = points.lon[i], y = points.lat[i];
                if (!import.ConvertPoint(x, y).Succeeded())
                    ++failures;
                ox[i] = x;
                oy[i] = y;
            }
            bestOurs = std::min(bestOurs, Seconds(start));

            start = std::chrono::steady_clock::now();
            for (size_t i = 0; i < kPoints; ++i) {
                const PJ_COORD c =
                    proj_trans(op, PJ_FWD, proj_coord(points.lon[i], points.lat[i], 0, HUGE_VAL));
                px[i] = c.xy.x;
                py[i] = c.xy.y;
            }
            bestProj = std::min(bestProj, Seconds(start));
        }
        double maxDiff = 0;
        for (size_t i = 0; i < kPoints; ++i)
            maxDiff = std::max({maxDiff, std::fabs(ox[i] - px[i]), std::fabs(oy[i] - py[i])});
        proj_destroy(op);
        proj_context_destroy(ctx);

        const double ours = kPoints / bestOurs, proj = kPoints / bestProj;
        std::printf("crs: %zu points WGS 84 -> UTM 37N, best of %d rounds\n", kPoints, kRounds);
        std::printf("crs: ConvertPoint %.3f s, proj_trans %.3f s, failed points %zu, largest "
                    "difference %.3g m\n",
                    bestOurs, bestProj, failures, maxDiff);
        std::printf("crs: ours=%.0f proj_trans=%.0f ratio=%.3f\n", ours, proj, ours / proj);
        return maxDiff == 0 && failures == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "crs_bench: %s\n", AnsiToUtf8(ExceptionMessage(e)).c_str());
        return 1;
    }
}
