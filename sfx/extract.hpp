#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>

namespace sfx {

enum class Extraction { complete, failed };

// Unpacks the payload's entries into `directory`, streaming each file's bytes through a small
// buffer. An entry that does not fit in the payload quietly ends the extraction; an unsafe
// name or a failed write fails it.
Extraction extractPayload(std::istream& packed, std::uint64_t payloadOffset,
                          std::uint64_t payloadLength, const std::filesystem::path& directory);

} // namespace sfx
