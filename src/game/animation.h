#pragma once
#include "lang/value.h"

// The `Tween`, `timer` and `particles` tables.
Value tweenNew(Args args);
Value tweenUpdate(Args args);
Value tweenGetValue(Args args);
Value timerWait(Args args);
Value createParticles(Args args);
