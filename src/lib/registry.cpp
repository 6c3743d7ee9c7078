#include "lib/registry.h"
#include "game/animation.h"
#include "game/collision.h"
#include "game/vectors.h"
#include "gfx/color.h"
#include "gfx/draw.h"
#include "gfx/input.h"
#include "gfx/window.h"
#include "lib/collections.h"
#include "lib/core.h"
#include "lib/json.h"
#include "lib/modules.h"
#include "lib/services.h"

namespace {
struct Namespace {
    const char* name;
    std::initializer_list<NativeEntry> members;
};

// Every global native, family by family. A name whose native does not exist
// is simply absent.
const NativeEntry globals[] = {
    // core
    {"print", print},
    {"printnn", printnn},
    {"random", random},
    {"rand_float", rand_float},
    {"table", table},
    {"type", type},
    {"tostring", tostring},
    {"tonumber", tonumber},
    {"strlen", strlen},
    {"strupper", strupper},
    {"strlower", strlower},
    {"substr", substr},
    {"sqrt", sqrt},
    {"pow", pow},
    {"floor", floor},
    {"ceil", ceil},
    {"round", round},
    {"abs", abs},
    {"sin", sin},
    {"cos", cos},
    {"min", min},
    {"max", max},
    {"nand", nand},
    {"nor", nor},
    {"xnor", xnor},
    {"xor", xor_},
    {"input", input},
    {"sleep", sleep},
    {"wait", wait},
    // collections and strings
    {"push", push},
    {"pop", pop},
    {"split", split},
    {"trim", trim},
    {"replace", replace},
    {"repeat", repeat},
    {"keys", keys},
    {"range", range},
    {"join", join},
    // json
    {"toJson", toJson},
    {"fromJson", fromJson},
    // modules and data files
    {"import", import},
    {"load", load},
    {"save", save},
    // window, drawing, input
    {"raylib_init", raylib_init},
    {"raylib_close", raylib_close},
    {"raylib_clear", raylib_clear},
    {"raylib_drawRect", raylib_drawRect},
    {"raylib_drawCircle", raylib_drawCircle},
    {"raylib_drawLine", raylib_drawLine},
    {"raylib_drawText", raylib_drawText},
    {"raylib_display", raylib_display},
    {"raylib_shouldClose", raylib_shouldClose},
    {"raylib_isKeyDown", raylib_isKeyDown},
    {"raylib_mousePos", raylib_mousePos},
    {"raylib_isMouseDown", raylib_isMouseDown},
    {"window_title", window_title},
    {"window_clear", window_clear},
    {"window_color", window_color},
    {"window_size", window_size},
    {"deltaTime", deltaTime},
    {"fillRect", fillRect},
    {"fillCircle", fillCircle},
    {"drawTriangle", drawTriangle},
    {"drawPoly", drawPoly},
    {"drawArc", drawArc},
    {"isKeyPressed", isKeyPressed},
    {"textWidth", textWidth},
    {"textHeight", textHeight},
    {"mouseWheelDelta", mouseWheelDelta},
    // vectors, collision, physics
    {"Vector2", makeVector2},
    {"Vector3", makeVector3},
    {"CFrame", makeCFrame},
    {"vec2Add", vec2Add},
    {"vec2Sub", vec2Sub},
    {"vec2Mul", vec2Mul},
    {"vec2Len", vec2Len},
    {"vec3Add", vec3Add},
    {"vec3Sub", vec3Sub},
    {"vec3Mul", vec3Mul},
    {"vec3Len", vec3Len},
    {"collideCircleCircle", collideCircleCircle},
    {"collideRectRect", collideRectRect},
    {"collidePointCircle", collidePointCircle},
    {"collidePointRect", collidePointRect},
    {"lerp", lerp},
    {"easeInQuad", easeInQuad},
    {"easeOutQuad", easeOutQuad},
    {"easeInOutQuad", easeInOutQuad},
    {"spriteFrame", spriteFrame},
    {"distance", distance},
    {"angle", angle},
    {"easeInCubic", easeInCubic},
    {"easeOutCubic", easeOutCubic},
    {"easeInOutCubic", easeInOutCubic},
    {"easeInSine", easeInSine},
    {"easeOutSine", easeOutSine},
    {"easeInOutSine", easeInOutSine},
    {"clamp", clamp},
    {"smoothstep", smoothstep},
};

// Namespace tables, members in the order they are made.
const Namespace namespaces[] = {
    // window
    {"Window", {{"new", windowNew}}},
    // shell services: http, audio
    {"http", {{"get", httpGet}, {"post", httpPost}, {"json", httpJson}}},
    {"audio", {{"play", audioPlay}, {"stream", audioStream}}},
    // game: physics, particles, timer, Tween
    {"physics", {{"applyGravity", applyGravity}, {"checkAABB", checkAABB}}},
    {"particles", {{"create", createParticles}}},
    {"timer", {{"wait", timerWait}}},
    {"Tween", {{"new", tweenNew}, {"update", tweenUpdate}, {"getValue", tweenGetValue}}},
    // colors
    {"Color",
     {{"new", colorNew},
      {"fromRGB", colorFromRGB},
      {"fromRGBA", colorFromRGBA},
      {"fromHEX", colorFromHEX}}},
};

// `raylib` repeats these globals under short names; a missing global
// becomes a null variable and a null entry.
const std::pair<const char*, const char*> raylibCopies[] = {
    {"init", "raylib_init"},
    {"close", "raylib_close"},
    {"clear", "raylib_clear"},
    {"drawRect", "raylib_drawRect"},
    {"drawCircle", "raylib_drawCircle"},
    {"drawLine", "raylib_drawLine"},
    {"drawText", "raylib_drawText"},
    {"fillRect", "fillRect"},
    {"fillCircle", "fillCircle"},
    {"display", "raylib_display"},
    {"shouldClose", "raylib_shouldClose"},
    {"isKeyDown", "raylib_isKeyDown"},
    {"mousePos", "raylib_mousePos"},
    {"isMouseDown", "raylib_isMouseDown"},
    {"deltaTime", "deltaTime"},
    {"checkCircleCircle", "checkCircleCircle"},
    {"checkRectRect", "checkRectRect"},
    {"checkPointCircle", "checkPointCircle"},
    {"checkRectCircle", "checkRectCircle"},
    {"drawPolygon", "drawPolygon"},
    {"drawTriangle", "drawTriangle"},
    {"drawArc", "drawArc"},
    {"drawSpline", "drawSpline"},
    {"Color", "Color"},
    {"distance", "distance"},
    {"angle", "angle"},
    {"easeInCubic", "easeInCubic"},
    {"easeOutCubic", "easeOutCubic"},
    {"easeInOutCubic", "easeInOutCubic"},
    {"easeInSine", "easeInSine"},
    {"easeOutSine", "easeOutSine"},
    {"easeInOutSine", "easeInOutSine"},
    {"clamp", "clamp"},
    {"smoothstep", "smoothstep"},
};
} // namespace

void setupGlobals(Scope& env) {
    for (const NativeEntry& e : globals)
        env.define(e.name, Value::native(e.fn));
    for (const Namespace& ns : namespaces) {
        Value table = Value::newTable();
        for (const NativeEntry& m : ns.members)
            table.env()->set(m.name, Value::native(m.fn));
        env.define(ns.name, table);
    }
    Value raylib = Value::newTable();
    for (auto& [key, global] : raylibCopies)
        raylib.env()->set(key, env.get(global));
    env.define("raylib", raylib);
}
