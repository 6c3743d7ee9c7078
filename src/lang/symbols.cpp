#include "lang/symbols.h"
#include "lang/scope.h"

#include <deque>
#include <unordered_map>

namespace {
struct SymbolTable {
    std::unordered_map<std::string, Symbol> ids;
    std::deque<std::string> names;
};
SymbolTable& table() {
    static SymbolTable t;
    return t;
}
} // namespace

Symbol intern(const std::string& name) {
    auto& t = table();
    auto it = t.ids.find(name);
    if (it != t.ids.end()) return it->second;
    Symbol s = static_cast<Symbol>(t.names.size());
    t.names.push_back(name);
    t.ids.emplace(name, s);
    bindings().grow(s + 1);
    return s;
}

const std::string& symbolName(Symbol s) {
    return table().names[s];
}
uint32_t symbolCount() {
    return static_cast<uint32_t>(table().names.size());
}
