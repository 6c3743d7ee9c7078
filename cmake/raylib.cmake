# Provides the imported target krin::raylib (raylib 6.x with everything it links against).
#
# Looks for an installed raylib: the one scripts/setup.sh builds into
# $KRIN_DEPS/raylib (default /opt/krin-deps/raylib), or any other raylib 6 that
# find_package() can see (CMAKE_PREFIX_PATH, a package manager's).
include_guard(GLOBAL)

# The Windows cross build (cmake/toolchain-mingw64.cmake) takes the raylib that
# scripts/build-raylib-windows.sh builds into $KRIN_DEPS/raylib-win64 instead.
set(_krin_raylib_dir raylib)
if(WIN32)
    set(_krin_raylib_dir raylib-win64)
endif()
if(DEFINED ENV{KRIN_DEPS} AND NOT "$ENV{KRIN_DEPS}" STREQUAL "")
    list(APPEND CMAKE_PREFIX_PATH "$ENV{KRIN_DEPS}/${_krin_raylib_dir}")
    # A cross build searches only below its root paths.
    list(APPEND CMAKE_FIND_ROOT_PATH "$ENV{KRIN_DEPS}/${_krin_raylib_dir}")
endif()
list(APPEND CMAKE_PREFIX_PATH "/opt/krin-deps/${_krin_raylib_dir}")
list(APPEND CMAKE_FIND_ROOT_PATH "/opt/krin-deps/${_krin_raylib_dir}")

find_package(raylib 6.0 QUIET)

set(_krin_raylib_hint "Run scripts/setup.sh to build raylib 6.0 into \
\${KRIN_DEPS:-/opt/krin-deps}/${_krin_raylib_dir}, or point CMAKE_PREFIX_PATH at another raylib 6 install.")
if(NOT raylib_FOUND)
    if(raylib_DIR AND NOT raylib_DIR MATCHES "-NOTFOUND$")
        # The config file was there but a dependency of it (SDL2) was not.
        message(FATAL_ERROR "raylib at ${raylib_DIR} is unusable: "
            "${raylib_NOT_FOUND_MESSAGE}\nIs libsdl2-dev installed? ${_krin_raylib_hint}")
    endif()
    message(FATAL_ERROR "raylib 6.0 not found. ${_krin_raylib_hint}")
endif()
if(NOT raylib_VERSION VERSION_LESS 7)
    message(FATAL_ERROR "raylib ${raylib_VERSION} at ${raylib_DIR} is not raylib 6. "
        "${_krin_raylib_hint}")
endif()
if(NOT TARGET raylib)
    message(FATAL_ERROR "raylib config at ${raylib_DIR} defines no 'raylib' target")
endif()

add_library(krin::raylib INTERFACE IMPORTED GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/sdl_lazy.cmake)
krin_link_raylib_lazily(_krin_sdl_lazy)
if(NOT _krin_sdl_lazy)
    target_link_libraries(krin::raylib INTERFACE raylib)
endif()

# A static raylib leaves its own dependencies to the final link: its export names SDL2
# but not libm, threads (miniaudio) or libdl (miniaudio loads the sound backends).
# GL itself is loaded at run time through SDL; linking it is for raylib builds that
# call it directly.
get_target_property(_krin_raylib_type raylib TYPE)
if(WIN32 AND _krin_raylib_type STREQUAL "STATIC_LIBRARY")
    # raylib's RGFW platform on Win32: windows and input (user32, gdi32, shell32 for
    # dropped files), WGL (opengl32), the timer resolution (winmm).
    target_link_libraries(krin::raylib INTERFACE opengl32 gdi32 winmm shell32 user32)
elseif(_krin_raylib_type STREQUAL "STATIC_LIBRARY")
    set(THREADS_PREFER_PTHREAD_FLAG ON)
    find_package(Threads REQUIRED)
    set(OpenGL_GL_PREFERENCE GLVND)
    find_package(OpenGL QUIET)
    if(TARGET OpenGL::GL)
        target_link_libraries(krin::raylib INTERFACE OpenGL::GL)
    endif()
    target_link_libraries(krin::raylib INTERFACE Threads::Threads ${CMAKE_DL_LIBS} m)
endif()

message(STATUS "raylib ${raylib_VERSION} (${_krin_raylib_type}) from ${raylib_DIR}")
unset(_krin_raylib_hint)
unset(_krin_raylib_type)
unset(_krin_raylib_dir)
unset(_krin_sdl_lazy)
