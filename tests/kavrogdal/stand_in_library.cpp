// A library with the coordinate-system exports that does nothing useful, to exercise the
// module's loader: built as it is, without TransformPoint, and with an initialisation that fails.
// Its last error is the text of the environment variable TI_STAND_IN_ERROR when that is set.
#include "kavrogdal/kavrogdal.h"

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

extern "C" {

bool KAVRO_CALL InitializeModule(const char*) {
#ifdef STAND_IN_FAILING_INIT
    g_failed = true;
    return false;
#else
    return true;
#endif
}
void KAVRO_CALL FinalizeModule() {}
char* KAVRO_CALL GetLastError() {
    if (const char* text = std::getenv("TI_STAND_IN_ERROR"))
        return Copy(text);
    return g_failed ? Copy("{\"Code\": 7, \"Message\": \"no data files\"}") : nullptr;
}
void KAVRO_CALL DestroyData(void* data) {
    std::free(data);
}
bool KAVRO_CALL CreateCoordinateSystem(const char*, const char*, const char*, void**) {
    return false;
}
bool KAVRO_CALL DestroyCoordinateSystem(void*) {
    return true;
}
bool KAVRO_CALL GetCoordinateSystemInfo(void*, char**) {
    return false;
}
bool KAVRO_CALL IsCoordinateSystemSame(void*, void*, bool*) {
    return false;
}
bool KAVRO_CALL CreateCoordinateTransformer(void*, void*, const char*, void**) {
    return false;
}
bool KAVRO_CALL DestroyCoordinateTransformer(void*) {
    return true;
}
bool KAVRO_CALL TransformPoints(void*, std::int32_t, double*, bool*) {
    return false;
}
#ifndef STAND_IN_MISSING_EXPORT
bool KAVRO_CALL TransformPoint(void*, double*, double*, double*) {
    return false;
}
#endif
bool KAVRO_CALL TransformBounds(void*, double*) {
    return false;
}
bool KAVRO_CALL InverseTransformBounds(void*, double*) {
    return false;
}
bool KAVRO_CALL GetPredefinedCoordinateSystems(char** out) {
    *out = Copy("null");
    return true;
}
bool KAVRO_CALL GetSupportedCoordinateSystemFormats(char** out) {
    *out = Copy("[]");
    return true;
}
bool KAVRO_CALL ExportCoordinateSystemTo(void*, const char*, char**) {
    return false;
}

} // extern "C"
