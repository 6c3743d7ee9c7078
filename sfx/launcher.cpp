// krin-sfx: the launcher stub at the front of a packed game. It unpacks the payload appended
// to its own file, runs the interpreter on the game's script and ends with its exit code.
// It prints nothing and takes no arguments; the exit code is all it reports.

#include "exit_codes.hpp"
#include "extract.hpp"
#include "extraction_directory.hpp"
#include "format.hpp"
#include "platform.hpp"
#include "trailer.hpp"

#include <fstream>

namespace fs = std::filesystem;
using namespace sfx;

namespace {

// The first top-level entry, in listing order, whose extension is exactly the script's.
std::optional<fs::path> findScript(const fs::path& directory) {
    for (const auto& entry : fs::directory_iterator(directory)) {
        if (entry.path().extension() == fs::path(scriptExtension)) return entry.path();
    }
    return std::nullopt;
}

int runPackedGame() {
    auto self = ownProgramPath();
    if (!self) return selfUnreadable;
    std::ifstream packed(*self, std::ios::binary);
    if (!packed) return selfUnreadable;
    TrailerReading trailer = readTrailer(packed);
    if (trailer.failure != 0) return trailer.failure;

    ExtractionDirectory directory;
    if (!directory.created()) return directoryNotCreated;
    // A payload that would start before the file reads as zero bytes: entries with empty
    // names, which write nothing, so there is nothing to unpack.
    const Payload& payload = trailer.payload;
    if (payload.offset && extractPayload(packed, *payload.offset, payload.length,
                                         directory.path()) == Extraction::failed)
        return extractionFailed;
    packed.close();

    fs::path interpreter = directory.path() / interpreterEntryName;
    auto script = findScript(directory.path());
    if (!fs::exists(interpreter)) return interpreterMissing;
    markExecutable(interpreter);
    auto exitCode = runAndWait(interpreter, script);
    return exitCode ? *exitCode : interpreterNotStarted;
}

} // namespace

int main() {
    try {
        return runPackedGame();
    } catch (...) {
        // The extraction directory, if made, is already gone with the unwinding.
        return unexpectedFailure;
    }
}
