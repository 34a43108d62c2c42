// A library with the coordinate-system exports that does nothing useful: built once without
// TransformPoint and once with an initialisation that fails, to exercise the module's loader.
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
char* Copy(const char* text) {
    char* data = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    std::strcpy(data, text);
    return data;
}
bool g_failed = false;
} // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT bool InitializeModule(const char*) {
#ifdef STAND_IN_FAILING_INIT
    g_failed = true;
    return false;
#else
    return true;
#endif
}
EXPORT void FinalizeModule() {}
EXPORT char* GetLastError() {
    return g_failed ? Copy("{\"Code\": 7, \"Message\": \"no data files\"}") : nullptr;
}
EXPORT void DestroyData(void* data) {
    std::free(data);
}
EXPORT bool CreateCoordinateSystem(const char*, const char*, const char*, void**) {
    return false;
}
EXPORT bool DestroyCoordinateSystem(void*) {
    return true;
}
EXPORT bool GetCoordinateSystemInfo(void*, char**) {
    return false;
}
EXPORT bool IsCoordinateSystemSame(void*, void*, bool*) {
    return false;
}
EXPORT bool CreateCoordinateTransformer(void*, void*, const char*, void**) {
    return false;
}
EXPORT bool DestroyCoordinateTransformer(void*) {
    return true;
}
EXPORT bool TransformPoints(void*, std::int32_t, double*, bool*) {
    return false;
}
#ifndef STAND_IN_MISSING_EXPORT
EXPORT bool TransformPoint(void*, double*, double*, double*) {
    return false;
}
#endif
EXPORT bool TransformBounds(void*, double*) {
    return false;
}
EXPORT bool InverseTransformBounds(void*, double*) {
    return false;
}
EXPORT bool GetPredefinedCoordinateSystems(char** out) {
    *out = Copy("null");
    return true;
}
EXPORT bool GetSupportedCoordinateSystemFormats(char** out) {
    *out = Copy("[]");
    return true;
}
