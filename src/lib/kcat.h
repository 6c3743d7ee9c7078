#pragma once
#include "lang/scope.h"
#include "lang/value.h"

#include <string>

// The .kcat text of a value: a table literal of the language, 4 spaces of
// indent per depth. What would not read back to the same value (a string
// with a double quote, a key that is not one token, a number that is not
// finite or too tiny, a table inside itself) ends the program with an error
// line.
std::string valueToKcat(const Value& value, int depth = 0);

// Reads the table of a .kcat text, evaluated in a fresh scope on `root`.
Value readKcat(const std::string& text, Scope* root);
