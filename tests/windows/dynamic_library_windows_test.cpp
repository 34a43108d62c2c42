// Libraries load by their wide path (LoadLibraryW): KavroGdal.dll copied into a folder with a
// Cyrillic name loads, its exports are found under their plain names, and its InitializeModule
// gives the library's own reason when PROJ is not built in.
#include "kavrogdal/kavrogdal.h"
#include "platform/dynamic_library.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(WindowsDynamicLibrary, LoadsFromACyrillicFolderAndFindsPlainExports) {
    TTempDir dir;
    const auto folder = dir.Path() / std::filesystem::path(u8"Библиотека систем");
    std::filesystem::create_directories(folder);
    const auto file = folder / "KavroGdal.dll";
    std::filesystem::copy_file(std::filesystem::path(TI_BIN_DIR) / "GDAL" / "KavroGdal.dll", file);

    std::string error;
    auto library = TDynamicLibrary::Load(file, &error);
    ASSERT_TRUE(library) << error;
    auto initialize = library->Function<KavroInitializeModule*>("InitializeModule");
    auto lastError = library->Function<KavroGetLastError*>("GetLastError");
    auto destroy = library->Function<KavroDestroyData*>("DestroyData");
    ASSERT_TRUE(initialize && lastError && destroy);
    EXPECT_EQ(library->Symbol("_InitializeModule@4"), nullptr);
    EXPECT_EQ(library->Symbol("NoSuchExport"), nullptr);

    EXPECT_FALSE(initialize(""));
    char* text = lastError();
    ASSERT_TRUE(text);
    EXPECT_NE(std::strstr(text, "PROJ not available"), nullptr) << text;
    destroy(text);

    EXPECT_EQ(TDynamicLibrary::FileOfAddress(reinterpret_cast<const void*>(initialize)), file);
}

TEST(WindowsDynamicLibrary, AMissingLibraryGivesTheLoadersMessage) {
    TTempDir dir;
    std::string error;
    EXPECT_FALSE(TDynamicLibrary::Load(dir.Path() / std::filesystem::path(u8"нет.dll"), &error));
    EXPECT_FALSE(error.empty());
}
