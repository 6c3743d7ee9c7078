#include "front/parser.h"
#include "runner/error.h"
#include "runner/script.h"

#include <cstdio>
#include <sstream>

std::string currentFileDir;
std::string workspaceDir;

std::string readAll(std::istream& in) {
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string directoryOf(const std::string& path) {
    size_t sep = path.find_last_of("/\\");
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

void runPrelude(const TokenList& tokens) {
    runStatementsQuietly(tokens);
}

static void reportSignal(Signal s) {
    if (s == Signal::Return) error("return outside of function, u dingus");
    if (s == Signal::Break) error("break outside of loop, y u do dis");
    if (s == Signal::Continue) error("continue outside of loop, cmon bruh");
}

void runMain(const TokenList& tokens) {
    try {
        runStatements(tokens);
        reportSignal(pendingSignal);
    } catch (ReturnException&) {
        reportSignal(Signal::Return);
    } catch (BreakException&) {
        reportSignal(Signal::Break);
    } catch (ContinueException&) {
        reportSignal(Signal::Continue);
    }
}

void dumpTokens(const TokenList& tokens) {
    std::string out = "DEBUG TOKENS (" + std::to_string(tokens.size()) + "):\n";
    for (size_t i = 0; i < tokens.size(); ++i) {
        out += std::to_string(i);
        out += ": '";
        out += tokens[i].text;
        out += "'\n";
    }
    out += "END DEBUG TOKENS\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
}
