#include "entry_name.hpp"

#include "format.hpp"

namespace sfx {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool hasRootOrDrive(std::string_view name) {
    if (!name.empty() && isSeparator(name[0])) return true;
    return name.size() >= 2 && isAsciiLetter(name[0]) && name[1] == ':';
}

bool hasParentComponent(std::string_view name) {
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !isSeparator(name[end]))
            ++end;
        if (name.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

} // namespace

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length;
        char32_t codePoint;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, codePoint = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, codePoint = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        constexpr char32_t smallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < smallestOfLength[length]) return false; // overlong form
        if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

NameProblem checkEntryName(std::string_view name) {
    if (name.size() > maxNameLength) return NameProblem::tooLong;
    if (!isValidUtf8(name)) return NameProblem::notUtf8;
    if (hasRootOrDrive(name)) return NameProblem::absolute;
    if (hasParentComponent(name)) return NameProblem::climbsOut;
    return NameProblem::none;
}

std::string_view describe(NameProblem problem) {
    switch (problem) {
    case NameProblem::none: return "fine";
    case NameProblem::tooLong: return "longer than 65535 bytes";
    case NameProblem::notUtf8: return "not valid UTF-8";
    case NameProblem::absolute: return "absolute, or starts with a drive or root";
    case NameProblem::climbsOut: return "has a '..' component";
    }
    return "unknown problem";
}

} // namespace sfx
