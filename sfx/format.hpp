#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string_view>

// The packed-file layout shared by the launcher and the packer:
//   stub image | payload of entries | payload length (u64 LE) | "KRINSFX\0"
// and each entry is: name length (u16 LE) | name | data length (u64 LE) | data.
namespace sfx {

inline constexpr std::string_view trailerMarker{"KRINSFX\0", 8};
inline constexpr std::uint64_t trailerSize = 16;
inline constexpr std::size_t nameLengthSize = 2;
inline constexpr std::size_t dataLengthSize = 8;
inline constexpr std::size_t maxNameLength = 0xFFFF;

inline constexpr std::string_view interpreterEntryName = "krin.exe";
inline constexpr std::string_view scriptExtension = ".krin";

inline std::uint64_t decodeLittleEndian(const unsigned char* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = (value << 8) | bytes[i];
    return value;
}

// Reads a `count`-byte little-endian number; the stream's state tells whether it worked.
inline std::uint64_t readLittleEndian(std::istream& in, std::size_t count) {
    unsigned char bytes[8] = {};
    in.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
    return decodeLittleEndian(bytes, count);
}

inline void writeLittleEndian(std::ostream& out, std::uint64_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace sfx
