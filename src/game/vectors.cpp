#include "game/vectors.h"
#include "runner/error.h"

#include <cmath>

// A missing component is 0, so `Vector2()` is the origin.
static double component(Args args, size_t i) {
    return i < args.size() ? args[i].num() : 0.0;
}

Value makeVector2(Args args) {
    return Value::vector2(component(args, 0), component(args, 1));
}

Value makeVector3(Args args) {
    return Value::vector3(component(args, 0), component(args, 1), component(args, 2));
}

Value makeCFrame(Args args) {
    return Value::cframe(component(args, 0), component(args, 1), component(args, 2));
}

static void requirePair(Args args, ValueType kind, const char* message) {
    if (args.size() < 2 || !args[0].is(kind) || !args[1].is(kind)) error(message);
}

Value vec2Add(Args args) {
    requirePair(args, ValueType::Vector2, "Vector2 addition requires two Vector2 values");
    return Value::vector2(args[0].x() + args[1].x(), args[0].y() + args[1].y());
}

Value vec2Sub(Args args) {
    requirePair(args, ValueType::Vector2, "Vector2 subtraction requires two Vector2 values");
    return Value::vector2(args[0].x() - args[1].x(), args[0].y() - args[1].y());
}

Value vec2Mul(Args args) {
    if (args.size() < 2 || !args[0].is(ValueType::Vector2))
        error("Vector2 multiplication requires Vector2 and scalar");
    double s = args[1].num();
    return Value::vector2(args[0].x() * s, args[0].y() * s);
}

Value vec2Len(Args args) {
    if (args.empty() || !args[0].is(ValueType::Vector2)) error("vec2Len requires a Vector2");
    const Value& v = args[0];
    return Value::number(std::sqrt(v.x() * v.x() + v.y() * v.y()));
}

Value vec3Add(Args args) {
    requirePair(args, ValueType::Vector3, "Vector3 addition requires two Vector3 values");
    const Value &a = args[0], &b = args[1];
    return Value::vector3(a.x() + b.x(), a.y() + b.y(), a.z() + b.z());
}

Value vec3Sub(Args args) {
    requirePair(args, ValueType::Vector3, "Vector3 subtraction requires two Vector3 values");
    const Value &a = args[0], &b = args[1];
    return Value::vector3(a.x() - b.x(), a.y() - b.y(), a.z() - b.z());
}

Value vec3Mul(Args args) {
    if (args.size() < 2 || !args[0].is(ValueType::Vector3))
        error("Vector3 multiplication requires Vector3 and scalar");
    double s = args[1].num();
    const Value& a = args[0];
    return Value::vector3(a.x() * s, a.y() * s, a.z() * s);
}

Value vec3Len(Args args) {
    if (args.empty() || !args[0].is(ValueType::Vector3)) error("vec3Len requires a Vector3");
    const Value& v = args[0];
    return Value::number(std::sqrt(v.x() * v.x() + v.y() * v.y() + v.z() * v.z()));
}
