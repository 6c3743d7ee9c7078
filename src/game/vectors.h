#pragma once
#include "lang/value.h"

// Vector values, their arithmetic, and the small numeric helpers games use
// every frame. The constructors are the globals `Vector2`, `Vector3` and
// `CFrame`; their C++ names keep clear of raylib's own `Vector2` type.
Value makeVector2(Args args);
Value makeVector3(Args args);
Value makeCFrame(Args args);
Value vec2Add(Args args);
Value vec2Sub(Args args);
Value vec2Mul(Args args);
Value vec2Len(Args args);
Value vec3Add(Args args);
Value vec3Sub(Args args);
Value vec3Mul(Args args);
Value vec3Len(Args args);

Value lerp(Args args);
Value distance(Args args);
Value angle(Args args);
Value clamp(Args args);
Value smoothstep(Args args);

// Easing curves over t; t is not clamped.
Value easeInQuad(Args args);
Value easeOutQuad(Args args);
Value easeInOutQuad(Args args);
Value easeInCubic(Args args);
Value easeOutCubic(Args args);
Value easeInOutCubic(Args args);
Value easeInSine(Args args);
Value easeOutSine(Args args);
Value easeInOutSine(Args args);

// Shared by the angle-based natives so every one rounds the same way.
inline constexpr double kPi = 3.141592653589793;
