#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

// Writing packed games: the stub, then the payload of entries, then the trailer.
namespace sfx {

struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct PackRequest {
    std::filesystem::path output;
    std::filesystem::path stub;
    std::filesystem::path interpreter;
    std::filesystem::path script;
    std::vector<std::filesystem::path> extras; // files and folders beside the script
};

struct PackEntry {
    std::string name; // the path inside the game, '/'-separated
    std::filesystem::path source;
};

// The interpreter as krin.exe, the script and its prelude (.kkit) at the top level, then the
// extra files and the
// contents of the extra folders at their paths relative to the script's folder. Refuses,
// with a PackError, anything the launcher would not unpack or would run by mistake.
std::vector<PackEntry> collectEntries(const PackRequest& request);

// Writes the stub and the entries to `output` and marks it executable. Streams every file,
// so a large game needs little memory.
void writePackedGame(const std::filesystem::path& output, const std::filesystem::path& stub,
                     const std::vector<PackEntry>& entries);

} // namespace sfx
