#pragma once
#include "lang/value.h"

// Overlap tests, platformer physics (the `physics` table) and sprite-sheet
// cells.
Value collideCircleCircle(Args args);
Value collideRectRect(Args args);
Value collidePointCircle(Args args);
Value collidePointRect(Args args);
Value spriteFrame(Args args);
Value applyGravity(Args args);
Value checkAABB(Args args);
