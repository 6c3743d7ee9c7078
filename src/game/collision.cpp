#include "game/collision.h"
#include "runner/error.h"

#include <cmath>

static bool allVector2(Args args, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!args[i].is(ValueType::Vector2)) return false;
    return true;
}

static double between(const Value& a, const Value& b) {
    double dx = a.x() - b.x(), dy = a.y() - b.y();
    return std::sqrt(dx * dx + dy * dy);
}

// Circles that merely touch do not collide.
Value collideCircleCircle(Args args) {
    if (args.size() < 4) error("collideCircleCircle needs (center1, radius1, center2, radius2)");
    if (!args[0].is(ValueType::Vector2) || !args[2].is(ValueType::Vector2))
        error("Collision centers must be Vector2");
    return Value::boolean(args[1].num() + args[3].num() > between(args[0], args[2]));
}

// Rectangles that share an edge or a corner do collide.
Value collideRectRect(Args args) {
    if (args.size() < 4) error("collideRectRect needs (pos1, size1, pos2, size2)");
    if (!allVector2(args, 4)) error("Collision rects must use Vector2");
    const Value &p1 = args[0], &s1 = args[1], &p2 = args[2], &s2 = args[3];
    bool separated = p1.x() + s1.x() < p2.x() || p2.x() + s2.x() < p1.x() ||
                     p1.y() + s1.y() < p2.y() || p2.y() + s2.y() < p1.y();
    return Value::boolean(!separated);
}

// A point on the rim is outside.
Value collidePointCircle(Args args) {
    if (args.size() < 3) error("collidePointCircle needs (point, center, radius)");
    if (!args[0].is(ValueType::Vector2) || !args[1].is(ValueType::Vector2))
        error("Points must be Vector2");
    return Value::boolean(args[2].num() > between(args[0], args[1]));
}

// A point on the edge is inside.
Value collidePointRect(Args args) {
    if (args.size() < 3) error("collidePointRect needs (point, topLeft, size)");
    if (!allVector2(args, 3)) error("Parameters must be Vector2");
    const Value &p = args[0], &corner = args[1], &size = args[2];
    return Value::boolean(p.x() >= corner.x() && p.x() <= corner.x() + size.x() &&
                          p.y() >= corner.y() && p.y() <= corner.y() + size.y());
}
