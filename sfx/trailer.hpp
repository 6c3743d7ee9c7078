#pragma once

#include <cstdint>
#include <istream>
#include <optional>

namespace sfx {

struct Payload {
    std::uint64_t length = 0;
    // Empty when the payload would start before the file; it then reads as all zero bytes.
    std::optional<std::uint64_t> offset;
};

struct TrailerReading {
    int failure = 0; // the exit code for a file without a usable trailer, or 0
    Payload payload;
};

TrailerReading readTrailer(std::istream& packed);

} // namespace sfx
