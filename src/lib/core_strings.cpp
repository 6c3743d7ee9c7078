#include "lib/core.h"
#include "runner/error.h"

Value strlen(Args args) {
    if (args.empty()) error("strlen() requires a string");
    return Value::number(static_cast<double>(args[0].text().size()));
}

Value strupper(Args args) {
    if (args.empty()) error("strupper() requires a string");
    std::string s = args[0].text();
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return Value::string(std::move(s));
}

Value strlower(Args args) {
    if (args.empty()) error("strlower() requires a string");
    return Value::string(toLower(args[0].text()));
}

// A start past the end gives the empty string; a negative length means "to
// the end".
Value substr(Args args) {
    if (args.size() < 3) error("substr() requires 3 arguments: (string, start, length)");
    const std::string& s = args[0].text();
    int32_t start = intView(args[1]);
    int32_t length = intView(args[2]);
    size_t from = start < 0 ? 0 : static_cast<size_t>(start);
    if (from >= s.size()) return Value::string("");
    size_t count = length < 0 ? std::string::npos : static_cast<size_t>(length);
    return Value::string(s.substr(from, count));
}
