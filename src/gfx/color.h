#pragma once
#include "lang/value.h"

#include <raylib.h>

// A color name (matched case-blind) or a table of r, g, b, a; never fails.
Color parseColor(const Value& value);

// The `Color` namespace: each native returns a fresh color table.
Value colorNew(Args args);
Value colorFromRGB(Args args);
Value colorFromRGBA(Args args);
Value colorFromHEX(Args args);
