// KavroGdal built without PROJ (the Windows cross-build, where no PROJ for MinGW is packaged):
// every export is there and loads, and InitializeModule fails with the library's own message,
// so the module reports a clear reason instead of a missing library or export.
#include "kavrogdal/kavrogdal.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

// The codes GetLastError reports, as the PROJ-based build numbers them.
constexpr int kErrorNotInitialized = 1;
constexpr int kErrorProj = 3;

thread_local int t_errorCode = 0;
thread_local const char* t_errorMessage = "";

bool Fail(int code, const char* message) {
    t_errorCode = code;
    t_errorMessage = message;
    return false;
}

bool NotInitialized() {
    return Fail(kErrorNotInitialized, "The module is not initialised");
}

} // namespace

extern "C" {

bool KAVRO_CALL InitializeModule(const char*) {
    return Fail(kErrorProj, "PROJ not available: this KavroGdal was built without PROJ");
}

void KAVRO_CALL FinalizeModule(void) {
    t_errorCode = 0;
}

// Exported as GetLastError (KavroGdal.def): under its own name it would meet kernel32's, which
// the static C++ runtime links in.
char* KAVRO_CALL KavroGdalGetLastError(void) {
    if (t_errorCode == 0)
        return nullptr;
    // The messages hold no character that JSON would escape.
    const std::string text =
        "{\"Code\": " + std::to_string(t_errorCode) + ", \"Message\": \"" + t_errorMessage + "\"}";
    char* data = static_cast<char*>(std::malloc(text.size() + 1));
    if (data)
        std::memcpy(data, text.c_str(), text.size() + 1);
    return data;
}

void KAVRO_CALL DestroyData(void* data) {
    std::free(data);
}

bool KAVRO_CALL CreateCoordinateSystem(const char*, const char*, const char*, void** handle) {
    if (handle)
        *handle = nullptr;
    return NotInitialized();
}

bool KAVRO_CALL DestroyCoordinateSystem(void*) {
    return NotInitialized();
}

bool KAVRO_CALL GetCoordinateSystemInfo(void*, char** info) {
    if (info)
        *info = nullptr;
    return NotInitialized();
}

bool KAVRO_CALL IsCoordinateSystemSame(void*, void*, bool*) {
    return NotInitialized();
}

bool KAVRO_CALL CreateCoordinateTransformer(void*, void*, const char*, void** transformer) {
    if (transformer)
        *transformer = nullptr;
    return NotInitialized();
}

bool KAVRO_CALL DestroyCoordinateTransformer(void*) {
    return NotInitialized();
}

bool KAVRO_CALL TransformPoints(void*, int32_t, double*, bool*) {
    return NotInitialized();
}

bool KAVRO_CALL TransformPoint(void*, double*, double*, double*) {
    return NotInitialized();
}

bool KAVRO_CALL TransformBounds(void*, double*) {
    return NotInitialized();
}

bool KAVRO_CALL InverseTransformBounds(void*, double*) {
    return NotInitialized();
}

bool KAVRO_CALL GetPredefinedCoordinateSystems(char** list) {
    if (list)
        *list = nullptr;
    return NotInitialized();
}

bool KAVRO_CALL GetSupportedCoordinateSystemFormats(char** list) {
    if (list)
        *list = nullptr;
    return NotInitialized();
}

bool KAVRO_CALL ExportCoordinateSystemTo(void*, const char*, char** text) {
    if (text)
        *text = nullptr;
    return NotInitialized();
}

} // extern "C"

// The exports have the types of the interface the module binds to (the .def file exports them,
// so the interface's declarations are not included here).
template <class Expected, class Actual>
constexpr bool kSameType = std::is_same_v<Expected*, Actual>;
static_assert(kSameType<KavroInitializeModule, decltype(&InitializeModule)>);
static_assert(kSameType<KavroFinalizeModule, decltype(&FinalizeModule)>);
static_assert(kSameType<KavroGetLastError, decltype(&KavroGdalGetLastError)>);
static_assert(kSameType<KavroDestroyData, decltype(&DestroyData)>);
static_assert(kSameType<KavroCreateCoordinateSystem, decltype(&CreateCoordinateSystem)>);
static_assert(kSameType<KavroDestroyHandle, decltype(&DestroyCoordinateSystem)>);
static_assert(kSameType<KavroGetCoordinateSystemInfo, decltype(&GetCoordinateSystemInfo)>);
static_assert(kSameType<KavroIsCoordinateSystemSame, decltype(&IsCoordinateSystemSame)>);
static_assert(kSameType<KavroCreateCoordinateTransformer, decltype(&CreateCoordinateTransformer)>);
static_assert(kSameType<KavroDestroyHandle, decltype(&DestroyCoordinateTransformer)>);
static_assert(kSameType<KavroTransformPoints, decltype(&TransformPoints)>);
static_assert(kSameType<KavroTransformPoint, decltype(&TransformPoint)>);
static_assert(kSameType<KavroTransformBounds, decltype(&TransformBounds)>);
static_assert(kSameType<KavroTransformBounds, decltype(&InverseTransformBounds)>);
static_assert(kSameType<KavroGetText, decltype(&GetPredefinedCoordinateSystems)>);
static_assert(kSameType<KavroGetText, decltype(&GetSupportedCoordinateSystemFormats)>);
static_assert(kSameType<KavroExportCoordinateSystemTo, decltype(&ExportCoordinateSystemTo)>);
