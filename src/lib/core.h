#pragma once
#include "lang/value.h"

// Output, input, conversions and the empty table (core_natives.cpp).
Value print(Args args);
Value printnn(Args args);
Value input(Args args);
Value type(Args args);
Value tostring(Args args);
Value tonumber(Args args);
Value table(Args args);

// Byte-wise string basics (core_strings.cpp).
Value strlen(Args args);
Value strupper(Args args);
Value strlower(Args args);
Value substr(Args args);

// Arithmetic, logic gates and random numbers (core_math.cpp).
Value sqrt(Args args);
Value pow(Args args);
Value floor(Args args);
Value ceil(Args args);
Value round(Args args);
Value abs(Args args);
Value sin(Args args);
Value cos(Args args);
Value min(Args args);
Value max(Args args);
Value nand(Args args);
Value nor(Args args);
Value xnor(Args args);
Value xor_(Args args);
Value random(Args args);
Value rand_float(Args args);

// Blocking waits (core_natives.cpp).
Value sleep(Args args);
Value wait(Args args);
