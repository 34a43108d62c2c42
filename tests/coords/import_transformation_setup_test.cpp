// The set-up of the transformation page apart from its widgets: where the outside library is
// looked for.
#include "coords/import_transformation_setup.h"

#include <gtest/gtest.h>

TEST(ImportTransformationSetup, LibraryFolderIsTheApplicationFolderWithGdalAppended) {
    struct Case {
        const char* folder;
        const char* library;
    } cases[] = {
        {"C:\\Program Files\\Kavro\\", "C:\\Program Files\\Kavro\\GDAL"},
        {"/opt/kavro/", "/opt/kavro/GDAL"},
        // Without its final separator the folder still gets a GDAL subfolder.
        {"/opt/kavro", "/opt/kavro/GDAL"},
        // No folder: GDAL is taken against the module's own folder.
        {"", "GDAL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(CoordinateSystemLibraryFolder(c.folder), c.library);
    }
}
