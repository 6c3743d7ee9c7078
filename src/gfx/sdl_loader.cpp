// Loads SDL2 the first time raylib calls into it (see cmake/sdl_lazy.cmake):
// fills the trampolines' slots with the real functions.
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

extern "C" void* krin_sdl_slots[];

namespace {
const char* const names[] = {
#include "sdl_symbols.inc"
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "error: can't load SDL2 for the window (%s)\n", what);
    std::exit(1);
}
} // namespace

extern "C" void krinLoadSdl() {
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (!sdl) fail(dlerror());
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        void* fn = dlsym(sdl, names[i]);
        if (!fn) fail(names[i]);
        krin_sdl_slots[i] = fn;
    }
}
