#include "lib/modules.h"
#include "front/parser.h"
#include "lang/scope.h"
#include "lib/kcat.h"
#include "lib/registry.h"
#include "runner/error.h"
#include "runner/script.h"

#include <raylib.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <unordered_map>

namespace {
bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool isOneOf(const std::string& s, std::initializer_list<const char*> options) {
    for (const char* o : options)
        if (s == o) return true;
    return false;
}

// A folder opens for reading on some systems, but it is no file to read.
bool openFile(std::ifstream& file, const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return false;
    file.open(path, std::ios::binary);
    return file.is_open();
}

// Puts `currentFileDir` back however the module run ends, a signal that
// travels on into the importer included.
class DirectoryGuard {
  public:
    explicit DirectoryGuard(std::string dir) : saved_(std::move(currentFileDir)) {
        currentFileDir = std::move(dir);
    }
    ~DirectoryGuard() { currentFileDir = std::move(saved_); }
    DirectoryGuard(const DirectoryGuard&) = delete;
    DirectoryGuard& operator=(const DirectoryGuard&) = delete;

  private:
    std::string saved_;
};

// The module gets its own built-ins and a scope of its own on top of them;
// what that scope defines is what the importer gets.
Value runModule(const TokenList& tokens, const std::string& path) {
    auto builtins = std::make_shared<Scope>();
    setupGlobals(*builtins);
    DirectoryGuard dir(directoryOf(path));
    ChainSwitch chain(builtins.get());
    LocalScope moduleScope;
    runStatements(tokens);
    if (pendingSignal != Signal::None) throwPendingSignal();

    // Copied through a hash map, so the table lists its entries in the order
    // a copy of the module scope's own map would.
    std::unordered_map<std::string, Value> own;
    for (Symbol s : bindings().ownNames(moduleScope.mark()))
        own.emplace(symbolName(s), *bindings().lookup(s));
    Value result = Value::newTable();
    for (auto& [name, value] : own)
        result.env()->set(name, value);
    return result;
}

// A loaded script runs on top of the global scope; whatever signal reaches
// its top level just ends it.
void runLoadedScript(const TokenList& tokens) {
    ChainSwitch chain(globalEnv.get());
    LocalScope scope;
    runStatementsQuietly(tokens);
}

Value mediaValue(ValueType kind, const std::string& path) {
    Value media = Value::media(kind, path);
    media.env()->set("path", Value::string(path));
    media.env()->set("duration", Value::number(0));
    return media;
}

// Sizes come from decoding the file once; the pixels are not kept.
Value imageValue(const std::string& path) {
    Value image = Value::media(ValueType::Image, path);
    ::Image decoded = LoadImage(path.c_str());
    image.env()->set("path", Value::string(path));
    if (decoded.data) {
        image.env()->set("width", Value::number(decoded.width));
        image.env()->set("height", Value::number(decoded.height));
        UnloadImage(decoded);
    }
    return image;
}
} // namespace

std::string getFileExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : toLower(path.substr(dot));
}

std::string resolvePath(const std::string& path) {
    if (path.empty()) return path;
    if ((path.size() > 1 && path[1] == ':') || path[0] == '/') return path;
    size_t dots = path.find_first_not_of('.');
    if (dots != std::string::npos && dots >= 1 && isSeparator(path[dots])) {
        std::string base = currentFileDir;
        for (size_t up = 1; up < dots; ++up) {
            if (!base.empty() && isSeparator(base.back())) base.pop_back();
            size_t sep = base.find_last_of("/\\");
            base = sep == std::string::npos ? std::string() : base.substr(0, sep + 1);
        }
        return base + path.substr(dots + 1);
    }
    return (currentFileDir.empty() ? workspaceDir : currentFileDir) + path;
}

Value import(Args args) {
    if (args.empty()) error("import needs a file name");
    checkStack("ur imports go too deep, do ur modules keep importing each other?");
    const std::string& given = args[0].text();
    std::string path = resolvePath(given);
    std::ifstream file;
    if (!openFile(file, path)) error("couldnt find the file " + given + " did u mess up the path");
    std::string text = readAll(file);
#ifdef _WIN32
    // The Windows C runtime keeps at most 2048 files open, fewer than modules can nest.
    file.close();
#endif
    if (getFileExtension(path) == ".kcat") return readKcat(text, globalEnv.get());
    return runModule(tokenize(text), path);
}

Value load(Args args) {
    if (args.empty()) error("load() requires a filename");
    const std::string& given = args[0].text();
    std::string path = resolvePath(given);
    std::ifstream file;
    if (!openFile(file, path)) error("File not found: " + given);
    std::string ext = getFileExtension(path);
    if (ext == ".kcat") {
        Scope nothing; // a data file read by load sees no names at all
        return readKcat(readAll(file), &nothing);
    }
    if (isOneOf(ext, {".png", ".jpg", ".jpeg", ".bmp", ".gif"})) return imageValue(path);
    if (isOneOf(ext, {".wav", ".mp3", ".ogg", ".flac"})) return mediaValue(ValueType::Audio, path);
    if (isOneOf(ext, {".mp4", ".webm", ".avi", ".mov"})) return mediaValue(ValueType::Video, path);
    if (ext == ".krin" || ext == ".kkit") {
        checkStack("ur loads go too deep, do ur scripts keep loading each other?");
        TokenList tokens = tokenize(readAll(file));
#ifdef _WIN32
        file.close(); // as in import
#endif
        runLoadedScript(tokens);
        return Value();
    }
    error("Unsupported file type: " + ext);
}

Value save(Args args) {
    if (args.size() < 2) error("save() requires (table, filename)");
    if (!args[0].is(ValueType::Table)) error("First argument to save() must be a table");
    const std::string& given = args[1].text();
    // Written in full first: a table that cannot be saved leaves the file alone.
    std::string text = valueToKcat(args[0], 0);
    std::ofstream out(resolvePath(given), std::ios::binary | std::ios::trunc);
    if (!out) error("Cannot write to file: " + given);
    out << text;
    return Value();
}
