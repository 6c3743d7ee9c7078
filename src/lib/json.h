#pragma once
#include "lang/value.h"

#include <cstddef>
#include <string>

// One line of JSON, no white space. Vectors become objects tagged by
// "_type"; kinds JSON cannot hold, non-finite numbers and a table met again
// inside itself are written as null.
std::string valueToJson(const Value& value);

// Reads one value starting at `pos` and leaves `pos` after it. Never fails:
// text that starts no value reads as null without moving `pos`.
Value parseJson(const std::string& text, size_t& pos);
inline Value parseJson(const std::string& text) {
    size_t pos = 0;
    return parseJson(text, pos);
}

void skipWhitespace(const std::string& text, size_t& pos);

Value toJson(Args args);
Value fromJson(Args args);
