#include "game/vectors.h"
#include "runner/error.h"

#include <cmath>

static double mix(double start, double end, double t) {
    return t * (end - start) + start;
}

// The start decides the kind; the end is read through its fields as it is.
Value lerp(Args args) {
    if (args.size() < 3) error("lerp needs (start, end, t)");
    const Value &start = args[0], &end = args[1];
    double t = args[2].num();
    switch (start.type) {
    case ValueType::Number: return Value::number(mix(start.num(), end.num(), t));
    case ValueType::Vector2:
        return Value::vector2(mix(start.x(), end.x(), t), mix(start.y(), end.y(), t));
    case ValueType::Vector3:
        return Value::vector3(mix(start.x(), end.x(), t), mix(start.y(), end.y(), t),
                              mix(start.z(), end.z(), t));
    default: error("lerp unsupported type");
    }
}

Value distance(Args args) {
    if (args.size() < 4) error("distance needs (x1, y1, x2, y2)");
    double dx = args[2].num() - args[0].num();
    double dy = args[3].num() - args[1].num();
    return Value::number(std::sqrt(dx * dx + dy * dy));
}

// Degrees from -180 to 180, measured from +x toward +y.
Value angle(Args args) {
    if (args.size() < 4) error("angle needs (x1, y1, x2, y2)");
    double radians = std::atan2(args[3].num() - args[1].num(), args[2].num() - args[0].num());
    return Value::number(radians * 180 / kPi);
}

// The lower bound wins the test order, so min > max yields min or max.
Value clamp(Args args) {
    if (args.size() < 3) error("clamp needs (value, min, max)");
    double value = args[0].num(), lo = args[1].num(), hi = args[2].num();
    if (value < lo) return Value::number(lo);
    if (hi < value) return Value::number(hi);
    return Value::number(value);
}

Value smoothstep(Args args) {
    if (args.size() < 3) error("smoothstep needs (edge0, edge1, x)");
    double edge0 = args[0].num(), edge1 = args[1].num();
    double t = (args[2].num() - edge0) / (edge1 - edge0);
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    return Value::number((3 - t * 2) * (t * t));
}
