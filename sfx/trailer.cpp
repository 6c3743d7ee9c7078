#include "trailer.hpp"

#include "exit_codes.hpp"
#include "format.hpp"

#include <string>

namespace sfx {

TrailerReading readTrailer(std::istream& packed) {
    packed.seekg(0, std::ios::end);
    std::streamoff end = packed.tellg();
    if (end < 0) return {selfUnreadable, {}};
    auto fileSize = static_cast<std::uint64_t>(end);
    if (fileSize < trailerSize) return {fileTooShort, {}};

    packed.seekg(static_cast<std::streamoff>(fileSize - trailerSize));
    std::uint64_t length = readLittleEndian(packed, dataLengthSize);
    std::string marker(trailerMarker.size(), '\0');
    packed.read(marker.data(), static_cast<std::streamsize>(marker.size()));
    if (!packed) return {selfUnreadable, {}};
    if (marker != trailerMarker) return {markerMissing, {}};
    // Unsigned wrap-around makes a length of 0 fail here too.
    if (length - 1 >= fileSize) return {badPayloadLength, {}};

    Payload payload{length, std::nullopt};
    if (length <= fileSize - trailerSize) payload.offset = fileSize - trailerSize - length;
    return {0, payload};
}

} // namespace sfx
