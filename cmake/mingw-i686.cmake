# Cross-compiling for Windows with Debian's MinGW-w64 (i686-w64-mingw32, posix threads, so that
# std::thread and std::mutex exist). Used by the windows32 preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TI_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TI_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TI_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TI_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TI_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The tests run under Wine when CTest starts them.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
