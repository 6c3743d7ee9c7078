#include "front/parse_support.h"
#include "front/parser.h"
#include "lang/scope.h"

namespace {
bool isToken(const TokenList& tokens, uint64_t pos, const char* text) {
    return pos < tokens.size() && tokens[pos].text == text;
}
void skip(const TokenList& tokens, uint64_t& pos, const char* text) {
    if (isToken(tokens, pos, text)) ++pos;
}

// Blocks run to the next `}` that no inner statement consumes; `{` is optional.
NodeList parseBlock(const TokenList& tokens, uint64_t& pos) {
    skip(tokens, pos, "{");
    NodeList block;
    while (pos < tokens.size() && tokens[pos].text != "}") {
        if (NodePtr stmt = parseStmt(tokens, pos)) block.push_back(std::move(stmt));
        skip(tokens, pos, ";");
    }
    skip(tokens, pos, "}");
    return block;
}

NodePtr parseReturn(const TokenList& tokens, uint64_t& pos, const Token& kw) {
    NodePtr value;
    if (pos < tokens.size() && !isToken(tokens, pos, ";") && !isToken(tokens, pos, "}") &&
        !isToken(tokens, pos, "end"))
        value = parseExpr(tokens, pos);
    return at(std::make_shared<ReturnNode>(std::move(value)), kw);
}

NodePtr parseWhile(const TokenList& tokens, uint64_t& pos, const Token& kw) {
    skip(tokens, pos, "(");
    NodePtr condition = parseExpr(tokens, pos);
    skip(tokens, pos, ")");
    NodeList body = parseBlock(tokens, pos);
    return at(std::make_shared<WhileNode>(std::move(condition), std::move(body)), kw);
}

NodePtr parseFor(const TokenList& tokens, uint64_t& pos, const Token& kw) {
    skip(tokens, pos, "(");
    NodePtr init, condition, update;
    if (pos < tokens.size() && !isToken(tokens, pos, ";")) init = parseStmt(tokens, pos);
    skip(tokens, pos, ";");
    if (pos < tokens.size() && !isToken(tokens, pos, ";")) condition = parseExpr(tokens, pos);
    skip(tokens, pos, ";");
    if (pos < tokens.size() && !isToken(tokens, pos, ")")) update = parseExpr(tokens, pos);
    skip(tokens, pos, ")");
    NodeList body = parseBlock(tokens, pos);
    return at(std::make_shared<ForNode>(std::move(init), std::move(condition), std::move(update),
                                        std::move(body)),
              kw);
}

NodePtr parseVar(const TokenList& tokens, uint64_t& pos, const Token& kw) {
    if (pos >= tokens.size()) syntaxError(tokens, pos, "Variable declaration requires a name");
    std::string name = tokens[pos++].text;
    skip(tokens, pos, "=");
    NodePtr value = parseExpr(tokens, pos);
    return at(std::make_shared<VarDeclNode>(name, std::move(value)), kw);
}

NodePtr parseDef(const TokenList& tokens, uint64_t& pos, const Token& kw) {
    if (pos >= tokens.size()) syntaxError(tokens, pos, "Function declaration requires a name");
    std::string name = tokens[pos++].text;
    skip(tokens, pos, "(");
    std::vector<std::string> params;
    while (pos < tokens.size() && tokens[pos].text != ")") {
        params.push_back(tokens[pos++].text);
        skip(tokens, pos, ",");
    }
    skip(tokens, pos, ")");
    NodeList body = parseBlock(tokens, pos);
    return at(std::make_shared<FuncDeclNode>(name, std::move(params), std::move(body)), kw);
}

NodePtr parseIf(const TokenList& tokens, uint64_t& pos, const Token& kw) {
    skip(tokens, pos, "(");
    NodePtr condition = parseExpr(tokens, pos);
    skip(tokens, pos, ")");
    NodeList thenBody = parseBlock(tokens, pos);
    NodeList elseBody;
    if (isToken(tokens, pos, "else")) {
        ++pos;
        elseBody = parseBlock(tokens, pos);
    }
    return at(
        std::make_shared<IfNode>(std::move(condition), std::move(thenBody), std::move(elseBody)),
        kw);
}
} // namespace

NodePtr parseStmt(const TokenList& tokens, uint64_t& pos) {
    if (pos >= tokens.size()) return nullptr;
    NestingGuard guard(tokens, pos);
    const Token& t = tokens[pos];
    const std::string& kw = t.text;
    if (kw == "return") return parseReturn(tokens, ++pos, t);
    if (kw == "break") return ++pos, at(std::make_shared<BreakNode>(), t);
    if (kw == "continue") return ++pos, at(std::make_shared<ContinueNode>(), t);
    if (kw == "while") return parseWhile(tokens, ++pos, t);
    if (kw == "for") return parseFor(tokens, ++pos, t);
    if (kw == "var") return parseVar(tokens, ++pos, t);
    if (kw == "def") return parseDef(tokens, ++pos, t);
    if (kw == "if") return parseIf(tokens, ++pos, t);
    NodePtr expr = parseExpr(tokens, pos);
    if (isToken(tokens, pos, "=")) {
        const Token& eq = tokens[pos++];
        NodePtr value = parseExpr(tokens, pos);
        return at(makeAssign(std::move(expr), std::move(value)), eq);
    }
    return expr;
}

void runStatements(const TokenList& tokens) {
    uint64_t pos = 0;
    while (pos < tokens.size()) {
        if (NodePtr stmt = parseStmt(tokens, pos)) {
            stmt->exec();
            if (pendingSignal != Signal::None) return;
        }
        skip(tokens, pos, ";");
    }
}

void runStatementsQuietly(const TokenList& tokens) {
    try {
        runStatements(tokens);
    } catch (ReturnException&) {
    } catch (BreakException&) {
    } catch (ContinueException&) {}
    pendingSignal = Signal::None;
    returnValue = Value();
}
