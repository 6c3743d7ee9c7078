#pragma once
#include <optional>
#include <string>
#include <vector>

// A program for the process layer, in both of the forms it can be run:
// POSIX systems start `args` directly (program first, no shell, so nothing
// in a URL, a body or a path is ever interpreted), Windows hands `line` to
// the command processor. An empty `line` cannot be run safely there.
struct Command {
    std::vector<std::string> args;
    std::string line;
};

// Runs the command and returns everything it wrote to standard output, or
// nothing when no output stream could be set up. A program that is missing
// or fails just yields what it wrote, possibly nothing.
std::optional<std::string> readOutput(const Command& command);

// Runs the command and waits for it to end.
void runAndWait(const Command& command);

// Starts the command and returns at once.
void runInBackground(const Command& command);
