# The Windows cross-build (MinGW-w64, 32- and 64-bit): the module without its Qt dialogs, the
# coordinate-system library without PROJ, the headless tests and the client of the exports,
# all run under Wine. Included by the top-level CMakeLists.txt when the target is Windows; the
# Linux build does not read this file.
#
# No Windows Qt, PROJ or SQLite is packaged here, so only what needs none of them is built:
# the platform on the system's COM headers, oleaut32 and registry, the text readers, the
# coordinate chain, references and catalog, the add-on shell, and the importers' logic.

set(TI_SRC ${PROJECT_SOURCE_DIR}/src)
set(TI_TESTS ${PROJECT_SOURCE_DIR}/tests)
add_compile_definitions(TI_NO_DIALOGS)
# MinGW's GCC 12.2 warns of overlapping copies inside std::basic_string that cannot happen
# (GCC bug 105329, fixed in later releases) wherever a literal is added to a temporary string;
# which files it hits changes with inlining, so the warning is off for the cross-build.
add_compile_options(-Wno-restrict)
# Every binary carries its C and C++ runtime, so that Wine (and a user's machine) needs no MinGW
# DLL beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

# Header-only libraries of the build machine, seen through a folder of their own so that the
# build machine's system headers stay out of the cross-compiler's search path.
set(TI_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${TI_HOST_HEADERS})
foreach(entry nlohmann pugixml.hpp pugiconfig.hpp)
    if(NOT EXISTS ${TI_HOST_HEADERS}/${entry})
        file(CREATE_LINK /usr/include/${entry} ${TI_HOST_HEADERS}/${entry} SYMBOLIC)
    endif()
endforeach()
add_library(nlohmann_json_headers INTERFACE)
target_include_directories(nlohmann_json_headers SYSTEM INTERFACE ${TI_HOST_HEADERS})

# pugixml from Debian's source package (scripts/install-deps windows unpacks it).
set(TI_PUGIXML_SOURCE "" CACHE PATH "pugixml.cpp of pugixml's source package")
if(NOT EXISTS "${TI_PUGIXML_SOURCE}")
    message(FATAL_ERROR "TI_PUGIXML_SOURCE must name pugixml.cpp (scripts/build windows64 sets it)")
endif()
add_library(ti_pugixml STATIC ${TI_PUGIXML_SOURCE})
target_include_directories(ti_pugixml SYSTEM PUBLIC ${TI_HOST_HEADERS})

# --- the platform: system COM, the registry, LoadLibraryW -------------------------------------
add_library(ti_codepage STATIC ${TI_SRC}/platform/codepage.cpp ${TI_SRC}/platform/codepage_tables.cpp)
target_include_directories(ti_codepage PUBLIC ${TI_SRC})

add_library(ti_platform STATIC
    ${TI_SRC}/platform/win/registry.cpp ${TI_SRC}/platform/win/dynamic_library.cpp
    ${TI_SRC}/platform/win/errorinfo.cpp ${TI_SRC}/platform/win/window_title.cpp
    ${TI_SRC}/platform/com/guid.cpp ${TI_SRC}/platform/com/object_count.cpp)
target_link_libraries(ti_platform PUBLIC ti_codepage ole32 oleaut32 uuid advapi32 user32)

# Interface names the folders' own CMakeLists link to, on the headers and sources above.
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json_headers)
add_library(pugixml::pugixml ALIAS ti_pugixml)
add_library(kavrogdal_interface INTERFACE)
target_include_directories(kavrogdal_interface INTERFACE ${PROJECT_SOURCE_DIR})

# --- the headless libraries: the same folders and source lists as on Linux ------------------
# Each folder's CMakeLists stops before its Qt part when there is no ti_platform_gui.
foreach(dir host_api infra ui text coords addon import textimport pts sdr)
    add_subdirectory(${TI_SRC}/${dir} ${CMAKE_BINARY_DIR}/src/${dir})
endforeach()

# --- TextImport.dll: the five exports, undecorated by its .def file ---------------------------
add_library(TextImport SHARED
    ${TI_SRC}/module/module.cpp ${TI_SRC}/module/text_import_addon.cpp
    ${TI_SRC}/module/no_dialogs.cpp ${TI_SRC}/module/TextImport.def)
target_link_libraries(TextImport PRIVATE ti_addon ti_pts ti_sdr ti_textimport)
set_target_properties(TextImport PROPERTIES PREFIX "")

# --- KavroGdal.dll in GDAL/: the exports, without PROJ ---------------------------------------
add_library(KavroGdal SHARED ${PROJECT_SOURCE_DIR}/kavrogdal/kavrogdal_without_proj.cpp
                             ${PROJECT_SOURCE_DIR}/kavrogdal/KavroGdal.def)
target_link_libraries(KavroGdal PRIVATE kavrogdal_interface)
set_target_properties(KavroGdal PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${TI_BIN_DIR}/GDAL)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def files name the stdcall exports without their @N suffix; the linker matches them.
    target_link_options(TextImport PRIVATE -Wl,--enable-stdcall-fixup)
    target_link_options(KavroGdal PRIVATE -Wl,--enable-stdcall-fixup)
endif()

if(NOT TI_BUILD_TESTS)
    return()
endif()
enable_testing()

# --- tests under Wine ------------------------------------------------------------------------
# GoogleTest from Debian's source package, built by the cross-compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# ti_add_windows_test(NAME SOURCES a.cpp ... LIBS lib...): one GoogleTest executable, one CTest
# test that runs it whole under Wine (listing its cases would start Wine once more per build).
function(ti_add_windows_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gmock gtest_main)
    target_include_directories(${name} PRIVATE ${TI_TESTS})
    target_compile_definitions(${name} PRIVATE TI_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                               TI_BIN_DIR="${TI_BIN_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

ti_add_windows_test(platform_tests
    SOURCES ${TI_TESTS}/platform/com_test.cpp ${TI_TESTS}/platform/codepage_test.cpp
            ${TI_TESTS}/windows/registry_windows_test.cpp
            ${TI_TESTS}/windows/dynamic_library_windows_test.cpp
    LIBS ti_platform kavrogdal_interface)
add_dependencies(platform_tests KavroGdal)
ti_add_windows_test(text_tests
    SOURCES ${TI_TESTS}/text/text_reader_test.cpp ${TI_TESTS}/text/source_text_test.cpp
            ${TI_TESTS}/text/csv_data_test.cpp ${TI_TESTS}/text/text_rules_test.cpp
            ${TI_TESTS}/text/words_filter_test.cpp ${TI_TESTS}/windows/wide_file_name_test.cpp
    LIBS ti_text ti_pts ti_sdr ti_addon)
set(coords_tests transform_data_test import_transformation_test coordinate_reference_test
                 catalog_test msk_test import_transformation_setup_test)
list(TRANSFORM coords_tests REPLACE "(.+)" "${TI_TESTS}/coords/\\1.cpp")
ti_add_windows_test(coords_tests SOURCES ${coords_tests} LIBS ti_coords)
ti_add_windows_test(pts_reader_test SOURCES ${TI_TESTS}/pts/pts_reader_test.cpp
                    LIBS ti_pts ti_addon)
ti_add_windows_test(sdr_reader_test
    SOURCES ${TI_TESTS}/sdr/sdr_reader_test.cpp ${TI_TESTS}/sdr/gsi_format_test.cpp
    LIBS ti_sdr ti_addon)
ti_add_windows_test(pipeline_tests SOURCES ${TI_TESTS}/import/pipeline_test.cpp LIBS ti_import)
ti_add_windows_test(textimport_tests
    SOURCES ${TI_TESTS}/textimport/import_settings_test.cpp
            ${TI_TESTS}/textimport/progress_test.cpp ${TI_TESTS}/textimport/run_parsing_test.cpp
    LIBS ti_textimport ti_addon)

# The client of the exports, in C from the records of the host's add-on interface: it loads
# TextImport.dll as the host does and checks it through the exports only.
add_executable(export_client ${TI_TESTS}/windows/export_client.c)
target_link_libraries(export_client PRIVATE advapi32 ole32)
add_dependencies(export_client TextImport)
add_test(NAME export_client COMMAND export_client $<TARGET_FILE:TextImport>)
set_tests_properties(export_client PROPERTIES TIMEOUT 300)
