# Cross-compiling for Windows with Debian's MinGW-w64 for the target TI_MINGW_TRIPLET, with posix
# threads (so that std::thread and std::mutex exist). Included by the two toolchain files.
set(CMAKE_SYSTEM_NAME Windows)
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
