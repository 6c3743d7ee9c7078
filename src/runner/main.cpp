#include "gfx/window.h"
#include "lib/registry.h"
#include "runner/error.h"
#include "runner/script.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <fstream>
#include <new>

static void runPreludeBeside(const std::string& path) {
    size_t dot = path.rfind('.');
    if (dot == std::string::npos) return;
    std::ifstream prelude(path.substr(0, dot) + ".kkit");
    if (!prelude) return;
    runPrelude(tokenize(readAll(prelude)));
}

static int run(int argc, char** argv) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (argc <= 1) error("feed me a file bruh");
    std::string path = argv[1];
    std::ifstream script(path);
    if (!script) error("File not found: " + path);
    currentFileDir = workspaceDir = directoryOf(path);

    initGraphics();
    globalEnv = std::make_shared<Scope>();
    bindings().setRoot(globalEnv.get());
    setupGlobals(*globalEnv);
    runPreludeBeside(path);

    TokenList tokens = tokenize(readAll(script));
    dumpTokens(tokens);
    runMain(tokens);
    return 0;
}

int main(int argc, char** argv) {
    initStackGuard();
    try {
        int status = run(argc, argv);
        std::fflush(stdout);
        std::exit(status);
    } catch (const std::bad_alloc&) {
        error("ran out of memory, that's a lot of stuff");
    } catch (const std::exception& e) {
        error(std::string("something broke inside: ") + e.what());
    }
}
