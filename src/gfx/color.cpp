#include "gfx/color.h"
#include "runner/error.h"

#include <cstdlib>

namespace {
struct NamedColor {
    const char* name;
    Color color;
};

// raylib's own constants of the same names.
constexpr NamedColor colorNames[] = {
    {"red", {230, 41, 55, 255}},      {"green", {0, 228, 48, 255}},
    {"blue", {0, 121, 241, 255}},     {"white", {255, 255, 255, 255}},
    {"black", {0, 0, 0, 255}},        {"yellow", {253, 249, 0, 255}},
    {"gray", {130, 130, 130, 255}},   {"lightgray", {200, 200, 200, 255}},
    {"darkgray", {80, 80, 80, 255}},  {"orange", {255, 161, 0, 255}},
    {"pink", {255, 109, 194, 255}},   {"lime", {0, 158, 47, 255}},
    {"purple", {200, 122, 255, 255}}, {"skyblue", {102, 191, 255, 255}},
    {"violet", {135, 60, 190, 255}},  {"gold", {255, 203, 0, 255}},
    {"maroon", {190, 33, 55, 255}},   {"brown", {127, 106, 79, 255}},
};

// Not "gray": an unknown name is a plain middle grey.
constexpr Color unknownColor = {128, 128, 128, 255};

// Components keep their low 8 bits: 256 is 0, -1 is 255.
unsigned char component(Environment* table, const char* key, unsigned char fallback) {
    Value* v = table->find(key);
    return v ? static_cast<unsigned char>(intView(*v)) : fallback;
}

Value colorTable(int32_t r, int32_t g, int32_t b, int32_t a) {
    Value t = Value::newTable();
    t.env()->set("r", Value::number(r));
    t.env()->set("g", Value::number(g));
    t.env()->set("b", Value::number(b));
    t.env()->set("a", Value::number(a));
    return t;
}

int32_t hexPair(const std::string& text, size_t at) {
    std::string pair = text.substr(at, 2);
    return static_cast<int32_t>(std::strtol(pair.c_str(), nullptr, 16));
}
} // namespace

Color parseColor(const Value& value) {
    if (value.is(ValueType::String)) {
        std::string name = toLower(value.text());
        for (const NamedColor& c : colorNames)
            if (name == c.name) return c.color;
        return unknownColor;
    }
    if (value.is(ValueType::Table)) {
        Environment* t = value.env();
        return {component(t, "r", 128), component(t, "g", 128), component(t, "b", 128),
                component(t, "a", 255)};
    }
    return WHITE;
}

Value colorNew(Args args) {
    if (args.size() < 3) error("Color.new needs (r, g, b) or (r, g, b, a)");
    int32_t a = args.size() > 3 ? intView(args[3]) : 255;
    return colorTable(intView(args[0]), intView(args[1]), intView(args[2]), a);
}

Value colorFromRGB(Args args) {
    if (args.size() < 3) error("Color.fromRGB needs (r, g, b)");
    return colorTable(intView(args[0]), intView(args[1]), intView(args[2]), 255);
}

Value colorFromRGBA(Args args) {
    if (args.size() < 4) error("Color.fromRGBA needs (r, g, b, a)");
    return colorTable(intView(args[0]), intView(args[1]), intView(args[2]), intView(args[3]));
}

Value colorFromHEX(Args args) {
    if (args.empty()) error("Color.fromHEX needs (hex_string)");
    std::string hex = args[0].text();
    if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
    if (hex.size() <= 5) error("Color.fromHEX needs valid hex string");
    int32_t a = hex.size() >= 8 ? hexPair(hex, 6) : 255;
    return colorTable(hexPair(hex, 0), hexPair(hex, 2), hexPair(hex, 4), a);
}
