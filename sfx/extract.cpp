#include "extract.hpp"

#include "entry_name.hpp"
#include "format.hpp"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace sfx {

namespace {

constexpr std::size_t chunkSize = 256 * 1024;

bool copyBytes(std::istream& from, std::ostream& to, std::uint64_t count,
               std::vector<char>& buffer) {
    while (count > 0) {
        auto chunk = static_cast<std::streamsize>(std::min<std::uint64_t>(count, buffer.size()));
        if (!from.read(buffer.data(), chunk)) return false;
        if (!to.write(buffer.data(), chunk)) return false;
        count -= static_cast<std::uint64_t>(chunk);
    }
    return true;
}

bool unpackEntry(std::istream& packed, const std::string& name, std::uint64_t size,
                 const fs::path& directory, std::vector<char>& buffer) {
    if (checkEntryName(name) != NameProblem::none) return false;
    fs::path target = directory / fs::path(std::u8string(name.begin(), name.end()));
    std::error_code ignored;
    fs::create_directories(target.parent_path(), ignored);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    // A file that cannot be opened (the name is empty, or names a directory) is skipped.
    if (!file) return true;
    if (!copyBytes(packed, file, size, buffer)) return false;
    file.close();
    return !file.fail();
}

} // namespace

Extraction extractPayload(std::istream& packed, std::uint64_t payloadOffset,
                          std::uint64_t payloadLength, const fs::path& directory) {
    std::vector<char> buffer(chunkSize);
    std::uint64_t at = 0;
    while (at + nameLengthSize <= payloadLength) {
        packed.seekg(static_cast<std::streamoff>(payloadOffset + at));
        std::uint64_t nameLength = readLittleEndian(packed, nameLengthSize);
        std::uint64_t nameEnd = at + nameLengthSize + nameLength;
        if (nameEnd > payloadLength) break;
        std::string name(nameLength, '\0');
        packed.read(name.data(), static_cast<std::streamsize>(nameLength));
        if (nameEnd + dataLengthSize > payloadLength) break;
        std::uint64_t dataLength = readLittleEndian(packed, dataLengthSize);
        if (!packed) return Extraction::failed;
        std::uint64_t dataStart = nameEnd + dataLengthSize;
        if (dataLength > payloadLength - dataStart) break;
        if (!unpackEntry(packed, name, dataLength, directory, buffer)) return Extraction::failed;
        at = dataStart + dataLength;
    }
    return Extraction::complete;
}

} // namespace sfx
