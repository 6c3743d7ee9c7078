#include "front/parse_support.h"
#include "runner/error.h"

void syntaxError(const TokenList& tokens, uint64_t pos, const std::string& message) {
    if (!tokens.empty()) {
        const Token& t = tokens[pos < tokens.size() ? pos : tokens.size() - 1];
        currentLine = t.line;
        currentCol = t.col;
    }
    error(message);
}

NestingGuard::NestingGuard(const TokenList& tokens, uint64_t pos) {
    if (++depth_ > 400) syntaxError(tokens, pos, "ur code is nested way too deep, chill");
}

void ChainLinks::add(const TokenList& tokens, uint64_t pos) {
    ++mine_;
    if (++total_ > 5000) syntaxError(tokens, pos, "ur code is nested way too deep, chill");
}
