#pragma once
#include <cstdint>
#include <string>

// Names are interned once, when parsed, so lookups compare integers.
using Symbol = uint32_t;

Symbol intern(const std::string& name);
const std::string& symbolName(Symbol s);
uint32_t symbolCount();
