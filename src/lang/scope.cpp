#include "lang/scope.h"

std::shared_ptr<Scope> globalEnv;

constinit BindingsHolder theBindings;

std::vector<Symbol> Bindings::ownNames(uint32_t mark) const {
    std::vector<Symbol> names;
    for (size_t i = mark; i < savedCount_; ++i) {
        Symbol s = saved_[i].sym;
        if (cells_[s].owner == depth_) names.push_back(s);
    }
    return names;
}

void Scope::define(Symbol s, Value v) {
    if (s >= count) {
        slots.resize(s + 1);
        count = s + 1;
    }
    Slot& slot = slots[s];
    slot.value = std::move(v);
    if (!slot.defined) {
        slot.defined = true;
        if (bindings().root() == this) bindings().noteGlobal(s, &slot.value);
    }
}

// Chains switch rarely (modules, data files), so the cells' pointers into
// the root are found afresh each time.
void Bindings::refreshGlobals() {
    for (size_t s = 0; s < cells_.size(); ++s)
        cells_[s].global = root_ ? root_->find(static_cast<Symbol>(s)) : nullptr;
}

Bindings::Chain Bindings::switchTo(Scope* newRoot) {
    Chain old{std::move(cells_), root_, base_};
    cells_.assign(old.cells.size(), Cell{});
    base_ = depth_;
    setRoot(newRoot);
    return old;
}

void Bindings::restore(Chain&& c) {
    size_t n = std::max(cells_.size(), c.cells.size());
    cells_ = std::move(c.cells);
    cells_.resize(n);
    base_ = c.base;
    setRoot(c.root);
}
