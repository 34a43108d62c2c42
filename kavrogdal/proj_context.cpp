#include "proj_context.h"

#include <proj_experimental.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <new>
#include <vector>

namespace kavrogdal {

namespace {

// The code alone is what the per-point path touches: a trivially constructed thread_local needs
// no initialisation check on access.
thread_local int t_errorCode = 0;
thread_local std::string t_errorMessage;

// The log of one call stays short: PROJ repeats itself on some failures.
constexpr std::size_t kMaxLog = 1024;

std::string NameOf(const PJ* object) {
    const char* name = proj_get_name(object);
    return name ? name : "";
}

int AxisCount(PJ_CONTEXT* ctx, const PJ* crs) {
    TPj cs(proj_crs_get_coordinate_system(ctx, crs));
    return cs ? proj_cs_get_axis_count(ctx, cs.get()) : 0;
}

bool IsHorizontalType(PJ_TYPE type) {
    return type == PJ_TYPE_GEOGRAPHIC_CRS || type == PJ_TYPE_GEOGRAPHIC_2D_CRS ||
           type == PJ_TYPE_GEOGRAPHIC_3D_CRS || type == PJ_TYPE_PROJECTED_CRS ||
           type == PJ_TYPE_ENGINEERING_CRS;
}

TPj Refuse(const PJ* crs, const char* kind) {
    Fail(kErrorNotHorizontal,
         "Only horizontal coordinate systems can be used: \"" + NameOf(crs) + "\" is " + kind);
    return nullptr;
}

// The horizontal system that stands for crs, which it takes over.
TPj Horizontal(TContext& context, TPj crs) {
    PJ_CONTEXT* ctx = context.Get();
    const PJ_TYPE type = proj_get_type(crs.get());
    switch (type) {
    case PJ_TYPE_GEOGRAPHIC_CRS:
    case PJ_TYPE_GEOGRAPHIC_2D_CRS:
    case PJ_TYPE_GEOGRAPHIC_3D_CRS:
    case PJ_TYPE_PROJECTED_CRS:
    case PJ_TYPE_ENGINEERING_CRS: {
        if (type == PJ_TYPE_ENGINEERING_CRS || AxisCount(ctx, crs.get()) <= 2)
            return crs;
        // Heights are not part of the systems here: the 2D form converts the same positions.
        TPj flat(proj_crs_demote_to_2D(ctx, nullptr, crs.get()));
        if (!flat)
            Fail(kErrorProj, context.Message("Cannot take the horizontal part of the system"));
        return flat;
    }
    case PJ_TYPE_COMPOUND_CRS: {
        TPj part(proj_crs_get_sub_crs(ctx, crs.get(), 0));
        if (!part) {
            Fail(kErrorProj, context.Message("Cannot take the horizontal part of the system"));
            return nullptr;
        }
        if (!IsHorizontalType(proj_get_type(part.get())) &&
            proj_get_type(part.get()) != PJ_TYPE_BOUND_CRS)
            return Refuse(crs.get(), "a compound system without a horizontal part");
        return Horizontal(context, std::move(part));
    }
    case PJ_TYPE_BOUND_CRS: {
        // A system with its shift to a hub datum (+towgs84): the shift stays with the
        // horizontal part of the base.
        TPj base(proj_get_source_crs(ctx, crs.get()));
        if (!base) {
            Fail(kErrorProj, context.Message("Cannot read the base of the system"));
            return nullptr;
        }
        const PJ_TYPE baseType = proj_get_type(base.get());
        if (IsHorizontalType(baseType) &&
            (baseType == PJ_TYPE_ENGINEERING_CRS || AxisCount(ctx, base.get()) <= 2))
            return crs;
        if (baseType == PJ_TYPE_VERTICAL_CRS)
            return Refuse(crs.get(), "a vertical system (heights)");
        TPj horizontal = Horizontal(context, std::move(base));
        if (!horizontal)
            return nullptr;
        TPj hub(proj_get_target_crs(ctx, crs.get()));
        TPj shift(proj_crs_get_coordoperation(ctx, crs.get()));
        TPj bound(hub && shift
                      ? proj_crs_create_bound_crs(ctx, horizontal.get(), hub.get(), shift.get())
                      : nullptr);
        if (!bound)
            Fail(kErrorProj, context.Message("Cannot take the horizontal part of the system"));
        return bound;
    }
    case PJ_TYPE_VERTICAL_CRS:
        return Refuse(crs.get(), "a vertical system (heights)");
    case PJ_TYPE_GEOCENTRIC_CRS:
        return Refuse(crs.get(), "a geocentric system (Earth-centred X, Y, Z)");
    default:
        return Refuse(crs.get(), "not a horizontal system");
    }
}

} // namespace

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return text.substr(b, e - b);
}

void ClearError() noexcept {
    t_errorCode = 0;
}

bool Fail(int code, std::string message) noexcept {
    t_errorCode = code;
    t_errorMessage.swap(message); // no allocation
    return false;
}

int LastErrorCode() noexcept {
    return t_errorCode;
}

const std::string& LastErrorMessage() noexcept {
    return t_errorMessage;
}

// --- context ---------------------------------------------------------------------------------

namespace {
// Contexts no handle uses, kept for the next handles: a context keeps its database connection
// and caches, which a new one would have to build again (tens of milliseconds per handle). A
// context goes to one handle at a time; the mutex hands it over between threads. The pool is
// never destroyed: a user that finalises the library from its own static destructors, at exit,
// may come after this library's have run.
struct TPool {
    std::mutex mutex;
    std::vector<PJ_CONTEXT*> contexts;
};
TPool& Pool() {
    static TPool* const pool = new TPool;
    return *pool;
}
constexpr std::size_t kMaxPooled = 8;

void DiscardLog(void*, int, const char*) noexcept {}

PJ_CONTEXT* AcquireContext() {
    {
        TPool& pool = Pool();
        std::lock_guard lock(pool.mutex);
        if (!pool.contexts.empty()) {
            PJ_CONTEXT* ctx = pool.contexts.back();
            pool.contexts.pop_back();
            return ctx;
        }
    }
    PJ_CONTEXT* ctx = proj_context_create();
    if (ctx)
        proj_context_set_enable_network(ctx, 0);
    return ctx;
}

void ReleaseContext(PJ_CONTEXT* ctx) noexcept {
    proj_log_func(ctx, nullptr, &DiscardLog);
    try {
        TPool& pool = Pool();
        std::lock_guard lock(pool.mutex);
        if (pool.contexts.size() < kMaxPooled) {
            pool.contexts.push_back(ctx);
            return;
        }
    } catch (...) {
        // No room to keep it: destroyed below.
    }
    proj_context_destroy(ctx);
}
} // namespace

void FreeIdleContexts() noexcept {
    std::vector<PJ_CONTEXT*> idle;
    {
        TPool& pool = Pool();
        std::lock_guard lock(pool.mutex);
        idle.swap(pool.contexts);
    }
    for (PJ_CONTEXT* ctx : idle)
        proj_context_destroy(ctx);
}

TContext::TContext() : m_ctx(AcquireContext()) {
    if (!m_ctx)
        throw std::bad_alloc();
    proj_log_func(m_ctx, this, &TContext::Log);
    proj_log_level(m_ctx, PJ_LOG_ERROR);
}

TContext::~TContext() {
    ReleaseContext(m_ctx);
}

void TContext::BeginCall(const PJ* object) noexcept {
    m_log.clear();
    if (object)
        proj_errno_reset(object); // the object's error and its context's
}

void TContext::Log(void* self, int level, const char* text) noexcept {
    if (level > PJ_LOG_ERROR || !text || !*text)
        return;
    try {
        std::string& log = static_cast<TContext*>(self)->m_log;
        if (log.size() >= kMaxLog)
            return;
        std::string line = Trimmed(text);
        if (line.empty() || log.find(line) != std::string::npos)
            return;
        if (!log.empty())
            log += "; ";
        log += line.substr(0, kMaxLog - std::min(log.size(), kMaxLog));
    } catch (...) {
        // A line that cannot be kept is lost; the failure still reports PROJ's error code.
    }
}

std::string TContext::Message(const char* what) const {
    std::string message = what;
    const int code = proj_context_errno(m_ctx);
    if (code != 0) {
        const char* text = proj_context_errno_string(m_ctx, code);
        if (text && *text)
            message += std::string(": ") + text;
    }
    if (!m_log.empty())
        message += " (" + m_log + ")";
    return message;
}

// --- systems ---------------------------------------------------------------------------------

TPj CreateHorizontalCrs(TContext& context, const std::string& format,
                        const std::string& parameters) {
    PJ_CONTEXT* ctx = context.Get();
    const std::string kind = Lower(Trimmed(format));
    TPj crs;
    if (kind == "proj4") {
        std::string text = Trimmed(parameters);
        if (text.find("+type=crs") == std::string::npos)
            text += " +type=crs";
        crs.reset(proj_create(ctx, text.c_str()));
    } else if (kind == "wkt") {
        PROJ_STRING_LIST warnings = nullptr, errors = nullptr;
        crs.reset(proj_create_from_wkt(ctx, parameters.c_str(), nullptr, &warnings, &errors));
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
        if (code.empty() || !std::all_of(code.begin(), code.end(),
                                         [](unsigned char c) { return std::isdigit(c) != 0; })) {
            Fail(kErrorArgument, "Invalid EPSG code \"" + parameters + "\"");
            return nullptr;
        }
        crs.reset(
            proj_create_from_database(ctx, "EPSG", code.c_str(), PJ_CATEGORY_CRS, false, nullptr));
    } else {
        Fail(kErrorFormat, "Unsupported coordinate system format \"" + format + "\"");
        return nullptr;
    }
    if (!crs) {
        Fail(kErrorProj, context.Message("Cannot create the coordinate system"));
        return nullptr;
    }
    if (!proj_is_crs(crs.get())) {
        Fail(kErrorProj, "The definition is not a coordinate reference system");
        return nullptr;
    }
    return Horizontal(context, std::move(crs));
}

const char* TypeName(PJ_TYPE type) {
    switch (type) {
    case PJ_TYPE_GEOGRAPHIC_CRS:
    case PJ_TYPE_GEOGRAPHIC_2D_CRS:
    case PJ_TYPE_GEOGRAPHIC_3D_CRS:
        return "Geographic";
    case PJ_TYPE_PROJECTED_CRS:
        return "Projected";
    case PJ_TYPE_ENGINEERING_CRS:
        return "Local";
    default:
        return "";
    }
}

const char* HorizontalTypeName(PJ_CONTEXT* ctx, const PJ* crs) {
    PJ_TYPE type = proj_get_type(crs);
    if (type == PJ_TYPE_BOUND_CRS) {
        TPj base(proj_get_source_crs(ctx, crs));
        type = base ? proj_get_type(base.get()) : PJ_TYPE_UNKNOWN;
    }
    return TypeName(type);
}

} // namespace kavrogdal
