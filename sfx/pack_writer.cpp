#include "format.hpp"
#include "packing.hpp"
#include "platform.hpp"

#include <algorithm>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace sfx {

namespace {

constexpr std::size_t chunkSize = 256 * 1024;

void appendFile(std::ostream& out, const fs::path& source, std::uint64_t size) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw PackError("cannot read '" + source.string() + "'");
    std::vector<char> buffer(chunkSize);
    while (size > 0) {
        auto chunk = static_cast<std::streamsize>(std::min<std::uint64_t>(size, buffer.size()));
        if (!in.read(buffer.data(), chunk)) {
            throw PackError("'" + source.string() + "' changed while it was being packed");
        }
        out.write(buffer.data(), chunk);
        size -= static_cast<std::uint64_t>(chunk);
    }
}

// Gives the entry's size in the payload.
std::uint64_t appendEntry(std::ostream& out, const PackEntry& entry) {
    std::uint64_t size = fs::file_size(entry.source);
    writeLittleEndian(out, entry.name.size(), nameLengthSize);
    out.write(entry.name.data(), static_cast<std::streamsize>(entry.name.size()));
    writeLittleEndian(out, size, dataLengthSize);
    appendFile(out, entry.source, size);
    return nameLengthSize + entry.name.size() + dataLengthSize + size;
}

void refuseToOverwriteAnInput(const fs::path& output, const fs::path& stub,
                              const std::vector<PackEntry>& entries) {
    if (!fs::exists(output)) return;
    auto refuseIfSame = [&](const fs::path& input) {
        if (fs::equivalent(output, input)) {
            throw PackError("the output '" + output.string() + "' would overwrite its own input '" +
                            input.string() + "'");
        }
    };
    refuseIfSame(stub);
    for (const auto& entry : entries)
        refuseIfSame(entry.source);
}

} // namespace

void writePackedGame(const fs::path& output, const fs::path& stub,
                     const std::vector<PackEntry>& entries) {
    if (!fs::is_regular_file(stub)) {
        throw PackError("launcher stub not found: '" + stub.string() +
                        "' (choose one with --stub)");
    }
    refuseToOverwriteAnInput(output, stub, entries);

    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    if (!out) throw PackError("cannot write '" + output.string() + "'");
    try {
        appendFile(out, stub, fs::file_size(stub));
        std::uint64_t payloadLength = 0;
        for (const auto& entry : entries)
            payloadLength += appendEntry(out, entry);
        writeLittleEndian(out, payloadLength, dataLengthSize);
        out.write(trailerMarker.data(), static_cast<std::streamsize>(trailerMarker.size()));
        out.close();
        if (out.fail()) throw PackError("cannot write '" + output.string() + "'");
    } catch (...) {
        out.close();
        std::error_code ignored;
        fs::remove(output, ignored);
        throw;
    }
    markExecutable(output);
}

} // namespace sfx
