#pragma once
#include "lang/value.h"

// Array tables (entries "0", "1", ... and "length") and string helpers.
Value push(Args args);
Value pop(Args args);
Value split(Args args);
Value trim(Args args);
Value replace(Args args);
Value repeat(Args args);
Value keys(Args args);
Value range(Args args);
Value join(Args args);
