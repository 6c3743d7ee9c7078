#pragma once
#include "front/token.h"
#include "lang/node.h"

#include <cstdint>
#include <string>

// Reports a syntax error at the token at `pos` (or the last one).
[[noreturn]] void syntaxError(const TokenList& tokens, uint64_t pos, const std::string& message);

template <class T> std::shared_ptr<T> at(std::shared_ptr<T> node, const Token& t) {
    node->line = t.line;
    node->col = t.col;
    return node;
}

// Bounds how deeply expressions and blocks nest, so that neither the parser
// nor the evaluator can run out of native stack on hostile input.
class NestingGuard {
  public:
    NestingGuard(const TokenList& tokens, uint64_t pos);
    ~NestingGuard() { --depth_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

  private:
    static inline int depth_ = 0;
};

// Bounds left-leaning chains (`a + b + c`, `a.b.c`, `f()()`), which the
// parser builds in a loop but which nest one node per link all the same.
class ChainLinks {
  public:
    ChainLinks() = default;
    ~ChainLinks() { total_ -= mine_; }
    ChainLinks(const ChainLinks&) = delete;
    ChainLinks& operator=(const ChainLinks&) = delete;
    void add(const TokenList& tokens, uint64_t pos);

  private:
    static inline int total_ = 0;
    int mine_ = 0;
};
