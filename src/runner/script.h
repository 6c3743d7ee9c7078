#pragma once
#include "front/token.h"

#include <istream>
#include <string>

// The running script's directory and the main script's, each ending in its
// separator, or empty.
extern std::string currentFileDir;
extern std::string workspaceDir;

// The whole rest of a stream.
std::string readAll(std::istream& in);

// The directory part of a path, up to and including its last separator.
std::string directoryOf(const std::string& path);

// Runs a prelude: any signal or exception ends it silently.
void runPrelude(const TokenList& tokens);
// Runs the main script's statements, reporting signals that reach the top.
void runMain(const TokenList& tokens);
// The token dump written to standard error before the main script runs.
void dumpTokens(const TokenList& tokens);
