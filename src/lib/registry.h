#pragma once
#include "lang/scope.h"

// Fills a scope with the whole built-in library, then the `raylib` table.
void setupGlobals(Scope& env);

// A namespace table member or a global native.
struct NativeEntry {
    const char* name;
    Value (*fn)(Args);
};
