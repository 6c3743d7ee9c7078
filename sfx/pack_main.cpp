// krin-pack: makes a packed game, one program file that runs a Krin game on a machine
// without Krin. See README.md beside this file.

#include "packing.hpp"
#include "platform.hpp"

#include <iostream>
#include <string_view>

namespace fs = std::filesystem;
using namespace sfx;

namespace {

constexpr std::string_view usage =
    "usage: krin-pack -o OUTPUT [--stub PATH] [--interpreter PATH] SCRIPT.krin "
    "[FILE_OR_FOLDER...]\n"
    "\n"
    "Packs a Krin game into one program file: the launcher stub, the interpreter (stored as\n"
    "krin.exe), the script, and the given files and folders at their paths relative to the\n"
    "script's folder. The stub and the interpreter default to krin-sfx and krin beside\n"
    "krin-pack.\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

PackRequest parseArguments(int argc, char** argv) {
    PackRequest request;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        auto takeValue = [&](fs::path& into) {
            if (i + 1 >= argc) throw UsageError(option + " needs a path");
            if (!into.empty()) throw UsageError(option + " is given twice");
            into = argv[++i];
        };
        if (option == "-o") {
            takeValue(request.output);
        } else if (option == "--stub") {
            takeValue(request.stub);
        } else if (option == "--interpreter") {
            takeValue(request.interpreter);
        } else if (option.size() > 1 && option[0] == '-') {
            throw UsageError("unknown option " + option);
        } else {
            files.push_back(option);
        }
    }
    if (request.output.empty()) throw UsageError("no output file given (-o)");
    if (files.empty()) throw UsageError("no script given");
    request.script = files.front();
    request.extras.assign(files.begin() + 1, files.end());
    return request;
}

fs::path besideThisProgram(std::string_view programName) {
    auto self = ownProgramPath();
    if (!self) throw PackError("cannot tell where krin-pack is; give --stub and --interpreter");
    return self->parent_path() / (std::string(programName) + std::string(executableSuffix));
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "-h" || std::string_view(argv[1]) == "--help")) {
        std::cout << usage;
        return 0;
    }
    try {
        PackRequest request = parseArguments(argc, argv);
        if (request.stub.empty()) request.stub = besideThisProgram("krin-sfx");
        if (request.interpreter.empty()) request.interpreter = besideThisProgram("krin");
        writePackedGame(request.output, request.stub, collectEntries(request));
        return 0;
    } catch (const UsageError& error) {
        std::cerr << "krin-pack: " << error.what() << "\n\n" << usage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "krin-pack: " << error.what() << "\n";
        return 1;
    }
}
