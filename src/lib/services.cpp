#include "lib/services.h"
#include "front/parser.h"
#include "lang/scope.h"
#include "lib/json.h"
#include "lib/platform.h"
#include "runner/error.h"

#include <optional>

namespace {
// Script text put between the double quotes of a Windows command line, so
// that both the command processor and the program's argument parser give
// it back unchanged: a quote is doubled (the processor stays inside the
// quotes, the program reads one quote), and backslashes before a quote or
// the closing quote are doubled. Line breaks and other control characters
// cannot be carried; nothing is returned then.
std::optional<std::string> inWindowsQuotes(const std::string& text) {
    std::string out;
    size_t backslashes = 0;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return std::nullopt;
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 : backslashes, '\\');
        backslashes = 0;
        out += c == '"' ? "\"\"" : std::string(1, c);
    }
    out.append(backslashes * 2, '\\');
    return out;
}

// curl reads an argument that starts with "-" as an option, so such a URL
// goes through --url.
void addUrl(std::vector<std::string>& args, const std::string& url) {
    if (!url.empty() && url[0] == '-') args.push_back("--url");
    args.push_back(url);
}

Command getCommand(const std::string& url) {
    Command c;
    c.args = {"curl", "-s"};
    addUrl(c.args, url);
    if (auto u = inWindowsQuotes(url)) c.line = "curl -s \"" + *u + "\"";
    return c;
}

// With -d, a body that starts with "@" would name a file to send instead;
// --data-raw sends it as it is.
Command postCommand(const std::string& url, const std::string& data) {
    Command c;
    const char* dataOption = !data.empty() && data[0] == '@' ? "--data-raw" : "-d";
    c.args = {"curl", "-s", "-X", "POST", "-H", "Content-Type: application/json", dataOption, data};
    addUrl(c.args, url);
    auto u = inWindowsQuotes(url);
    auto d = inWindowsQuotes(data);
    if (u && d)
        c.line = std::string("curl -s -X POST -H \"Content-Type: application/json\" ") +
                 dataOption + " \"" + *d + "\" \"" + *u + "\"";
    return c;
}

// ffplay (Debian's ffmpeg package) plays every listed audio format without
// a window; "file:" keeps a path from reading as an option or a protocol.
// On Windows, PowerShell's SoundPlayer; a single quote in the path is
// doubled for PowerShell's quoted string.
Command playCommand(const std::string& path, const char* method) {
    Command c;
    c.args = {"ffplay", "-nodisp", "-autoexit", "-loglevel", "quiet", "file:" + path};
    std::string single;
    for (char ch : path)
        single += ch == '\'' ? std::string("''") : std::string(1, ch);
    if (path.find('"') == std::string::npos) {
        if (auto p = inWindowsQuotes(single))
            c.line = "powershell -Command \"(New-Object Media.SoundPlayer '" + *p + "')." + method +
                     "()\" &";
    }
    return c;
}

std::string fetch(const Command& command, const std::string& failure) {
    std::optional<std::string> output = readOutput(command);
    if (!output) error(failure);
    return *output;
}

// The response is read as one statement of the language, in a scope that
// sees no names; a control-flow word in it just gives null.
Value readResponse(const std::string& body) {
    TokenList tokens = tokenize(body);
    uint64_t pos = 0;
    NodePtr statement = parseStmt(tokens, pos);
    if (!statement) return Value();
    Scope nothing;
    ChainSwitch chain(&nothing);
    Value result = statement->eval();
    if (pendingSignal != Signal::None) {
        pendingSignal = Signal::None;
        returnValue = Value();
    }
    return result;
}

const std::string& audioPath(Args args, const char* message) {
    if (args.empty() || !args[0].is(ValueType::Audio)) error(message);
    return args[0].text();
}
} // namespace

Value httpGet(Args args) {
    if (args.empty()) error("http.get needs url");
    const std::string& url = args[0].text();
    return Value::string(fetch(getCommand(url), "couldn't fetch from " + url));
}

Value httpPost(Args args) {
    if (args.size() < 2) error("http.post needs (url, data)");
    const std::string& url = args[0].text();
    std::string data = args[1].is(ValueType::String) ? args[1].text() : valueToJson(args[1]);
    return Value::string(fetch(postCommand(url, data), "couldn't POST to " + url));
}

Value httpJson(Args args) {
    if (args.empty()) error("http.json needs url");
    const std::string& url = args[0].text();
    return readResponse(fetch(getCommand(url), "couldn't fetch from " + url));
}

Value audioPlay(Args args) {
    runAndWait(playCommand(audioPath(args, "audio.play needs audio object"), "PlaySync"));
    return Value();
}

Value audioStream(Args args) {
    runInBackground(playCommand(audioPath(args, "audio.stream needs audio object"), "Play"));
    return Value();
}
