// KavroGdal on PROJ: coordinate systems from PROJ strings, WKT and EPSG codes, transformers with
// easting/longitude-first axis order, bounds, predefined systems from PROJ's database.
#include "kavrogdal.h"

#include "platform/codepage.h"

#include <nlohmann/json.hpp>
#include <proj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Json = nlohmann::ordered_json;

// --- module state ----------------------------------------------------------------------------

PJ_CONTEXT* g_context = nullptr;
int g_initCount = 0;
std::mutex g_listMutex;
// JSON text (UTF-8), built on first request (about a second for PROJ's database) and kept for
// the life of the process: the library stays mapped (-z nodelete), so a host that loads and
// unloads it per wizard pays once.
std::string g_predefinedCache;

struct TLastError {
    int code = 0;
    std::string message; // UTF-8
};
thread_local TLastError t_lastError;

void ClearError() {
    t_lastError.code = 0;
}

bool Fail(int code, std::string message) {
    t_lastError.code = code;
    t_lastError.message = std::move(message);
    return false;
}

constexpr int kErrorNotInitialized = 1;
constexpr int kErrorArgument = 2;
constexpr int kErrorProj = 3;
constexpr int kErrorFormat = 4;
constexpr int kErrorTransform = 5;

std::string ProjMessage(const char* what) {
    std::string message = what;
    if (g_context) {
        const int code = proj_context_errno(g_context);
        if (code != 0) {
            const char* text = proj_context_errno_string(g_context, code);
            if (text && *text)
                message += std::string(": ") + text;
        }
    }
    return message;
}

char* CopyOut(const std::string& utf8) {
    const std::string ansi = Utf8ToAnsi(utf8);
    char* data = static_cast<char*>(std::malloc(ansi.size() + 1));
    if (data)
        std::memcpy(data, ansi.c_str(), ansi.size() + 1);
    return data;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return text.substr(b, e - b);
}

std::string Number(double value) {
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, r.ptr);
}

// --- coordinate systems ----------------------------------------------------------------------

struct TBox {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct TCoordinateSystem {
    PJ* crs = nullptr;
    std::string format;     // as the caller named it, UTF-8
    std::string parameters; // UTF-8
    ~TCoordinateSystem() { proj_destroy(crs); }
};

struct TTransformer {
    PJ* operation = nullptr;
    ~TTransformer() { proj_destroy(operation); }
};

const char* TypeName(PJ_TYPE type) {
    switch (type) {
    case PJ_TYPE_GEOGRAPHIC_2D_CRS:
    case PJ_TYPE_GEOGRAPHIC_3D_CRS:
    case PJ_TYPE_GEOGRAPHIC_CRS:
        return "Geographic";
    case PJ_TYPE_PROJECTED_CRS:
        return "Projected";
    case PJ_TYPE_ENGINEERING_CRS:
        return "Local";
    default:
        return "";
    }
}

// The area of use of a system in its own (normalised) coordinates.
bool AreaInOwnCoordinates(PJ* crs, double west, double south, double east, double north,
                          TBox& box) {
    if (west > east) // crossing the antimeridian: keep the whole longitude range
        west = -180, east = 180;
    const PJ_TYPE type = proj_get_type(crs);
    if (type == PJ_TYPE_GEOGRAPHIC_2D_CRS || type == PJ_TYPE_GEOGRAPHIC_3D_CRS) {
        box = {west, south, east, north};
        return true;
    }
    PJ* geographic = proj_crs_get_geodetic_crs(g_context, crs);
    if (!geographic)
        return false;
    bool ok = false;
    if (PJ* op = proj_create_crs_to_crs_from_pj(g_context, geographic, crs, nullptr, nullptr)) {
        if (PJ* normal = proj_normalize_for_visualization(g_context, op)) {
            ok = proj_trans_bounds(g_context, normal, PJ_FWD, west, south, east, north, &box.minX,
                                   &box.minY, &box.maxX, &box.maxY, 21) != 0;
            proj_destroy(normal);
        }
        proj_destroy(op);
    }
    proj_destroy(geographic);
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

PJ* CreateCrs(const std::string& format, const std::string& parameters) {
    const std::string kind = Lower(Trimmed(format));
    PJ* crs = nullptr;
    if (kind == "proj4") {
        std::string text = Trimmed(parameters);
        if (text.find("+type=crs") == std::string::npos)
            text += " +type=crs";
        crs = proj_create(g_context, text.c_str());
    } else if (kind == "wkt") {
        PROJ_STRING_LIST warnings = nullptr, errors = nullptr;
        crs = proj_create_from_wkt(g_context, parameters.c_str(), nullptr, &warnings, &errors);
        std::string message;
        for (auto e = errors; e && *e; ++e)
            message += (message.empty() ? "" : "; ") + std::string(*e);
        proj_string_list_destroy(warnings);
        proj_string_list_destroy(errors);
        if (!crs) {
            Fail(kErrorProj, "Invalid WKT" + (message.empty() ? std::string() : ": " + message));
            return nullptr;
        }
    } else if (kind == "epsg") {
        std::string code = Trimmed(parameters);
        if (Lower(code.substr(0, 5)) == "epsg:")
            code = Trimmed(code.substr(5));
        if (code.empty() || !std::all_of(code.begin(), code.end(), ::isdigit)) {
            Fail(kErrorArgument, "Invalid EPSG code \"" + parameters + "\"");
            return nullptr;
        }
        crs = proj_create_from_database(g_context, "EPSG", code.c_str(), PJ_CATEGORY_CRS, false,
                                        nullptr);
    } else {
        Fail(kErrorFormat, "Unsupported coordinate system format \"" + format + "\"");
        return nullptr;
    }
    if (!crs) {
        Fail(kErrorProj, ProjMessage("Cannot create the coordinate system"));
        return nullptr;
    }
    if (!proj_is_crs(crs)) {
        proj_destroy(crs);
        Fail(kErrorProj, "The definition is not a coordinate reference system");
        return nullptr;
    }
    return crs;
}

bool Initialized() {
    if (g_context)
        return true;
    return Fail(kErrorNotInitialized, "The module is not initialised");
}

bool PointIsValid(const PJ_COORD& c) {
    return std::isfinite(c.xyz.x) && std::isfinite(c.xyz.y) && c.xyz.x != HUGE_VAL;
}

std::string BuildPredefinedList() {
    PROJ_CRS_LIST_PARAMETERS* parameters = proj_get_crs_list_parameters_create();
    PJ_TYPE types[] = {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_PROJECTED_CRS};
    parameters->types = types;
    parameters->typesCount = 2;
    parameters->allow_deprecated = 0;
    int count = 0;
    PROJ_CRS_INFO** list =
        proj_get_crs_info_list_from_database(g_context, "EPSG", parameters, &count);
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
            } else if (PJ* crs = proj_create_from_database(g_context, info->auth_name, info->code,
                                                           PJ_CATEGORY_CRS, false, nullptr)) {
                hasBox = AreaInOwnCoordinates(crs, info->west_lon_degree, info->south_lat_degree,
                                              info->east_lon_degree, info->north_lat_degree, box);
                proj_destroy(crs);
            }
        }
        array.push_back(ReferenceJson(info->name, "EPSG", info->code, TypeName(info->type),
                                      hasBox ? &box : nullptr));
    }
    proj_crs_info_list_destroy(list);
    return array.dump();
}

} // namespace

// --- exports ---------------------------------------------------------------------------------

extern "C" {

KAVRO_API bool KAVRO_CALL InitializeModule(const char*) {
    ClearError();
    if (!g_context) {
        g_context = proj_context_create();
        if (!g_context)
            return Fail(kErrorProj, "Cannot create the PROJ context");
        proj_context_set_enable_network(g_context, 0);
        proj_log_level(g_context, PJ_LOG_NONE);
    }
    ++g_initCount;
    return true;
}

KAVRO_API void KAVRO_CALL FinalizeModule(void) {
    if (g_initCount > 0 && --g_initCount == 0 && g_context) {
        std::lock_guard lock(g_listMutex);
        proj_context_destroy(g_context);
        g_context = nullptr;
    }
}

KAVRO_API char* KAVRO_CALL GetLastError(void) {
    if (t_lastError.code == 0)
        return nullptr;
    Json error = Json::object();
    error["Code"] = t_lastError.code;
    error["Message"] = t_lastError.message;
    return CopyOut(error.dump(-1, ' ', false, Json::error_handler_t::replace));
}

KAVRO_API void KAVRO_CALL DestroyData(void* data) {
    std::free(data);
}

KAVRO_API bool KAVRO_CALL CreateCoordinateSystem(const char*, const char* format,
                                                 const char* parameters, void** handle) {
    ClearError();
    if (!Initialized())
        return false;
    if (!format || !parameters || !handle)
        return Fail(kErrorArgument, "Invalid argument");
    *handle = nullptr;
    auto system = std::make_unique<TCoordinateSystem>();
    system->format = AnsiToUtf8(format);
    system->parameters = AnsiToUtf8(parameters);
    system->crs = CreateCrs(system->format, system->parameters);
    if (!system->crs)
        return false;
    *handle = system.release();
    return true;
}

KAVRO_API bool KAVRO_CALL DestroyCoordinateSystem(void* handle) {
    ClearError();
    delete static_cast<TCoordinateSystem*>(handle);
    return true;
}

KAVRO_API bool KAVRO_CALL GetCoordinateSystemInfo(void* handle, char** info) {
    ClearError();
    if (!Initialized())
        return false;
    if (!handle || !info)
        return Fail(kErrorArgument, "Invalid argument");
    auto* system = static_cast<TCoordinateSystem*>(handle);
    const char* name = proj_get_name(system->crs);
    double west = 0, south = 0, east = 0, north = 0;
    const char* areaName = nullptr;
    TBox box;
    bool hasBox =
        proj_get_area_of_use(g_context, system->crs, &west, &south, &east, &north, &areaName) &&
        west > -1000 && AreaInOwnCoordinates(system->crs, west, south, east, north, box);
    *info = CopyOut(ReferenceJson(name ? name : "", system->format, system->parameters,
                                  TypeName(proj_get_type(system->crs)), hasBox ? &box : nullptr)
                        .dump(-1, ' ', false, Json::error_handler_t::replace));
    return *info != nullptr;
}

KAVRO_API bool KAVRO_CALL IsCoordinateSystemSame(void* first, void* second, bool* same) {
    ClearError();
    if (!Initialized())
        return false;
    if (!first || !second || !same)
        return Fail(kErrorArgument, "Invalid argument");
    *same = proj_is_equivalent_to_with_ctx(g_context, static_cast<TCoordinateSystem*>(first)->crs,
                                           static_cast<TCoordinateSystem*>(second)->crs,
                                           PJ_COMP_EQUIVALENT) != 0;
    return true;
}

KAVRO_API bool KAVRO_CALL CreateCoordinateTransformer(void* source, void* target, const char*,
                                                      void** transformer) {
    ClearError();
    if (!Initialized())
        return false;
    if (!source || !target || !transformer)
        return Fail(kErrorArgument, "Invalid argument");
    *transformer = nullptr;
    PJ* op = proj_create_crs_to_crs_from_pj(g_context, static_cast<TCoordinateSystem*>(source)->crs,
                                            static_cast<TCoordinateSystem*>(target)->crs, nullptr,
                                            nullptr);
    if (!op)
        return Fail(kErrorProj, ProjMessage("Cannot create the transformation"));
    // Easting/longitude first on both ends; the references' swap flag covers other conventions.
    PJ* normal = proj_normalize_for_visualization(g_context, op);
    proj_destroy(op);
    if (!normal)
        return Fail(kErrorProj, ProjMessage("Cannot normalise the axis order"));
    auto result = std::make_unique<TTransformer>();
    result->operation = normal;
    *transformer = result.release();
    return true;
}

KAVRO_API bool KAVRO_CALL DestroyCoordinateTransformer(void* transformer) {
    ClearError();
    delete static_cast<TTransformer*>(transformer);
    return true;
}

KAVRO_API bool KAVRO_CALL TransformPoint(void* transformer, double* x, double* y, double* z) {
    if (!transformer || !x || !y || !z)
        return Fail(kErrorArgument, "Invalid argument");
    PJ* op = static_cast<TTransformer*>(transformer)->operation;
    const PJ_COORD out = proj_trans(op, PJ_FWD, proj_coord(*x, *y, *z, HUGE_VAL));
    if (!PointIsValid(out)) {
        const int code = proj_errno(op);
        proj_errno_reset(op);
        return Fail(kErrorTransform, std::string("Cannot transform the point") +
                                         (code ? std::string(": ") + proj_errno_string(code) : ""));
    }
    // The success path leaves the last error alone: touching thread-local storage from a shared
    // library costs a call per point.
    *x = out.xyz.x;
    *y = out.xyz.y;
    *z = out.xyz.z;
    return true;
}

KAVRO_API bool KAVRO_CALL TransformPoints(void* transformer, int32_t count, double* points,
                                          bool* flags) {
    ClearError();
    if (!transformer || count < 0 || (count > 0 && (!points || !flags)))
        return Fail(kErrorArgument, "Invalid argument");
    PJ* op = static_cast<TTransformer*>(transformer)->operation;
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

static bool TransformBox(void* transformer, double* box, PJ_DIRECTION direction) {
    ClearError();
    if (!Initialized())
        return false;
    if (!transformer || !box)
        return Fail(kErrorArgument, "Invalid argument");
    PJ* op = static_cast<TTransformer*>(transformer)->operation;
    double minX, minY, maxX, maxY;
    if (!proj_trans_bounds(g_context, op, direction, std::min(box[0], box[3]),
                           std::min(box[1], box[4]), std::max(box[0], box[3]),
                           std::max(box[1], box[4]), &minX, &minY, &maxX, &maxY, 21)) {
        proj_errno_reset(op);
        return Fail(kErrorTransform, ProjMessage("Cannot transform the bounds"));
    }
    box[0] = minX;
    box[1] = minY;
    box[3] = maxX;
    box[4] = maxY;
    return true;
}

KAVRO_API bool KAVRO_CALL TransformBounds(void* transformer, double* box) {
    return TransformBox(transformer, box, PJ_FWD);
}

KAVRO_API bool KAVRO_CALL InverseTransformBounds(void* transformer, double* box) {
    return TransformBox(transformer, box, PJ_INV);
}

KAVRO_API bool KAVRO_CALL GetPredefinedCoordinateSystems(char** list) {
    ClearError();
    if (!Initialized())
        return false;
    if (!list)
        return Fail(kErrorArgument, "Invalid argument");
    std::lock_guard lock(g_listMutex);
    if (g_predefinedCache.empty())
        g_predefinedCache = BuildPredefinedList();
    *list = CopyOut(g_predefinedCache);
    return *list != nullptr;
}

KAVRO_API bool KAVRO_CALL GetSupportedCoordinateSystemFormats(char** list) {
    ClearError();
    if (!list)
        return Fail(kErrorArgument, "Invalid argument");
    Json formats = Json::array();
    formats.push_back({{"Name", "PROJ4"},
                       {"Caption", "PROJ"},
                       {"Description", "PROJ string, e.g. +proj=utm +zone=37 +datum=WGS84"}});
    formats.push_back(
        {{"Name", "WKT"}, {"Caption", "WKT"}, {"Description", "Well-known text (WKT1 or WKT2)"}});
    formats.push_back({{"Name", "EPSG"},
                       {"Caption", "EPSG"},
                       {"Description", "EPSG code, e.g. 4326 or EPSG:32637"}});
    *list = CopyOut(formats.dump());
    return *list != nullptr;
}

KAVRO_API bool KAVRO_CALL ExportCoordinateSystemTo(void* handle, const char* format, char** text) {
    ClearError();
    if (!Initialized())
        return false;
    if (!handle || !format || !text)
        return Fail(kErrorArgument, "Invalid argument");
    *text = nullptr;
    PJ* crs = static_cast<TCoordinateSystem*>(handle)->crs;
    const std::string kind = Lower(Trimmed(format));
    std::string result;
    if (kind == "proj4") {
        const char* options[] = {"MULTILINE=NO", nullptr};
        const char* s = proj_as_proj_string(g_context, crs, PJ_PROJ_4, options);
        if (!s)
            return Fail(kErrorProj, ProjMessage("Cannot express the system as a PROJ string"));
        result = s;
    } else if (kind == "wkt") {
        const char* options[] = {"MULTILINE=NO", nullptr};
        const char* s = proj_as_wkt(g_context, crs, PJ_WKT2_2019, options);
        if (!s)
            return Fail(kErrorProj, ProjMessage("Cannot express the system as WKT"));
        result = s;
    } else if (kind == "epsg") {
        const char* authority = proj_get_id_auth_name(crs, 0);
        const char* code = proj_get_id_code(crs, 0);
        if (authority && code && Lower(authority) == "epsg") {
            result = code;
        } else {
            int* confidence = nullptr;
            PJ_OBJ_LIST* matches = proj_identify(g_context, crs, "EPSG", nullptr, &confidence);
            if (matches && proj_list_get_count(matches) > 0 && confidence[0] == 100) {
                PJ* match = proj_list_get(g_context, matches, 0);
                if (const char* c = proj_get_id_code(match, 0))
                    result = c;
                proj_destroy(match);
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
    return *text != nullptr;
}

} // extern "C"
