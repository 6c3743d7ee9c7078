#include "gfx/draw.h"
#include "gfx/color.h"
#include "gfx/window.h"
#include "runner/error.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <raylib.h>

namespace {
// Beyond this a polygon is a circle anyway, and raylib would loop per side.
constexpr int32_t maxPolySides = 4096;

// Count first, then the window: the order scripts see the messages in.
void checkCall(Args args, size_t needed, const char* message) {
    if (args.size() < needed) error(message);
    requireWindow();
}

Color colorAt(Args args, size_t i) {
    return args.size() > i ? parseColor(args[i]) : WHITE;
}

// A double too large for a float would be undefined to convert.
float narrow(double d) {
    if (d > FLT_MAX) return FLT_MAX;
    if (d < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(d);
}

::Vector2 point(const Value& v) {
    return {narrow(v.x()), narrow(v.y())};
}

void filledRect(Args args) {
    DrawRectangle(intView(args[0]), intView(args[1]), intView(args[2]), intView(args[3]),
                  colorAt(args, 4));
}

void filledCircle(Args args) {
    float radius = static_cast<float>(intView(args[2]));
    DrawCircle(intView(args[0]), intView(args[1]), radius, colorAt(args, 3));
}
} // namespace

Value raylib_drawRect(Args args) {
    checkCall(args, 4, "drawRect requires (x, y, width, height) or (x, y, width, height, color)");
    filledRect(args);
    return Value();
}

Value fillRect(Args args) {
    checkCall(args, 4, "fillRect requires (x, y, width, height, color)");
    filledRect(args);
    return Value();
}

Value raylib_drawCircle(Args args) {
    checkCall(args, 3, "drawCircle requires (x, y, radius) or (x, y, radius, color)");
    filledCircle(args);
    return Value();
}

Value fillCircle(Args args) {
    checkCall(args, 3, "fillCircle requires (x, y, radius, color)");
    filledCircle(args);
    return Value();
}

Value raylib_drawLine(Args args) {
    checkCall(args, 4, "drawLine requires (x1, y1, x2, y2) or (x1, y1, x2, y2, color)");
    DrawLine(intView(args[0]), intView(args[1]), intView(args[2]), intView(args[3]),
             colorAt(args, 4));
    return Value();
}

Value raylib_drawText(Args args) {
    checkCall(args, 4, "drawText requires (text, x, y, size) or (text, x, y, size, color)");
    DrawText(args[0].text().c_str(), intView(args[1]), intView(args[2]), intView(args[3]),
             colorAt(args, 4));
    return Value();
}

Value drawTriangle(Args args) {
    checkCall(args, 4, "drawTriangle needs (v1, v2, v3, color)");
    for (int i = 0; i < 3; ++i)
        if (!args[i].is(ValueType::Vector2)) error("Triangle vertices must be Vector2");
    DrawTriangle(point(args[0]), point(args[1]), point(args[2]), parseColor(args[3]));
    return Value();
}

Value drawPoly(Args args) {
    checkCall(args, 4, "drawPoly needs (center, sides, radius, color)");
    if (!args[0].is(ValueType::Vector2)) error("Center must be Vector2");
    int32_t sides = std::min(intView(args[1]), maxPolySides);
    DrawPoly(point(args[0]), sides, narrow(args[2].num()), 0.0f, parseColor(args[3]));
    return Value();
}

Value drawArc(Args args) {
    checkCall(args, 5, "drawArc needs (center, radius, startAngle, endAngle, color)");
    if (!args[0].is(ValueType::Vector2)) error("Center must be Vector2");
    double radius = args[1].num();
    double start = args[2].num();
    // More than a full turn draws the same band; raylib would add a segment
    // per 90 degrees, so a huge sweep would stall the frame.
    double end = args[3].num();
    if (end - start > 360.0) end = start + 360.0;
    if (start - end > 360.0) end = start - 360.0;
    DrawRing(point(args[0]), narrow(radius - 2.0), narrow(radius), narrow(start), narrow(end), 32,
             parseColor(args[4]));
    return Value();
}

Value textWidth(Args args) {
    if (args.size() < 2) error("textWidth needs (text, fontSize)");
    // raylib measures with the font of an open window; without one it
    // would read a font it has already freed.
    if (!IsWindowReady()) return Value::number(0);
    return Value::number(MeasureText(args[0].text().c_str(), intView(args[1])));
}

Value textHeight(Args args) {
    if (args.empty()) error("textHeight needs fontSize");
    return Value::number(intView(args[0]));
}
