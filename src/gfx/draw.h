#pragma once
#include "lang/value.h"

// Filled shapes, lines and text in the window's current frame.
Value raylib_drawRect(Args args);
Value raylib_drawCircle(Args args);
Value raylib_drawLine(Args args);
Value raylib_drawText(Args args);
Value fillRect(Args args);
Value fillCircle(Args args);
Value drawTriangle(Args args);
Value drawPoly(Args args);
Value drawArc(Args args);

// Text measurement in raylib's default font.
Value textWidth(Args args);
Value textHeight(Args args);
