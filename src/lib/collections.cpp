#include "lib/collections.h"
#include "runner/error.h"

#include <cstdint>

namespace {

// Where "length" was found last: a loop of pushes and pops on one table
// then hashes the key once instead of twice per call.
PropertyCache lengthCache;
const std::string lengthKey = "length";

// The "length" entry truncated to 32 bits; 0 when missing or not a number.
int64_t arrayLength(Environment* array) {
    Value* length = lengthCache.find(array, lengthKey);
    return length ? intView(*length) : 0;
}

void setLength(Environment* array, int64_t n) {
    Value length = Value::number(static_cast<double>(n));
    if (Value* slot = lengthCache.find(array, lengthKey))
        *slot = std::move(length);
    else
        array->set(lengthKey, std::move(length));
}

// Builds a new array table entry by entry.
struct ArrayBuilder {
    Value table = Value::newTable();
    int64_t length = 0;

    void add(Value v) { table.env()->setIndex(length++, std::move(v)); }
    Value finish() {
        table.env()->set("length", Value::number(static_cast<double>(length)));
        return table;
    }
};

} // namespace

Value push(Args args) {
    if (args.size() < 2) error("push needs (array, value)");
    if (!args[0].is(ValueType::Table)) error("first arg must be table");
    Environment* array = args[0].env();
    int64_t n = arrayLength(array);
    array->setIndex(n, args[1]);
    setLength(array, n + 1);
    return Value::number(static_cast<double>(n + 1));
}

Value pop(Args args) {
    if (args.empty()) error("pop needs (array)");
    if (!args[0].is(ValueType::Table)) error("arg must be table");
    Environment* array = args[0].env();
    int64_t n = arrayLength(array);
    if (n == 0) return Value();
    setLength(array, n - 1);
    Value taken;
    if (array->removeIndex(n - 1, taken)) lengthCache.keep(array); // an index went, "length" stayed
    return taken;
}

// An empty delimiter splits the text into single bytes.
Value split(Args args) {
    if (args.size() < 2) error("split needs (string, delimiter)");
    const std::string& text = args[0].text();
    const std::string& delimiter = args[1].text();
    ArrayBuilder pieces;
    if (delimiter.empty()) {
        for (char c : text)
            pieces.add(Value::string(std::string(1, c)));
        if (text.empty()) pieces.add(Value::string(""));
        return pieces.finish();
    }
    size_t start = 0, found;
    while ((found = text.find(delimiter, start)) != std::string::npos) {
        pieces.add(Value::string(text.substr(start, found - start)));
        start = found + delimiter.size();
    }
    pieces.add(Value::string(text.substr(start)));
    return pieces.finish();
}

Value trim(Args args) {
    if (args.empty()) error("trim needs string");
    const std::string& text = args[0].text();
    const char* blanks = " \t\n\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return Value::string("");
    size_t last = text.find_last_not_of(blanks);
    return Value::string(text.substr(first, last - first + 1));
}

Value replace(Args args) {
    if (args.size() < 3) error("replace needs (string, find, replace)");
    std::string text = args[0].text();
    size_t at = text.find(args[1].text());
    if (at != std::string::npos) text.replace(at, args[1].text().size(), args[2].text());
    return Value::string(std::move(text));
}

Value repeat(Args args) {
    if (args.size() < 2) error("repeat needs (string, times)");
    const std::string& text = args[0].text();
    int32_t times = intView(args[1]);
    std::string out;
    if (times <= 0 || text.empty()) return Value::string(out);
    out.reserve(text.size() * static_cast<size_t>(times));
    for (int32_t i = 0; i < times; ++i)
        out += text;
    return Value::string(std::move(out));
}

Value keys(Args args) {
    if (args.empty() || !args[0].is(ValueType::Table)) error("keys needs table");
    ArrayBuilder names;
    for (auto& [key, entry] : args[0].env()->entries())
        if (key != "length") names.add(Value::string(key));
    return names.finish();
}

// A step of 0 would never reach the end; a negative step never does either
// while counting up, so it gives an empty array.
Value range(Args args) {
    if (args.empty()) error("range needs (max) or (min, max) or (min, max, step)");
    int64_t min = 0, max, step = 1;
    if (args.size() == 1) {
        max = intView(args[0]);
    } else {
        min = intView(args[0]);
        max = intView(args[1]);
        if (args.size() >= 3) step = intView(args[2]);
    }
    if (step == 0) error("range step can't be 0, that loop would never end bruh");
    ArrayBuilder numbers;
    if (step > 0)
        for (int64_t v = min; v < max; v += step)
            numbers.add(Value::number(static_cast<double>(v)));
    return numbers.finish();
}

Value join(Args args) {
    if (args.size() < 2) error("join needs (array, delimiter)");
    if (!args[0].is(ValueType::Table)) error("first arg must be array");
    Environment* array = args[0].env();
    const std::string& delimiter = args[1].text();
    int64_t n = arrayLength(array);
    std::string out;
    for (int64_t i = 0; i < n; ++i) {
        if (i > 0) out += delimiter;
        // Reading a missing element leaves a null entry behind.
        Value* element = array->findIndex(i);
        if (!element) array->setIndex(i, Value());
        out += valueToString(element ? *element : Value(), 0);
    }
    return Value::string(std::move(out));
}
