#pragma once
#include "front/token.h"
#include "lang/node.h"

#include <cstdint>

// Recursive descent over the token list; `pos` is left on the first token
// not consumed. Syntax errors end the program through error().
NodePtr parseExpr(const TokenList& tokens, uint64_t& pos);
NodePtr parseLogicalOr(const TokenList& tokens, uint64_t& pos);
NodePtr parseLogicalXor(const TokenList& tokens, uint64_t& pos);
NodePtr parseLogicalAnd(const TokenList& tokens, uint64_t& pos);
NodePtr parseComparison(const TokenList& tokens, uint64_t& pos);
NodePtr parseBitwise(const TokenList& tokens, uint64_t& pos);
NodePtr parseAdditive(const TokenList& tokens, uint64_t& pos);
NodePtr parseMultiplicative(const TokenList& tokens, uint64_t& pos);
NodePtr parsePrimary(const TokenList& tokens, uint64_t& pos);

// One statement, or an empty pointer at the end of the list. Never consumes
// the `;` after the statement.
NodePtr parseStmt(const TokenList& tokens, uint64_t& pos);

// Parses and evaluates statements until the tokens run out or a signal is
// pending, skipping one `;` after each statement.
void runStatements(const TokenList& tokens);
// The same, but a signal that reaches the top just ends the run, silently.
void runStatementsQuietly(const TokenList& tokens);
