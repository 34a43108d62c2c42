/* KavroGdal: the coordinate-system library's plain C interface, written down once for both
   sides: the library declares its exports with these function types and the module's binding
   holds pointers of the same types, so the compiler checks that the two agree.
   Texts are zero-terminated Windows-1251; handles are opaque; every output text and the text of
   GetLastError is released with DestroyData. Each handle has its own PROJ context: different
   handles may be used on different threads at the same time, one handle by one thread at a
   time. Only horizontal coordinate systems are accepted (see CreateCoordinateSystem). */
#pragma once

#include <stdbool.h>
#include <stdint.h>

/* stdcall on 32-bit Windows, the platform's only convention elsewhere. KavroGdal.def keeps the
   exported names plain on Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define KAVRO_CALL __stdcall
#else
#define KAVRO_CALL
#endif

#if defined(_WIN32)
#define KAVRO_API __declspec(dllexport)
#else
#define KAVRO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef bool KAVRO_CALL KavroInitializeModule(const char* initText);
typedef void KAVRO_CALL KavroFinalizeModule(void);
/* {"Code": n, "Message": "..."} for the calling thread's last failure, or null when the last call
   on this thread succeeded. */
typedef char* KAVRO_CALL KavroGetLastError(void);
typedef void KAVRO_CALL KavroDestroyData(void* data);

/* Formats: "PROJ4" (PROJ strings), "WKT" (WKT1 or WKT2), "EPSG" (a code, "4326" or "EPSG:4326").
   A compound system stands for its horizontal part; a vertical or geocentric one is refused. */
typedef bool KAVRO_CALL KavroCreateCoordinateSystem(const char* reserved, const char* format,
                                                    const char* parameters, void** handle);
typedef bool KAVRO_CALL KavroDestroyHandle(void* handle);
/* The reference's JSON object: Caption, Format, Parameters, Type and, when known, BBox. */
typedef bool KAVRO_CALL KavroGetCoordinateSystemInfo(void* handle, char** info);
typedef bool KAVRO_CALL KavroIsCoordinateSystemSame(void* first, void* second, bool* same);

/* Refused when the two systems lie on different datums and no shift between them is known. */
typedef bool KAVRO_CALL KavroCreateCoordinateTransformer(void* source, void* target,
                                                         const char* reserved, void** transformer);
/* points: count x (x, y, z); flags: count bytes, 1 where the point was converted. */
typedef bool KAVRO_CALL KavroTransformPoints(void* transformer, int32_t count, double* points,
                                             bool* flags);
typedef bool KAVRO_CALL KavroTransformPoint(void* transformer, double* x, double* y, double* z);
/* box: min x, y, z, max x, y, z. */
typedef bool KAVRO_CALL KavroTransformBounds(void* transformer, double* box);

typedef bool KAVRO_CALL KavroGetText(char** text);
/* Optional exports: a library may leave them out. */
typedef bool KAVRO_CALL KavroGetGeofileInfo(const char* fileName, char** info);
typedef bool KAVRO_CALL KavroExportCoordinateSystemTo(void* handle, const char* format,
                                                      char** text);

/* What this library exports (GetGeofileInfo is not among them). Declared only where the library
   itself is built: the module reaches the exports through pointers of the types above, and
   names such as GetLastError must not meet the system's own in its files. */
#if defined(KAVROGDAL_BUILD)
KAVRO_API KavroInitializeModule InitializeModule;
KAVRO_API KavroFinalizeModule FinalizeModule;
KAVRO_API KavroGetLastError GetLastError;
KAVRO_API KavroDestroyData DestroyData;
KAVRO_API KavroCreateCoordinateSystem CreateCoordinateSystem;
KAVRO_API KavroDestroyHandle DestroyCoordinateSystem;
KAVRO_API KavroGetCoordinateSystemInfo GetCoordinateSystemInfo;
KAVRO_API KavroIsCoordinateSystemSame IsCoordinateSystemSame;
KAVRO_API KavroCreateCoordinateTransformer CreateCoordinateTransformer;
KAVRO_API KavroDestroyHandle DestroyCoordinateTransformer;
KAVRO_API KavroTransformPoints TransformPoints;
KAVRO_API KavroTransformPoint TransformPoint;
KAVRO_API KavroTransformBounds TransformBounds;
KAVRO_API KavroTransformBounds InverseTransformBounds;
KAVRO_API KavroGetText GetPredefinedCoordinateSystems;
KAVRO_API KavroGetText GetSupportedCoordinateSystemFormats;
KAVRO_API KavroExportCoordinateSystemTo ExportCoordinateSystemTo;
#endif

#ifdef __cplusplus
}
#endif
