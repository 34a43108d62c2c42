/* KavroGdal: the coordinate-system library's plain C interface.
   Texts are zero-terminated Windows-1251; handles are opaque; every output text and the text of
   GetLastError is released with DestroyData. A handle is used by one thread at a time. */
#pragma once

#include <stdbool.h>
#include <stdint.h>

#if defined(_WIN32)
#define KAVRO_API __declspec(dllexport)
#define KAVRO_CALL __stdcall
#else
#define KAVRO_API __attribute__((visibility("default")))
#define KAVRO_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

KAVRO_API bool KAVRO_CALL InitializeModule(const char* initText);
KAVRO_API void KAVRO_CALL FinalizeModule(void);
/* {"Code": n, "Message": "..."} for the calling thread's last failure, or null when there is none.
 */
KAVRO_API char* KAVRO_CALL GetLastError(void);
KAVRO_API void KAVRO_CALL DestroyData(void* data);

/* Formats: "PROJ4" (PROJ strings), "WKT" (WKT1 or WKT2), "EPSG" (a code, "4326" or "EPSG:4326"). */
KAVRO_API bool KAVRO_CALL CreateCoordinateSystem(const char* reserved, const char* format,
                                                 const char* parameters, void** handle);
KAVRO_API bool KAVRO_CALL DestroyCoordinateSystem(void* handle);
/* The reference's JSON object: Caption, Format, Parameters, Type and, when known, BBox. */
KAVRO_API bool KAVRO_CALL GetCoordinateSystemInfo(void* handle, char** info);
KAVRO_API bool KAVRO_CALL IsCoordinateSystemSame(void* first, void* second, bool* same);

KAVRO_API bool KAVRO_CALL CreateCoordinateTransformer(void* source, void* target,
                                                      const char* reserved, void** transformer);
KAVRO_API bool KAVRO_CALL DestroyCoordinateTransformer(void* transformer);
/* points: count x (x, y, z); flags: count bytes, 1 where the point was converted. */
KAVRO_API bool KAVRO_CALL TransformPoints(void* transformer, int32_t count, double* points,
                                          bool* flags);
KAVRO_API bool KAVRO_CALL TransformPoint(void* transformer, double* x, double* y, double* z);
/* box: min x, y, z, max x, y, z. */
KAVRO_API bool KAVRO_CALL TransformBounds(void* transformer, double* box);
KAVRO_API bool KAVRO_CALL InverseTransformBounds(void* transformer, double* box);

KAVRO_API bool KAVRO_CALL GetPredefinedCoordinateSystems(char** list);
KAVRO_API bool KAVRO_CALL GetSupportedCoordinateSystemFormats(char** list);
KAVRO_API bool KAVRO_CALL ExportCoordinateSystemTo(void* handle, const char* format, char** text);

#ifdef __cplusplus
}
#endif
