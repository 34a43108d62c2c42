// PROJ as the library uses it: one context per handle, PROJ objects owned by RAII, the last
// error of the calling thread, and the horizontal system that stands for a definition.
#pragma once

#include <proj.h>

#include <memory>
#include <string>

namespace kavrogdal {

// Error codes of GetLastError.
constexpr int kErrorNotInitialized = 1;
constexpr int kErrorArgument = 2;
constexpr int kErrorProj = 3;
constexpr int kErrorFormat = 4;
constexpr int kErrorTransform = 5;
constexpr int kErrorNotHorizontal = 6;
constexpr int kErrorNoDatumShift = 7;
constexpr int kErrorOutOfMemory = 8;

// The calling thread's last failure. Every export clears it first (the per-point export clears
// it on success), so that GetLastError never reports a failure older than the last call.
void ClearError() noexcept;
// Records the failure and returns false. Never throws: without memory for the message, the
// code alone is kept.
bool Fail(int code, std::string message) noexcept;
[[nodiscard]] int LastErrorCode() noexcept;
[[nodiscard]] const std::string& LastErrorMessage() noexcept;

struct TPjDeleter {
    void operator()(PJ* p) const noexcept { proj_destroy(p); }
};
using TPj = std::unique_ptr<PJ, TPjDeleter>;

// One PROJ context with its own database connection, error state and log, owned by one handle,
// so that handles used on different threads share nothing inside PROJ. Network access is off.
// PROJ's log lines never reach the process's stderr: the context keeps those of the current
// call, and they join the error text of a failure they explain. A context that its handle no
// longer needs waits, with its database connection, for the next handle (of any thread).
class TContext {
public:
    // Throws std::bad_alloc when PROJ cannot create a context.
    TContext();
    ~TContext();
    TContext(const TContext&) = delete;
    TContext& operator=(const TContext&) = delete;

    PJ_CONTEXT* Get() const { return m_ctx; }
    // Forgets the log lines of the previous call and the error state that the object (one of
    // this context's) left in it.
    void BeginCall(const PJ* object = nullptr) noexcept;
    // what, then PROJ's reason for the context's last error and the log lines of this call:
    // "Cannot create the coordinate system: Invalid value for an argument (proj_create: ...)".
    [[nodiscard]] std::string Message(const char* what) const;

private:
    static void Log(void* self, int level, const char* text) noexcept;

    PJ_CONTEXT* m_ctx;
    std::string m_log;
};

// Destroys the contexts that no handle uses (when the last user of the library has finalised it).
void FreeIdleContexts() noexcept;

// The coordinate system of a definition in one of the library's formats, in the context: the
// horizontal system that stands for it (a compound system gives its horizontal part, a 3D one
// its 2D form). Vertical, geocentric and other systems are refused. Null and the thread's last
// error set on failure.
TPj CreateHorizontalCrs(TContext& context, const std::string& format,
                        const std::string& parameters);

// The kind of a system of that type: "Geographic", "Projected", "Local", or "" for none of them.
const char* TypeName(PJ_TYPE type);
// The same for a horizontal system; a bound system counts as its base.
const char* HorizontalTypeName(PJ_CONTEXT* ctx, const PJ* crs);

[[nodiscard]] std::string Lower(std::string text);
// Without leading and trailing blanks and control characters.
[[nodiscard]] std::string Trimmed(const std::string& text);

} // namespace kavrogdal
