#include "lib/core.h"
#include "runner/error.h"

#include <raylib.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

static void writeAll(Args args) {
    for (const Value& v : args) {
        if (v.is(ValueType::String)) {
            const std::string& s = v.text();
            std::fwrite(s.data(), 1, s.size(), stdout);
        } else {
            std::string s = valueToString(v, 0);
            std::fwrite(s.data(), 1, s.size(), stdout);
        }
    }
}

Value print(Args args) {
    writeAll(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return Value();
}

Value printnn(Args args) {
    writeAll(args);
    return Value();
}

Value input(Args args) {
    if (!args.empty() && args[0].is(ValueType::String)) {
        const std::string& prompt = args[0].text();
        std::fwrite(prompt.data(), 1, prompt.size(), stdout);
    }
    std::fflush(stdout);
    std::string line;
    int c;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n')
        line += static_cast<char>(c);
    // A line from a CR LF file ends without its carriage return too.
    if (c == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
    return Value::string(std::move(line));
}

Value type(Args args) {
    if (args.empty()) error("type() requires an argument");
    return Value::string(typeName(args[0].type));
}

Value tostring(Args args) {
    if (args.empty()) return Value::string("nil");
    const Value& v = args[0];
    switch (v.type) {
    case ValueType::String: return v;
    case ValueType::Number: {
        char buf[400]; // room for the largest double in fixed notation
        int len = std::snprintf(buf, sizeof buf, "%f", v.num());
        return Value::string(std::string(buf, len));
    }
    case ValueType::Boolean: return Value::string(v.truthy() ? "true" : "false");
    case ValueType::Table: return Value::string("[table]");
    default: return Value::string("[object]");
    }
}

Value tonumber(Args args) {
    if (args.empty()) return Value::number(0);
    const Value& v = args[0];
    if (v.is(ValueType::Number)) return v;
    if (!v.is(ValueType::String)) return Value::number(0);
    const char* text = v.text().c_str();
    char* end = nullptr;
    errno = 0;
    double d = std::strtod(text, &end);
    // Too small a value rounds to zero; only one too large has no number.
    bool overflow = errno == ERANGE && std::isinf(d);
    if (end == text || overflow)
        error("can't convert that string to a number, it's not a number!!");
    return Value::number(d);
}

Value table(Args) {
    return Value::newTable();
}

// WaitTime busy-waits on a deadline, so only a finite, positive span is
// handed to it.
static void waitSeconds(double seconds) {
    if (seconds > 0 && std::isfinite(seconds)) WaitTime(seconds);
}

Value sleep(Args args) {
    if (!args.empty() && args[0].is(ValueType::Number)) waitSeconds(intView(args[0]) / 1000.0);
    return Value();
}

Value wait(Args args) {
    if (args.empty()) error("wait needs seconds");
    waitSeconds(args[0].num());
    return Value();
}
