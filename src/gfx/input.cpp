#include "gfx/input.h"
#include "gfx/window.h"
#include "runner/error.h"

#include <optional>
#include <raylib.h>

namespace {
struct NamedKey {
    const char* name;
    int code;
};

// The only keys a script can ask about.
constexpr NamedKey keyNames[] = {
    {"w", KEY_W},         {"a", KEY_A},           {"s", KEY_S},         {"d", KEY_D},
    {"space", KEY_SPACE}, {"escape", KEY_ESCAPE}, {"enter", KEY_ENTER}, {"up", KEY_UP},
    {"down", KEY_DOWN},   {"left", KEY_LEFT},     {"right", KEY_RIGHT},
};

constexpr NamedKey buttonNames[] = {
    {"left", MOUSE_BUTTON_LEFT},
    {"right", MOUSE_BUTTON_RIGHT},
    {"middle", MOUSE_BUTTON_MIDDLE},
};

template <size_t N> std::optional<int> lookup(const NamedKey (&table)[N], const Value& name) {
    std::string wanted = toLower(name.text());
    for (const NamedKey& k : table)
        if (wanted == k.name) return k.code;
    return std::nullopt;
}
} // namespace

Value raylib_isKeyDown(Args args) {
    if (args.empty()) error("isKeyDown requires a key name");
    std::optional<int> code = lookup(keyNames, args[0]);
    return Value::boolean(code && IsKeyDown(*code));
}

Value isKeyPressed(Args args) {
    if (args.empty()) error("isKeyPressed needs key name");
    if (!raylibState.initialized) return Value::boolean(false);
    // An unlisted name asks about the W key.
    return Value::boolean(IsKeyPressed(lookup(keyNames, args[0]).value_or(KEY_W)));
}

Value raylib_mousePos(Args) {
    ::Vector2 p = GetMousePosition();
    Value pos = Value::newTable();
    pos.env()->set("x", Value::number(p.x));
    pos.env()->set("y", Value::number(p.y));
    return pos;
}

Value raylib_isMouseDown(Args args) {
    if (args.empty()) return Value::boolean(IsMouseButtonDown(MOUSE_BUTTON_LEFT));
    std::optional<int> button = lookup(buttonNames, args[0]);
    return Value::boolean(button && IsMouseButtonDown(*button));
}

Value mouseWheelDelta(Args) {
    if (!raylibState.initialized) return Value::number(0);
    return Value::number(GetMouseWheelMove());
}
