// The binding to the outside coordinate-system library (KavroGdal): loading and calling its
// plain C exports, and the provider, references and transformations built on it.
#pragma once

#include "coords/coordinate_system_catalog.h"
#include "kavrogdal/kavrogdal.h"

#include <cstdint>
#include <filesystem>
#include <optional>

class TDynamicLibrary;

// The library's exports as the module calls them: pointers of the function types its interface
// header declares (with its calling convention).
struct TKavroGdalExports {
    using TransformPointFn = KavroTransformPoint*;
    using TransformBoundsFn = KavroTransformBounds*;

    KavroInitializeModule* InitializeModule = nullptr;
    KavroFinalizeModule* FinalizeModule = nullptr;
    KavroGetLastError* GetLastError = nullptr;
    KavroDestroyData* DestroyData = nullptr;
    KavroCreateCoordinateSystem* CreateCoordinateSystem = nullptr;
    KavroDestroyHandle* DestroyCoordinateSystem = nullptr;
    KavroGetCoordinateSystemInfo* GetCoordinateSystemInfo = nullptr;
    KavroIsCoordinateSystemSame* IsCoordinateSystemSame = nullptr;
    KavroCreateCoordinateTransformer* CreateCoordinateTransformer = nullptr;
    KavroDestroyHandle* DestroyCoordinateTransformer = nullptr;
    KavroTransformPoints* TransformPoints = nullptr;
    KavroTransformPoint* TransformPoint = nullptr;
    KavroTransformBounds* TransformBounds = nullptr;
    KavroTransformBounds* InverseTransformBounds = nullptr;
    KavroGetText* GetPredefinedCoordinateSystems = nullptr;
    KavroGetText* GetSupportedCoordinateSystemFormats = nullptr;
    KavroGetGeofileInfo* GetGeofileInfo = nullptr;                     // optional
    KavroExportCoordinateSystemTo* ExportCoordinateSystemTo = nullptr; // optional
};

// The file name of the library on this platform.
const char* CoordinateSystemLibraryFileName();

class TCoordinateSystemLibrary : public TCSObject {
public:
    explicit TCoordinateSystemLibrary(std::filesystem::path file);
    ~TCoordinateSystemLibrary() override;
    TCoordinateSystemLibrary(const TCoordinateSystemLibrary&) = delete;
    TCoordinateSystemLibrary& operator=(const TCoordinateSystemLibrary&) = delete;

    // Loads the file, finds every export and initialises the module; raises
    // ECoordinateSystemError on failure (and leaves the library unloaded).
    void Load(const AnsiString& initText);
    void Unload();
    bool IsLoaded() const { return m_library != nullptr; }
    const std::filesystem::path& File() const { return m_file; }

    // The exports; raises "Модуль не проинициализирован" while the library is not loaded.
    const TKavroGdalExports& Exports() const;

    // The library's last error: code 0 means none.
    struct TError {
        long long Code = 0;
        AnsiString Message;
    };
    TError LastError() const;
    // Raises the library's last error as ECoordinateSystemError, if there is one.
    void CheckLastError() const;
    // Copies a text the library returned and hands it back to DestroyData.
    AnsiString TakeText(char* data) const;

private:
    std::filesystem::path m_file;
    std::unique_ptr<TDynamicLibrary> m_library;
    TKavroGdalExports m_exports;
};

using TCoordinateSystemLibraryPtr = std::shared_ptr<TCoordinateSystemLibrary>;

class TDllProviderCoordinateReference final : public TCoordinateReference {
public:
    TDllProviderCoordinateReference(TCoordinateSystemLibraryPtr library, void* handle)
        : m_library(std::move(library)), m_handle(handle) {}
    ~TDllProviderCoordinateReference() override;
    void* Handle() const { return m_handle; }

private:
    TCoordinateSystemLibraryPtr m_library;
    void* m_handle;
};

class TDllProviderCoordinateTransformation final : public TCoordinateTransformation {
public:
    TDllProviderCoordinateTransformation(TCoordinateSystemLibraryPtr library, void* handle,
                                         TCoordinateReferencePtr source,
                                         TCoordinateReferencePtr target);
    ~TDllProviderCoordinateTransformation() override;

    bool TransformPoints(TCSPointArray& points, TCSBooleanArray& flags, AnsiString& error) override;
    bool TransformPoint(TCSPoint& point, AnsiString& error) override;
    bool TransformBounds(TCSBoundingBox& box, AnsiString& error) override;
    bool InverseTransformBounds(TCSBoundingBox& box, AnsiString& error) override;

private:
    TCoordinateSystemLibraryPtr m_library;
    void* m_handle;
    TKavroGdalExports::TransformPointFn m_transformPoint; // the per-point call, looked up once
};

class TDllCoordinateSystemProvider : public TCoordinateSystemProvider {
public:
    TDllCoordinateSystemProvider(AnsiString name, std::filesystem::path libraryFile,
                                 AnsiString initText = {});

    void Initialize() override { EnsureLoaded(); }
    void GetFormats(TCoordinateReferenceFormatList& list) override;
    void GetPredefinedReferences(TCoordinateReferenceList& list) override;
    bool CreateReference(const TCoordinateReferenceDef& def,
                         TCoordinateReferencePtr& reference) override;
    bool CreateTransformation(const TCoordinateReferenceDef& source,
                              const TCoordinateReferenceDef& target,
                              TCoordinateTransformationPtr& transformation) override;
    AnsiString GetLastError() override;
    bool GetGeoFileInfo(const AnsiString& fileName, TGeoFileInfo& info) override;
    bool ExportReference(const TCoordinateReference& reference, const AnsiString& format,
                         TCoordinateReferenceDef& result) override;

    const TCoordinateSystemLibraryPtr& Library() const { return m_library; }
    const std::filesystem::path& LibraryFile() const { return m_library->File(); }

private:
    TCoordinateSystemLibrary& EnsureLoaded();
    std::shared_ptr<TDllProviderCoordinateReference>
    MakeReference(const TCoordinateReferenceDef& def);

    TCoordinateSystemLibraryPtr m_library;
    AnsiString m_initText;
};

class TGDALCoordinateSystemProvider final : public TDllCoordinateSystemProvider {
public:
    explicit TGDALCoordinateSystemProvider(std::filesystem::path libraryFile)
        : TDllCoordinateSystemProvider("Kavro.GDAL", std::move(libraryFile)) {}
};

// Looks for the library in the folder (environment variables expanded; a relative folder is
// taken against the module's own folder, an empty one is the module's folder) and its
// subfolders; the file found, or nullopt. Of several copies the shallowest wins, and among
// those at one depth the first by path name.
std::optional<std::filesystem::path> FindCoordinateSystemLibrary(const AnsiString& folderText);
// The provider for the library found there, or null when there is none.
TCoordinateSystemProviderPtr CreateGDALProvider(const AnsiString& folderText);
