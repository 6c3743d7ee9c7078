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

Bindings::Chain Bindings::switchTo(Scope* newRoot) {
    Chain old{std::move(cells_), root, base_};
    cells_.assign(old.cells.size(), Cell{});
    root = newRoot;
    base_ = depth_;
    return old;
}

void Bindings::restore(Chain&& c) {
    size_t n = std::max(cells_.size(), c.cells.size());
    cells_ = std::move(c.cells);
    cells_.resize(n);
    root = c.root;
    base_ = c.base;
}
