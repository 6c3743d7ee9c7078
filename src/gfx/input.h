#pragma once
#include "lang/value.h"

// Keyboard and mouse state as of the last presented frame.
Value raylib_isKeyDown(Args args);
Value raylib_mousePos(Args args);
Value raylib_isMouseDown(Args args);
Value isKeyPressed(Args args);
Value mouseWheelDelta(Args args);
