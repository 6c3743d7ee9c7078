#pragma once
#include "lang/value.h"

// Output, conversions, strings, arithmetic, logic gates, randomness, waiting.
Value print(Args args);
Value printnn(Args args);
Value type(Args args);
