// A user that keeps the library in a static object finalises it from its destructor at exit,
// after the library's own statics may have gone: the process must still end cleanly. Exits 0.
#include "coords/coordinate_system_library.h"

#include <cstdio>
#include <memory>

namespace {
// Constructed before the library is loaded, so destroyed after the library's statics.
std::unique_ptr<TCoordinateSystemLibrary> g_library;
} // namespace

int main() {
    g_library = std::make_unique<TCoordinateSystemLibrary>(
        std::filesystem::path(TI_BIN_DIR) / "GDAL" / CoordinateSystemLibraryFileName());
    g_library->Load(AnsiString());
    // A handle taken and given back leaves an idle context for the finalisation to free.
    const auto& exports = g_library->Exports();
    void* handle = nullptr;
    if (!exports.CreateCoordinateSystem(nullptr, "EPSG", "4326", &handle) || !handle) {
        std::fputs("finalize_at_exit: EPSG:4326 not created\n", stderr);
        return 1;
    }
    exports.DestroyCoordinateSystem(handle);
    return 0;
}
