# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -G Ninja -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# The posix-threads variant is used because std::thread and friends need it.
# Programs are linked statically so that they start on a Windows without MinGW's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_krin_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_krin_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_krin_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_krin_mingw}-windres)
set(CMAKE_AR ${_krin_mingw}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_krin_mingw}-ranlib CACHE FILEPATH "")

# Look for libraries and headers only in the MinGW sysroot and in the prefixes given
# (the cross-built raylib), never in the build machine's /usr.
set(CMAKE_FIND_ROOT_PATH /usr/${_krin_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run the .exe files under Wine.
find_program(KRIN_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KRIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KRIN_WINE})
endif()
unset(_krin_mingw)
