#include "lib/core.h"
#include "lib/random.h"
#include "runner/error.h"

#include <cmath>
#include <cstdint>

static double numberArg(Args args, const char* message) {
    if (args.empty()) error(message);
    return args[0].num();
}

Value sqrt(Args args) {
    return Value::number(std::sqrt(numberArg(args, "sqrt() requires a number")));
}
Value floor(Args args) {
    return Value::number(std::floor(numberArg(args, "floor() requires a number")));
}
Value ceil(Args args) {
    return Value::number(std::ceil(numberArg(args, "ceil() requires a number")));
}
Value round(Args args) {
    return Value::number(std::round(numberArg(args, "round needs a number")));
}
Value abs(Args args) {
    return Value::number(std::fabs(numberArg(args, "abs needs a number")));
}
Value sin(Args args) {
    return Value::number(std::sin(numberArg(args, "sin needs a number")));
}
Value cos(Args args) {
    return Value::number(std::cos(numberArg(args, "cos needs a number")));
}

Value pow(Args args) {
    if (args.size() < 2) error("pow() requires 2 numbers");
    return Value::number(std::pow(args[0].num(), args[1].num()));
}

// Only a strictly smaller (larger) number replaces the result, so a NaN
// first argument stands and a later NaN never wins.
Value min(Args args) {
    if (args.size() < 2) error("min needs 2+ numbers");
    double result = args[0].num();
    for (const Value& v : args)
        if (v.num() < result) result = v.num();
    return Value::number(result);
}

Value max(Args args) {
    if (args.size() < 2) error("max needs 2+ numbers");
    double result = args[0].num();
    for (const Value& v : args)
        if (v.num() > result) result = v.num();
    return Value::number(result);
}

static std::pair<bool, bool> twoTruths(Args args, const char* message) {
    if (args.size() < 2) error(message);
    return {args[0].truthy(), args[1].truthy()};
}

Value nand(Args args) {
    auto [a, b] = twoTruths(args, "nand needs 2 values");
    return Value::boolean(!(a && b));
}
Value nor(Args args) {
    auto [a, b] = twoTruths(args, "nor needs 2 values");
    return Value::boolean(!(a || b));
}
Value xnor(Args args) {
    auto [a, b] = twoTruths(args, "xnor needs 2 values");
    return Value::boolean(a == b);
}
Value xor_(Args args) {
    auto [a, b] = twoTruths(args, "xor needs 2 values");
    return Value::boolean(a != b);
}

// 0 to 99; with exactly two bounds, lo to hi inclusive (bounds given in the
// wrong order are swapped). Two bounds take a second draw.
Value random(Args args) {
    int result = drawRandom() % 100;
    if (args.size() != 2) return Value::number(result);
    int64_t lo = intView(args[0]), hi = intView(args[1]);
    if (hi < lo) std::swap(lo, hi);
    int64_t span = hi - lo + 1;
    return Value::number(static_cast<double>(lo + drawRandom() % span));
}

Value rand_float(Args) {
    return Value::number(drawRandom() / 32767.0);
}
