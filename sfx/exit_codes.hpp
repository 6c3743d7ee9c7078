#pragma once

// How the launcher ends when it does not pass on the interpreter's own exit code.
namespace sfx {

enum ExitCode : int {
    selfUnreadable = 1,
    fileTooShort = 2,
    markerMissing = 3,
    badPayloadLength = 4,
    directoryNotCreated = 5,
    extractionFailed = 6,
    interpreterMissing = 7,
    interpreterNotStarted = 8,
    // Something the format does not foresee: listing the directory failed, memory ran out.
    unexpectedFailure = 9,
};

} // namespace sfx
