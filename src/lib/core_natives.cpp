#include "lib/core.h"
#include "runner/error.h"

#include <cstdio>

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

Value type(Args args) {
    if (args.empty()) error("type() requires an argument");
    return Value::string(typeName(args[0].type));
}
