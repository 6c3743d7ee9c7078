#pragma once
// Helpers the evaluator's files share.
#include "lang/node.h"
#include "lang/scope.h"

[[noreturn]] void missingName(const VarAccess* var);

[[gnu::always_inline]] inline Value* lookupVar(Node* n) {
    auto* var = static_cast<VarAccess*>(n);
    if (Value* v = bindings().lookup(var->name)) return v;
    missingName(var);
}

// A node's value, with variables and literals read without a call, and
// numbers computed as numbers: a double comes back in a register, a Value
// through memory.
[[gnu::always_inline]] inline Value valueOf(Node* n) {
    if (n->shape == Node::Shape::Var) return *lookupVar(n);
    if (n->shape == Node::Shape::Literal) return static_cast<Literal*>(n)->value;
    if (n->numeric) return Value::number(n->number());
    return n->eval();
}

// The value of a variable or literal without copying it; anything else is
// evaluated into `hold`.
[[gnu::always_inline]] inline const Value& peek(Node* n, Value& hold) {
    if (n->shape == Node::Shape::Var) return *lookupVar(n);
    if (n->shape == Node::Shape::Literal) return static_cast<Literal*>(n)->value;
    hold = n->eval();
    return hold;
}

// What num() of the node's value would give, without making the value
// when the node can compute the number directly.
[[gnu::always_inline]] inline double numberOf(Node* n) {
    if (n->shape == Node::Shape::Var) return lookupVar(n)->num();
    if (n->shape == Node::Shape::Literal) return static_cast<Literal*>(n)->value.num();
    return n->number();
}
