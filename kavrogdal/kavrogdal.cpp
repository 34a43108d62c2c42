// KavroGdal on PROJ: coordinate systems from PROJ strings, WKT and EPSG codes, transformers with
// easting/longitude-first axis order, bounds, predefined systems from PROJ's database.
#include "kavrogdal.h"

#include "platform/codepage.h"
#include "proj_context.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

using namespace kavrogdal;

namespace {

using Json = nlohmann::ordered_json;

// --- module state ----------------------------------------------------------------------------

// InitializeModule and FinalizeModule count; every export reads the count under the lock.
std::mutex g_stateMutex;
int g_initCount = 0;

std::mutex g_listMutex;
// JSON text (UTF-8), built on first request (about a second for PROJ's database) and kept for
// the life of the process: the library stays mapped (-z nodelete), so a host that loads and
// unloads it per wizard pays once.
std::string g_predefinedCache;

bool Initialized() {
    {
        std::lock_guard lock(g_stateMutex);
        if (g_initCount > 0)
            return true;
    }
    return Fail(kErrorNotInitialized, "The module is not initialised");
}

// Runs the body of an export: no exception leaves the library.
template <class F> bool Guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(kErrorOutOfMemory, "Out of memory");
    } catch (const std::exception& e) {
        try {
            return Fail(kErrorProj, e.what());
        } catch (...) {
            return Fail(kErrorOutOfMemory, "Out of memory");
        }
    } catch (...) {
        return Fail(kErrorProj, "Unknown error");
    }
}

char* CopyOut(const std::string& utf8) {
    const std::string ansi = Utf8ToAnsi(utf8);
    char* data = static_cast<char*>(std::malloc(ansi.size() + 1));
    if (data)
        std::memcpy(data, ansi.c_str(), ansi.size() + 1);
    return data;
}

std::string Number(double value) {
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, r.ptr);
}

std::string NameOf(const PJ* object) {
    const char* name = proj_get_name(object);
    return name ? name : "";
}

// --- coordinate systems ----------------------------------------------------------------------

struct TBox {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// A handle owns its context; its PROJ objects go before the context (declaration order).
struct TCoordinateSystem {
    TContext context;
    TPj crs;
    std::string format;     // as the caller named it, UTF-8
    std::string parameters; // UTF-8
};

struct TTransformer {
    TContext context;
    TPj operation;
};

// The area of use of a system in its own (normalised) coordinates.
bool AreaInOwnCoordinates(PJ_CONTEXT* ctx, PJ* crs, double west, double south, double east,
                          double north, TBox& box) {
    if (west > east) // crossing the antimeridian: keep the whole longitude range
        west = -180, east = 180;
    const PJ_TYPE type = proj_get_type(crs);
    if (type == PJ_TYPE_GEOGRAPHIC_2D_CRS || type == PJ_TYPE_GEOGRAPHIC_3D_CRS) {
        box = {west, south, east, north};
        return true;
    }
    TPj geographic(proj_crs_get_geodetic_crs(ctx, crs));
    if (!geographic)
        return false;
    bool ok = false;
    if (TPj op{proj_create_crs_to_crs_from_pj(ctx, geographic.get(), crs, nullptr, nullptr)}) {
        if (TPj normal{proj_normalize_for_visualization(ctx, op.get())})
            ok = proj_trans_bounds(ctx, normal.get(), PJ_FWD, west, south, east, north, &box.minX,
                                   &box.minY, &box.maxX, &box.maxY, 21) != 0;
    }
    proj_errno_reset(crs);
    return ok;
}

Json ReferenceJson(const std::string& caption, const std::string& format,
                   const std::string& parameters, const char* type, const TBox* box) {
    Json object = Json::object();
    object["Caption"] = caption;
    object["Format"] = format;
    object["Parameters"] = parameters;
    object["Type"] = type;
    if (box)
        object["BBox"] = Number(box->minX) + " " + Number(box->minY) + " " + Number(box->maxX) +
                         " " + Number(box->maxY);
    return object;
}

bool PointIsValid(const PJ_COORD& c) {
    return std::isfinite(c.xyz.x) && std::isfinite(c.xyz.y) && c.xyz.x != HUGE_VAL;
}

std::string BuildPredefinedList(PJ_CONTEXT* ctx) {
    PROJ_CRS_LIST_PARAMETERS* parameters = proj_get_crs_list_parameters_create();
    PJ_TYPE types[] = {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_PROJECTED_CRS};
    parameters->types = types;
    parameters->typesCount = 2;
    parameters->allow_deprecated = 0;
    int count = 0;
    PROJ_CRS_INFO** list = proj_get_crs_info_list_from_database(ctx, "EPSG", parameters, &count);
    proj_get_crs_list_parameters_destroy(parameters);
    Json array = Json::array();
    for (int i = 0; i < count; ++i) {
        const PROJ_CRS_INFO* info = list[i];
        TBox box;
        bool hasBox = false;
        if (info->bbox_valid) {
            if (info->type == PJ_TYPE_GEOGRAPHIC_2D_CRS) {
                hasBox = true;
                double west = info->west_lon_degree, east = info->east_lon_degree;
                if (west > east)
                    west = -180, east = 180;
                box = {west, info->south_lat_degree, east, info->north_lat_degree};
            } else if (TPj crs{proj_create_from_database(ctx, info->auth_name, info->code,
                                                         PJ_CATEGORY_CRS, false, nullptr)}) {
                hasBox = AreaInOwnCoordinates(ctx, crs.get(), info->west_lon_degree,
                                              info->south_lat_degree, info->east_lon_degree,
                                              info->north_lat_degree, box);
            }
        }
        array.push_back(ReferenceJson(info->name, "EPSG", info->code, TypeName(info->type),
                                      hasBox ? &box : nullptr));
    }
    proj_crs_info_list_destroy(list);
    return array.dump();
}

// The transformation between two horizontal systems in the context, normalised to
// easting/longitude first on both ends. PROJ's "ballpark" transformations, which convert
// between different datums as if they were one, are refused: such a result is off by up to
// hundreds of metres while it looks right.
TPj CreateOperation(TContext& context, const PJ* source, const PJ* target) {
    PJ_CONTEXT* ctx = context.Get();
    const char* const strict[] = {"ALLOW_BALLPARK=NO", nullptr};
    TPj op(proj_create_crs_to_crs_from_pj(ctx, source, target, nullptr, strict));
    if (!op) {
        if (TPj(proj_create_crs_to_crs_from_pj(ctx, source, target, nullptr, nullptr))) {
            Fail(kErrorNoDatumShift,
                 "No datum shift is known between \"" + NameOf(source) + "\" and \"" +
                     NameOf(target) +
                     "\": converting would ignore the difference of their datums. Give the "
                     "shift to WGS 84 in the system's PROJ string, +towgs84=dx,dy,dz (metres) or "
                     "+towgs84=dx,dy,dz,rx,ry,rz,ds (rotations in arc-seconds, scale in ppm)");
            return nullptr;
        }
        Fail(kErrorProj, context.Message("Cannot create the transformation"));
        return nullptr;
    }
    // Easting/longitude first on both ends; the references' swap flag covers other conventions.
    TPj normal(proj_normalize_for_visualization(ctx, op.get()));
    if (!normal)
        Fail(kErrorProj, context.Message("Cannot normalise the axis order"));
    return normal;
}

bool TransformBox(void* transformer, double* box, PJ_DIRECTION direction) {
    ClearError();
    return Guarded([&] {
        if (!Initialized())
            return false;
        if (!transformer || !box)
            return Fail(kErrorArgument, "Invalid argument");
        auto* t = static_cast<TTransformer*>(transformer);
        PJ* op = t->operation.get();
        t->context.BeginCall(op);
        double minX, minY, maxX, maxY;
        if (!proj_trans_bounds(t->context.Get(), op, direction, std::min(box[0], box[3]),
                               std::min(box[1], box[4]), std::max(box[0], box[3]),
                               std::max(box[1], box[4]), &minX, &minY, &maxX, &maxY, 21)) {
            const std::string message = t->context.Message("Cannot transform the bounds");
            proj_errno_reset(op);
            return Fail(kErrorTransform, message);
        }
        box[0] = minX;
        box[1] = minY;
        box[3] = maxX;
        box[4] = maxY;
        return true;
    });
}

} // namespace

// --- exports ---------------------------------------------------------------------------------

extern "C" {

bool KAVRO_CALL InitializeModule(const char*) {
    ClearError();
    return Guarded([] {
        // PROJ must find its database: without it no system can be created.
        TContext probe;
        if (!proj_context_get_database_path(probe.Get()))
            return Fail(kErrorProj, probe.Message("PROJ's database (proj.db) cannot be opened"));
        std::lock_guard lock(g_stateMutex);
        ++g_initCount;
        return true;
    });
}

void KAVRO_CALL FinalizeModule(void) {
    ClearError();
    std::lock_guard lock(g_stateMutex);
    if (g_initCount > 0 && --g_initCount == 0)
        FreeIdleContexts(); // handles still alive keep theirs
}

char* KAVRO_CALL GetLastError(void) {
    if (LastErrorCode() == 0)
        return nullptr;
    try {
        Json error = Json::object();
        error["Code"] = LastErrorCode();
        error["Message"] = LastErrorMessage();
        return CopyOut(error.dump(-1, ' ', false, Json::error_handler_t::replace));
    } catch (...) {
        return nullptr;
    }
}

void KAVRO_CALL DestroyData(void* data) {
    std::free(data);
}

bool KAVRO_CALL CreateCoordinateSystem(const char*, const char* format, const char* parameters,
                                       void** handle) {
    ClearError();
    return Guarded([&] {
        if (!Initialized())
            return false;
        if (!format || !parameters || !handle)
            return Fail(kErrorArgument, "Invalid argument");
        *handle = nullptr;
        auto system = std::make_unique<TCoordinateSystem>();
        system->format = AnsiToUtf8(format);
        system->parameters = AnsiToUtf8(parameters);
        system->crs = CreateHorizontalCrs(system->context, system->format, system->parameters);
        if (!system->crs)
            return false;
        *handle = system.release();
        return true;
    });
}

bool KAVRO_CALL DestroyCoordinateSystem(void* handle) {
    ClearError();
    delete static_cast<TCoordinateSystem*>(handle);
    return true;
}

bool KAVRO_CALL GetCoordinateSystemInfo(void* handle, char** info) {
    ClearError();
    return Guarded([&] {
        if (!Initialized())
            return false;
        if (!handle || !info)
            return Fail(kErrorArgument, "Invalid argument");
        *info = nullptr;
        auto* system = static_cast<TCoordinateSystem*>(handle);
        PJ_CONTEXT* ctx = system->context.Get();
        PJ* crs = system->crs.get();
        system->context.BeginCall(crs);
        double west = 0, south = 0, east = 0, north = 0;
        const char* areaName = nullptr;
        TBox box;
        const bool hasBox =
            proj_get_area_of_use(ctx, crs, &west, &south, &east, &north, &areaName) &&
            west > -1000 && AreaInOwnCoordinates(ctx, crs, west, south, east, north, box);
        *info = CopyOut(ReferenceJson(NameOf(crs), system->format, system->parameters,
                                      HorizontalTypeName(ctx, crs), hasBox ? &box : nullptr)
                            .dump(-1, ' ', false, Json::error_handler_t::replace));
        return *info != nullptr || Fail(kErrorOutOfMemory, "Out of memory");
    });
}

bool KAVRO_CALL IsCoordinateSystemSame(void* first, void* second, bool* same) {
    ClearError();
    return Guarded([&] {
        if (!Initialized())
            return false;
        if (!first || !second || !same)
            return Fail(kErrorArgument, "Invalid argument");
        auto* a = static_cast<TCoordinateSystem*>(first);
        auto* b = static_cast<TCoordinateSystem*>(second);
        *same = proj_is_equivalent_to_with_ctx(a->context.Get(), a->crs.get(), b->crs.get(),
                                               PJ_COMP_EQUIVALENT) != 0;
        return true;
    });
}

bool KAVRO_CALL CreateCoordinateTransformer(void* source, void* target, const char*,
                                            void** transformer) {
    ClearError();
    return Guarded([&] {
        if (!Initialized())
            return false;
        if (!source || !target || !transformer)
            return Fail(kErrorArgument, "Invalid argument");
        *transformer = nullptr;
        auto* s = static_cast<TCoordinateSystem*>(source);
        auto* t = static_cast<TCoordinateSystem*>(target);
        // The transformer gets its own context and its own copies of the two systems, made
        // from their definitions in that context: nothing of PROJ is shared with the two
        // handles, which other threads may use meanwhile.
        auto result = std::make_unique<TTransformer>();
        TPj from = CreateHorizontalCrs(result->context, s->format, s->parameters);
        if (!from)
            return false;
        TPj to = CreateHorizontalCrs(result->context, t->format, t->parameters);
        if (!to)
            return false;
        result->operation = CreateOperation(result->context, from.get(), to.get());
        if (!result->operation)
            return false;
        *transformer = result.release();
        return true;
    });
}

bool KAVRO_CALL DestroyCoordinateTransformer(void* transformer) {
    ClearError();
    delete static_cast<TTransformer*>(transformer);
    return true;
}

bool KAVRO_CALL TransformPoint(void* transformer, double* x, double* y, double* z) {
    if (!transformer || !x || !y || !z)
        return Guarded([] { return Fail(kErrorArgument, "Invalid argument"); });
    PJ* op = static_cast<TTransformer*>(transformer)->operation.get();
    const PJ_COORD out = proj_trans(op, PJ_FWD, proj_coord(*x, *y, *z, HUGE_VAL));
    if (!PointIsValid(out)) {
        const int code = proj_errno_reset(op);
        return Guarded([&] {
            return Fail(kErrorTransform,
                        std::string("Cannot transform the point") +
                            (code ? std::string(": ") + proj_errno_string(code) : ""));
        });
    }
    ClearError(); // a thread_local int: cheap enough for the per-point path
    *x = out.xyz.x;
    *y = out.xyz.y;
    *z = out.xyz.z;
    return true;
}

bool KAVRO_CALL TransformPoints(void* transformer, int32_t count, double* points, bool* flags) {
    ClearError();
    if (!transformer || count < 0 || (count > 0 && (!points || !flags)))
        return Guarded([] { return Fail(kErrorArgument, "Invalid argument"); });
    PJ* op = static_cast<TTransformer*>(transformer)->operation.get();
    for (int32_t i = 0; i < count; ++i) {
        double* p = points + 3 * static_cast<size_t>(i);
        const PJ_COORD out = proj_trans(op, PJ_FWD, proj_coord(p[0], p[1], p[2], HUGE_VAL));
        flags[i] = PointIsValid(out);
        if (flags[i]) {
            p[0] = out.xyz.x;
            p[1] = out.xyz.y;
            p[2] = out.xyz.z;
        }
    }
    proj_errno_reset(op);
    return true;
}

bool KAVRO_CALL TransformBounds(void* transformer, double* box) {
    return TransformBox(transformer, box, PJ_FWD);
}

bool KAVRO_CALL InverseTransformBounds(void* transformer, double* box) {
    return TransformBox(transformer, box, PJ_INV);
}

bool KAVRO_CALL GetPredefinedCoordinateSystems(char** list) {
    ClearError();
    return Guarded([&] {
        if (!Initialized())
            return false;
        if (!list)
            return Fail(kErrorArgument, "Invalid argument");
        std::lock_guard lock(g_listMutex);
        if (g_predefinedCache.empty()) {
            TContext context;
            g_predefinedCache = BuildPredefinedList(context.Get());
        }
        *list = CopyOut(g_predefinedCache);
        return *list != nullptr || Fail(kErrorOutOfMemory, "Out of memory");
    });
}

bool KAVRO_CALL GetSupportedCoordinateSystemFormats(char** list) {
    ClearError();
    return Guarded([&] {
        if (!list)
            return Fail(kErrorArgument, "Invalid argument");
        Json formats = Json::array();
        formats.push_back({{"Name", "PROJ4"},
                           {"Caption", "PROJ"},
                           {"Description", "PROJ string, e.g. +proj=utm +zone=37 +datum=WGS84"}});
        formats.push_back({{"Name", "WKT"},
                           {"Caption", "WKT"},
                           {"Description", "Well-known text (WKT1 or WKT2)"}});
        formats.push_back({{"Name", "EPSG"},
                           {"Caption", "EPSG"},
                           {"Description", "EPSG code, e.g. 4326 or EPSG:32637"}});
        *list = CopyOut(formats.dump());
        return *list != nullptr || Fail(kErrorOutOfMemory, "Out of memory");
    });
}

bool KAVRO_CALL ExportCoordinateSystemTo(void* handle, const char* format, char** text) {
    ClearError();
    return Guarded([&] {
        if (!Initialized())
            return false;
        if (!handle || !format || !text)
            return Fail(kErrorArgument, "Invalid argument");
        *text = nullptr;
        auto* system = static_cast<TCoordinateSystem*>(handle);
        PJ_CONTEXT* ctx = system->context.Get();
        PJ* crs = system->crs.get();
        system->context.BeginCall(crs);
        const std::string kind = Lower(Trimmed(format));
        std::string result;
        if (kind == "proj4") {
            const char* options[] = {"MULTILINE=NO", nullptr};
            const char* s = proj_as_proj_string(ctx, crs, PJ_PROJ_4, options);
            if (!s)
                return Fail(kErrorProj,
                            system->context.Message("Cannot express the system as a PROJ string"));
            result = s;
        } else if (kind == "wkt") {
            const char* options[] = {"MULTILINE=NO", nullptr};
            const char* s = proj_as_wkt(ctx, crs, PJ_WKT2_2019, options);
            if (!s)
                return Fail(kErrorProj,
                            system->context.Message("Cannot express the system as WKT"));
            result = s;
        } else if (kind == "epsg") {
            const char* authority = proj_get_id_auth_name(crs, 0);
            const char* code = proj_get_id_code(crs, 0);
            if (authority && code && Lower(authority) == "epsg") {
                result = code;
            } else {
                int* confidence = nullptr;
                PJ_OBJ_LIST* matches = proj_identify(ctx, crs, "EPSG", nullptr, &confidence);
                if (matches && proj_list_get_count(matches) > 0 && confidence[0] == 100) {
                    TPj match(proj_list_get(ctx, matches, 0));
                    if (const char* c = match ? proj_get_id_code(match.get(), 0) : nullptr)
                        result = c;
                }
                proj_int_list_destroy(confidence);
                proj_list_destroy(matches);
                if (result.empty())
                    return Fail(kErrorFormat, "The system has no EPSG code");
            }
        } else {
            return Fail(kErrorFormat,
                        "Unsupported coordinate system format \"" + AnsiToUtf8(format) + "\"");
        }
        *text = CopyOut(result);
        return *text != nullptr || Fail(kErrorOutOfMemory, "Out of memory");
    });
}

} // extern "C"
