# 32-bit Windows (i686-w64-mingw32), the windows32 preset: the one where the exports' stdcall
# convention decorates names.
set(TI_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
