#include "front/parse_support.h"
#include "front/parser.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {
using Level = NodePtr (*)(const TokenList&, uint64_t&);

bool isOneOf(const std::string& t, std::initializer_list<const char*> ops) {
    for (const char* op : ops)
        if (t == op) return true;
    return false;
}

NodePtr binaryLevel(const TokenList& tokens, uint64_t& pos, Level next,
                    std::initializer_list<const char*> ops) {
    NodePtr left = next(tokens, pos);
    ChainLinks links;
    while (pos < tokens.size() && isOneOf(tokens[pos].text, ops)) {
        links.add(tokens, pos);
        const Token& op = tokens[pos++];
        NodePtr right = next(tokens, pos);
        left = at(makeBinOp(std::move(left), op.text, std::move(right)), op);
    }
    return left;
}

double numberValue(const std::string& text) {
    errno = 0;
    double d = std::strtod(text.c_str(), nullptr);
    // Too small for a double reads as zero; too large as infinity.
    if (errno == ERANGE && std::fabs(d) < DBL_MIN) return 0.0;
    return d;
}

bool startsOperand(const std::string& t) {
    char c = t[0];
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || t == "(";
}

// Arguments after a consumed `(`; commas are optional separators.
NodeList parseArguments(const TokenList& tokens, uint64_t& pos, NodeList args) {
    while (pos < tokens.size() && tokens[pos].text != ")") {
        args.push_back(parseExpr(tokens, pos));
        if (pos < tokens.size() && tokens[pos].text == ",") ++pos;
    }
    if (pos >= tokens.size())
        syntaxError(tokens, pos, "forgot a closing parenthesis? classic mistake :P");
    ++pos;
    return args;
}

NodePtr parseTable(const TokenList& tokens, uint64_t& pos, const Token& open) {
    std::vector<std::pair<std::string, NodePtr>> entries;
    while (pos < tokens.size() && tokens[pos].text != "}") {
        if (tokens[pos].text == ",") {
            ++pos;
            continue;
        }
        std::string key = tokens[pos++].text;
        if (pos >= tokens.size() || tokens[pos].text != "=")
            syntaxError(tokens, pos, "Expected = in table definition");
        ++pos;
        entries.emplace_back(std::move(key), parsePrimary(tokens, pos));
    }
    if (pos < tokens.size()) ++pos; // the closing brace
    return at(std::make_shared<TableNode>(std::move(entries)), open);
}

NodePtr parsePostfix(const TokenList& tokens, uint64_t& pos, NodePtr node) {
    ChainLinks links;
    while (pos < tokens.size()) {
        const Token& t = tokens[pos];
        if (t.text == "." || t.text == ":" || t.text == "(") links.add(tokens, pos);
        if (t.text == "." || t.text == ":") {
            bool method = t.text == ":";
            ++pos;
            if (pos >= tokens.size())
                syntaxError(tokens, pos, "Expected property name after operator");
            const Token& name = tokens[pos++];
            auto prop = at(std::make_shared<PropAccess>(node, name.text), name);
            if (method && pos < tokens.size() && tokens[pos].text == "(") {
                ++pos;
                NodeList args = parseArguments(tokens, pos, NodeList{node});
                node = at(std::make_shared<CallExpr>(std::move(prop), std::move(args)), name);
            } else {
                node = std::move(prop);
            }
        } else if (t.text == "(") {
            ++pos;
            auto call = std::make_shared<CallExpr>(node, parseArguments(tokens, pos, {}));
            call->line = node->line;
            call->col = node->col;
            node = std::move(call);
        } else {
            break;
        }
    }
    return node;
}
} // namespace

NodePtr parseExpr(const TokenList& tokens, uint64_t& pos) {
    NestingGuard guard(tokens, pos);
    return parseLogicalOr(tokens, pos);
}
NodePtr parseLogicalOr(const TokenList& tokens, uint64_t& pos) {
    return binaryLevel(tokens, pos, parseLogicalXor, {"||"});
}
NodePtr parseLogicalXor(const TokenList& tokens, uint64_t& pos) {
    return binaryLevel(tokens, pos, parseLogicalAnd, {"^"});
}
NodePtr parseLogicalAnd(const TokenList& tokens, uint64_t& pos) {
    return binaryLevel(tokens, pos, parseComparison, {"&&"});
}
NodePtr parseComparison(const TokenList& tokens, uint64_t& pos) {
    return binaryLevel(tokens, pos, parseBitwise, {"==", "!=", "<", ">", "<=", ">="});
}
NodePtr parseBitwise(const TokenList& tokens, uint64_t& pos) {
    return binaryLevel(tokens, pos, parseAdditive, {"&", "|", "<<", ">>"});
}
NodePtr parseAdditive(const TokenList& tokens, uint64_t& pos) {
    return binaryLevel(tokens, pos, parseMultiplicative, {"+", "-"});
}
NodePtr parseMultiplicative(const TokenList& tokens, uint64_t& pos) {
    return binaryLevel(tokens, pos, parsePrimary, {"*", "/", "%"});
}

NodePtr parsePrimary(const TokenList& tokens, uint64_t& pos) {
    if (pos >= tokens.size()) syntaxError(tokens, pos, "bruh where'd the rest of ur code go??");
    NestingGuard guard(tokens, pos);
    const Token& t = tokens[pos];
    bool unaryMinus =
        t.text == "-" && pos + 1 < tokens.size() && startsOperand(tokens[pos + 1].text);
    if (t.text == "!" || t.text == "~" || unaryMinus) {
        ++pos;
        NodePtr operand = parsePrimary(tokens, pos);
        return at(std::make_shared<UnaryOp>(t.text, std::move(operand)), t);
    }
    ++pos;
    char c = t.text[0];
    if (t.text == "true") return at(std::make_shared<Literal>(Value::boolean(true)), t);
    if (t.text == "false") return at(std::make_shared<Literal>(Value::boolean(false)), t);
    if (t.text == "null") return at(std::make_shared<Literal>(Value()), t);
    if (c >= '0' && c <= '9')
        return at(std::make_shared<Literal>(Value::number(numberValue(t.text))), t);
    if (c == '"' || c == '\'') {
        std::string body = t.text.substr(1, t.text.size() - 2);
        return at(std::make_shared<Literal>(Value::string(std::move(body))), t);
    }
    if (t.text == "(") {
        NodePtr inner = parseExpr(tokens, pos);
        if (pos >= tokens.size() || tokens[pos].text != ")")
            syntaxError(tokens, pos, "forgot a closing parenthesis? classic mistake :P");
        ++pos;
        return inner;
    }
    if (t.text == "{") return parseTable(tokens, pos, t);
    return parsePostfix(tokens, pos, at(std::make_shared<VarAccess>(t.text), t));
}
