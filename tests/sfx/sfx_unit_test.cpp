// The trailer checks and the entry-name rules, on bytes made in memory. The launcher reads
// its own file, which can never be 15 bytes or shorter, so exit code 2 is only reachable here.

#include "entry_name.hpp"
#include "exit_codes.hpp"
#include "trailer.hpp"

#include <cstdint>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace sfx;

namespace {

int passed = 0;
int failed = 0;

void expect(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::cout << "FAIL: " << what << "\n";
    }
}

std::string littleEndian(std::uint64_t value) {
    std::string bytes;
    for (int i = 0; i < 8; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

const std::string marker("KRINSFX\0", 8);

// `size` bytes in all: filler, then the length field and the marker.
std::string packedFile(std::size_t size, std::uint64_t length, const std::string& tail = marker) {
    return std::string(size - 16, 'x') + littleEndian(length) + tail;
}

void trailerCases() {
    struct Case {
        std::string name;
        std::string file;
        int failure;
        std::uint64_t length;
        std::optional<std::uint64_t> offset;
    };
    const std::vector<Case> cases = {
        {"empty file", "", fileTooShort, 0, {}},
        {"15 bytes", std::string(15, 'x'), fileTooShort, 0, {}},
        {"15 bytes ending in the marker", std::string(7, 'x') + marker, fileTooShort, 0, {}},
        {"no marker", packedFile(100, 5, "KRINSFY" + std::string(1, '\0')), markerMissing, 0, {}},
        {"marker without its zero byte", packedFile(100, 5, "KRINSFX!"), markerMissing, 0, {}},
        {"no marker wins over a zero length", packedFile(100, 0, "........"), markerMissing, 0, {}},
        {"length 0", packedFile(100, 0), badPayloadLength, 0, {}},
        {"length S + 1", packedFile(100, 101), badPayloadLength, 0, {}},
        {"largest length", packedFile(100, UINT64_MAX), badPayloadLength, 0, {}},
        {"length S", packedFile(100, 100), 0, 100, std::nullopt},
        {"length S - 15", packedFile(100, 85), 0, 85, std::nullopt},
        {"length S - 16", packedFile(100, 84), 0, 84, 0},
        {"16-byte file, length 1", packedFile(16, 1), 0, 1, std::nullopt},
        {"ordinary", packedFile(100, 5), 0, 5, 79},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.file);
        TrailerReading reading = readTrailer(in);
        expect(reading.failure == c.failure, "trailer, " + c.name + ": exit code " +
                                                 std::to_string(reading.failure) + ", wanted " +
                                                 std::to_string(c.failure));
        if (c.failure != 0) continue;
        expect(reading.payload.length == c.length, "trailer, " + c.name + ": length");
        expect(reading.payload.offset == c.offset, "trailer, " + c.name + ": offset");
    }
}

void nameCases() {
    struct Case {
        std::string name;
        NameProblem problem;
    };
    const std::vector<Case> cases = {
        {"krin.exe", NameProblem::none},
        {"assets/img/ball.png", NameProblem::none},
        {"assets\\ball.png", NameProblem::none},
        {"a/./b", NameProblem::none},
        {"...", NameProblem::none},
        {"..hidden", NameProblem::none},
        {"name..", NameProblem::none},
        {"1:x", NameProblem::none},
        {"caf\xc3\xa9/\xf0\x9f\x8e\xae.krin", NameProblem::none},
        {std::string(65535, 'a'), NameProblem::none},
        {std::string(65536, 'a'), NameProblem::tooLong},
        {"/etc/passwd", NameProblem::absolute},
        {"\\x", NameProblem::absolute},
        {"\\\\server\\share\\x", NameProblem::absolute},
        {"C:\\x", NameProblem::absolute},
        {"C:/x", NameProblem::absolute},
        {"c:x", NameProblem::absolute},
        {"..", NameProblem::climbsOut},
        {"../x", NameProblem::climbsOut},
        {"a/../../x", NameProblem::climbsOut},
        {"a/..", NameProblem::climbsOut},
        {"..\\x", NameProblem::climbsOut},
        {"a\\..\\..\\x", NameProblem::climbsOut},
        {"a/..\\x", NameProblem::climbsOut},
        {"\xff.txt", NameProblem::notUtf8},
        {"a\xc3", NameProblem::notUtf8},
        {"\xc0\xaf", NameProblem::notUtf8},         // overlong '/'
        {"\xed\xa0\x80", NameProblem::notUtf8},     // surrogate
        {"\xf4\x90\x80\x80", NameProblem::notUtf8}, // beyond U+10FFFF
        {"\x80", NameProblem::notUtf8},
    };
    for (const auto& c : cases) {
        NameProblem problem = checkEntryName(c.name);
        expect(problem == c.problem, "name '" + c.name.substr(0, 40) +
                                         "': " + std::string(describe(problem)) + ", wanted " +
                                         std::string(describe(c.problem)));
    }
}

} // namespace

int main() {
    trailerCases();
    nameCases();
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
