#include "game/vectors.h"
#include "runner/error.h"

#include <cmath>

namespace {
using Curve = double (*)(double);

// Each curve reports its own name when t is missing.
template <Curve curve> Value ease(Args args, const char* message) {
    if (args.empty()) error(message);
    return Value::number(curve(args[0].num()));
}

double inQuad(double t) {
    return t * t;
}
double outQuad(double t) {
    return 1 - (1 - t) * (1 - t);
}
double inOutQuad(double t) {
    return t < 0.5 ? (t + t) * t : (4 - (t + t)) * t - 1;
}
double inCubic(double t) {
    return t * t * t;
}
double outCubic(double t) {
    return 1 - (1 - t) * (1 - t) * (1 - t);
}
double inOutCubic(double t) {
    if (t < 0.5) return 4 * t * t * t;
    double u = -2 * t + 2;
    return 1 - u * u * u / 2;
}
double inSine(double t) {
    return 1 - std::cos(kPi * t / 2);
}
double outSine(double t) {
    return std::sin(kPi * t / 2);
}
double inOutSine(double t) {
    return -(std::cos(kPi * t) - 1) / 2;
}
} // namespace

Value easeInQuad(Args args) {
    return ease<inQuad>(args, "easeInQuad needs t");
}
Value easeOutQuad(Args args) {
    return ease<outQuad>(args, "easeOutQuad needs t");
}
Value easeInOutQuad(Args args) {
    return ease<inOutQuad>(args, "easeInOutQuad needs t");
}
Value easeInCubic(Args args) {
    return ease<inCubic>(args, "easeInCubic needs t");
}
Value easeOutCubic(Args args) {
    return ease<outCubic>(args, "easeOutCubic needs t");
}
Value easeInOutCubic(Args args) {
    return ease<inOutCubic>(args, "easeInOutCubic needs t");
}
Value easeInSine(Args args) {
    return ease<inSine>(args, "easeInSine needs t");
}
Value easeOutSine(Args args) {
    return ease<outSine>(args, "easeOutSine needs t");
}
Value easeInOutSine(Args args) {
    return ease<inOutSine>(args, "easeInOutSine needs t");
}
