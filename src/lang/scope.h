#pragma once
#include "lang/symbols.h"
#include "lang/value.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

// The root of a scope chain: the global scope, a module's own built-ins, or
// the parentless scope of a data file. Its variables are slots by symbol.
struct Scope {
    struct Slot {
        Value value;
        bool defined = false;
    };
    // Grown at the end only, so a slot never moves: the bindings keep
    // pointers to the slots of their root.
    std::deque<Slot> slots;
    uint32_t count = 0;

    Value* find(Symbol s) {
        if (s >= count || !slots[s].defined) return nullptr;
        return &slots[s].value;
    }
    void define(Symbol s, Value v);
    void define(const std::string& name, Value v) { define(intern(name), std::move(v)); }
    // Insert-if-missing, as `raylib`'s copies do: a missing name becomes null.
    Value& get(const std::string& name) {
        Symbol s = intern(name);
        if (!find(s)) define(s, Value());
        return slots[s].value;
    }
};

// Dynamic scoping by shallow binding. Call and `for` scopes nest like the
// call stack, so each name keeps one cell with its innermost local binding;
// entering a scope saves what it shadows and leaving restores it. A read is
// one array access however deep the chain. Names no local scope binds fall
// through to the chain's root.
class Bindings {
    struct Cell {
        Value value;
        uint32_t owner = 0;      // depth of the scope that binds it; 0: none
        Value* global = nullptr; // the root's slot for the name, if it has one
    };
    // What a local binding shadowed, to put back when its scope ends.
    struct Saved {
        Symbol sym;
        uint32_t owner;
        RawValue value;
    };

  public:
    Scope* root() const { return root_; }
    void setRoot(Scope* r) {
        root_ = r;
        refreshGlobals();
    }

    // Every symbol has a cell: interning a name grows the cells.
    [[gnu::always_inline]] Value* lookup(Symbol s) {
        Cell& c = cells_[s];
        if (c.owner) return &c.value;
        return c.global;
    }
    // The root just defined `s` for the first time.
    void noteGlobal(Symbol s, Value* slot) {
        if (s < cells_.size()) cells_[s].global = slot;
    }
    void define(Symbol s, Value v) {
        if (depth_ == base_) {
            root_->define(s, std::move(v));
            return;
        }
        bindLocal(s, std::move(v));
    }
    // Binds in the innermost local scope, taking over the raw value's reference.
    void bindRaw(Symbol s, const RawValue& v) {
        Cell& c = cells_[s];
        if (c.owner != depth_) {
            save(s, c);
            c.owner = depth_;
        }
        c.value = Value::adopt(v);
    }
    // Binds in the innermost local scope.
    void bindLocal(Symbol s, Value&& v) { bindRaw(s, v.take()); }
    void assign(Symbol s, Value v) {
        Cell& c = cells_[s];
        if (c.owner) {
            c.value = std::move(v);
        } else if (c.global) {
            *c.global = std::move(v);
        } else {
            define(s, std::move(v));
        }
    }

    // Scope entry and exit; depth 0 is the root.
    uint32_t enter() {
        ++depth_;
        return savedCount_;
    }
    void leave(uint32_t mark) {
        while (savedCount_ > mark) {
            Saved& top = saved_[--savedCount_];
            Cell& c = cells_[top.sym];
            c.value = Value::adopt(top.value);
            c.owner = top.owner;
        }
        --depth_;
    }

    void grow(uint32_t symbols) {
        if (symbols > cells_.size()) cells_.resize(symbols + symbols / 2);
    }
    void refreshGlobals();

    // Symbols bound by the innermost scope, in the order it defined them.
    std::vector<Symbol> ownNames(uint32_t mark) const;

    // Runs code in another chain (a module, a data file): the current locals
    // are hidden until it ends.
    struct Chain {
        std::vector<Cell> cells;
        Scope* root;
        uint32_t base;
    };
    Chain switchTo(Scope* newRoot);
    void restore(Chain&& c);

  private:
    Scope* root_ = nullptr;
    std::vector<Cell> cells_;
    // Entries past savedCount_ are stale bits that own nothing.
    std::vector<Saved> saved_;
    uint32_t savedCount_ = 0;
    uint32_t depth_ = 0;
    uint32_t base_ = 0; // depth at which the current chain starts

    void save(Symbol s, Cell& c) {
        if (savedCount_ == saved_.size()) saved_.resize(saved_.size() * 2 + 64);
        Saved& top = saved_[savedCount_++];
        top.sym = s;
        top.owner = c.owner;
        top.value = c.value.take();
    }
};

// Never destroyed: error() exits in the middle of a run.
union BindingsHolder {
    Bindings b;
    constexpr BindingsHolder() : b() {}
    ~BindingsHolder() {}
};
extern constinit BindingsHolder theBindings;
inline Bindings& bindings() {
    return theBindings.b;
}

// Enters a local scope for its lifetime, leaving it also when unwinding.
class LocalScope {
  public:
    LocalScope() : mark_(bindings().enter()) {}
    ~LocalScope() { bindings().leave(mark_); }
    LocalScope(const LocalScope&) = delete;
    LocalScope& operator=(const LocalScope&) = delete;
    uint32_t mark() const { return mark_; }

  private:
    uint32_t mark_;
};

// Switches to another chain for its lifetime.
class ChainSwitch {
  public:
    explicit ChainSwitch(Scope* root) : saved_(bindings().switchTo(root)) {}
    ~ChainSwitch() { bindings().restore(std::move(saved_)); }
    ChainSwitch(const ChainSwitch&) = delete;
    ChainSwitch& operator=(const ChainSwitch&) = delete;

  private:
    Bindings::Chain saved_;
};

// The main script's global scope.
extern std::shared_ptr<Scope> globalEnv;
