#include "game/collision.h"
#include "runner/error.h"

#include <cstdint>

// Caps the fall speed only; a fast upward velocity passes unchanged.
Value applyGravity(Args args) {
    if (args.size() < 4) error("applyGravity needs (vel_y, gravity, dt, max_vel)");
    double v = args[1].num() * args[2].num() + args[0].num();
    double maxVel = args[3].num();
    return Value::number(maxVel < v ? maxVel : v);
}

// The boxes overlap unless a gap separates them; touching counts.
Value checkAABB(Args args) {
    if (args.size() < 8) error("checkAABB needs (x1,y1,w1,h1, x2,y2,w2,h2)");
    double x1 = args[0].num(), y1 = args[1].num(), w1 = args[2].num(), h1 = args[3].num();
    double x2 = args[4].num(), y2 = args[5].num(), w2 = args[6].num(), h2 = args[7].num();
    bool separated = x2 > x1 + w1 || x1 > x2 + w2 || y2 > y1 + h1 || y1 > y2 + h2;
    return Value::boolean(!separated);
}

// Frames run left to right, then top to bottom; the row count is not needed.
Value spriteFrame(Args args) {
    if (args.size() < 4) error("spriteFrame needs (frameIndex, cols, rows, tileSize)");
    if (!args[3].is(ValueType::Vector2)) error("tileSize must be Vector2");
    int32_t frame = intView(args[0]), cols = intView(args[1]);
    if (cols == 0) error("spriteFrame needs at least one column");
    // The one quotient that does not fit in 32 bits.
    if (frame == INT32_MIN && cols == -1) error("spriteFrame frame index out of range");
    int32_t col = frame % cols, row = frame / cols;
    return Value::vector2(col * args[3].x(), row * args[3].y());
}
