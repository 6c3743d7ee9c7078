// The Windows process layer: command lines go through the command
// processor, as `_popen` and `system` hand them over.
#ifdef _WIN32
#include "lib/platform.h"

#include <cstdio>
#include <cstdlib>

std::optional<std::string> readOutput(const Command& command) {
    if (command.line.empty()) return std::nullopt;
    FILE* pipe = _popen(command.line.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string output;
    char piece[256];
    while (std::fgets(piece, sizeof piece, pipe))
        output += piece;
    _pclose(pipe);
    return output;
}

void runAndWait(const Command& command) {
    if (!command.line.empty()) std::system(command.line.c_str());
}

// The command line itself asks for playback in the background; the command
// processor is waited for all the same.
void runInBackground(const Command& command) {
    runAndWait(command);
}
#endif
