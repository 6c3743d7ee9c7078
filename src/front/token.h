#pragma once
#include <string>
#include <vector>

// A token is its text; the position only serves error lines.
struct Token {
    std::string text;
    int line = 1;
    int col = 1;
    bool operator==(const char* s) const { return text == s; }
};

using TokenList = std::vector<Token>;

TokenList tokenize(const std::string& source);
