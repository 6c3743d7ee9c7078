// libFuzzer target: any bytes as a script, tokenized, parsed and run with a
// budget of loop passes and calls. Natives that block, touch files, open
// windows or reach the network are removed first.
#include "front/parser.h"
#include "lib/registry.h"
#include "runner/error.h"
#include "runner/script.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {
long fuel = 0;

const char* const unsafeNatives[] = {
    "input",        "sleep",        "wait",         "import",         "load",
    "save",         "http",         "audio",        "timer",          "Window",
    "raylib_init",  "raylib_close", "raylib_clear", "raylib_display", "window_title",
    "window_clear", "window_color", "window_size",  "range",          "repeat",
    "particles",    "raylib",
};

void freshGlobals() {
    globalEnv = std::make_shared<Scope>();
    bindings().setRoot(globalEnv.get());
    setupGlobals(*globalEnv);
    for (const char* name : unsafeNatives)
        globalEnv->define(name, Value());
}
} // namespace

void spendFuel() {
    if (--fuel <= 0) error("fuzz: out of fuel");
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::freopen("/dev/null", "w", stdout);
    initStackGuard();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    freshGlobals();
    fuel = 20000;
    std::string source(reinterpret_cast<const char*>(data), size);
    try {
        TokenList tokens = tokenize(source);
        runMain(tokens);
    } catch (const FuzzStop&) {}
    pendingSignal = Signal::None;
    returnValue = Value();
    return 0;
}
