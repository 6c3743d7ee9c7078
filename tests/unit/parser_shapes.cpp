// The trees the parser builds, written back as text.
#include "front/parser.h"

#include <gtest/gtest.h>

namespace {
std::string show(const NodePtr& n);

std::string showList(const NodeList& list) {
    std::string s = "[";
    for (size_t i = 0; i < list.size(); ++i)
        s += (i ? ", " : "") + show(list[i]);
    return s + "]";
}

std::string show(const NodePtr& n) {
    if (!n) return "empty";
    Node* p = n.get();
    if (auto* l = dynamic_cast<Literal*>(p)) return valueToString(l->value, 1);
    if (auto* v = dynamic_cast<VarAccess*>(p)) return symbolName(v->name);
    if (auto* a = dynamic_cast<PropAccess*>(p))
        return std::string("Prop(") + show(a->object) + ", " + a->property + ")";
    if (auto* b = dynamic_cast<BinOp*>(p))
        return std::string("(") + show(b->left) + " " + b->op + " " + show(b->right) + ")";
    if (auto* u = dynamic_cast<UnaryOp*>(p))
        return std::string("Unary(") + u->op + ", " + show(u->operand) + ")";
    if (auto* c = dynamic_cast<CallExpr*>(p))
        return std::string("Call(") + show(c->callee) + ", " + showList(c->args) + ")";
    if (auto* t = dynamic_cast<TableNode*>(p)) {
        std::string s = "Table(";
        for (auto& [k, v] : t->entries)
            s += k + "=" + show(v) + ";";
        return s + ")";
    }
    if (auto* f = dynamic_cast<ForNode*>(p))
        return std::string("For(") + show(f->init) + ", " + show(f->condition) + ", " +
               show(f->update) + ", " + showList(f->body) + ")";
    if (auto* i = dynamic_cast<IfNode*>(p))
        return std::string("If(") + show(i->condition) + ", " + showList(i->thenBody) + ", " +
               showList(i->elseBody) + ")";
    if (auto* w = dynamic_cast<WhileNode*>(p))
        return std::string("While(") + show(w->condition) + ", " + showList(w->body) + ")";
    if (auto* d = dynamic_cast<VarDeclNode*>(p))
        return std::string("Var(") + symbolName(d->name) + ", " + show(d->value) + ")";
    if (auto* a = dynamic_cast<AssignNode*>(p))
        return std::string("Assign(") + show(a->target) + ", " + show(a->value) + ")";
    if (auto* f = dynamic_cast<FuncDeclNode*>(p)) {
        std::string s = std::string("Def(") + symbolName(f->name) + ", [";
        for (size_t i = 0; i < f->function->params.size(); ++i)
            s += (i ? " " : "") + symbolName(f->function->params[i]);
        return s + "], " + showList(f->function->body) + ")";
    }
    if (auto* r = dynamic_cast<ReturnNode*>(p))
        return std::string("Return(") + show(r->value) + ")";
    if (dynamic_cast<BreakNode*>(p)) return "Break";
    if (dynamic_cast<ContinueNode*>(p)) return "Continue";
    return "?";
}

// All statements of a source, as the runner would parse them.
std::string parseAll(const std::string& source) {
    TokenList tokens = tokenize(source);
    uint64_t pos = 0;
    std::string out;
    while (NodePtr stmt = parseStmt(tokens, pos)) {
        out += (out.empty() ? "" : " ; ") + show(stmt);
        if (pos < tokens.size() && tokens[pos].text == ";") ++pos;
    }
    return out;
}

struct Case {
    const char* source;
    const char* tree;
};

TEST(ParserShapes, BuildsTheStatedTrees) {
    const Case cases[] = {
        {"1 + 2 * 3", "(1 + (2 * 3))"},
        {"8 - 4 - 2", "((8 - 4) - 2)"},
        {"-x * 2", "(Unary(-, x) * 2)"},
        {"-f(1)", "Unary(-, Call(f, [1]))"},
        {"!a.b", "Unary(!, Prop(a, b))"},
        {"a - -5", "(a - Unary(-, 5))"},
        {"- -5", "(- - 5)"},
        {"obj:move(1, 2)", "Call(Prop(obj, move), [obj, 1, 2])"},
        {"obj.move(1, 2)", "Call(Prop(obj, move), [1, 2])"},
        {"a.b.c(1).d", "Prop(Call(Prop(Prop(a, b), c), [1]), d)"},
        {"a:b", "Prop(a, b)"},
        {"(f)(x)", "f ; x"},
        {"\"abc\".x", "\"abc\" ; . ; x"},
        {"a & 1 == 1", "((a & 1) == 1)"},
        {"1 + 2 << 3", "((1 + 2) << 3)"},
        {"a && b ^ c && d", "((a && b) ^ (c && d))"},
        {"a ^ b || c", "((a ^ b) || c)"},
        {"{ x = 1, y = 2, }", "Table(x=1;y=2;)"},
        {"{ \"a b\" = -1 c = (1 + 2) }", "Table(\"a b\"=Unary(-, 1);c=(1 + 2);)"},
        {"t.0", "Prop(t, 0)"},
        {"t.1.5", "Prop(t, 1.5)"},
        {"x = f\n(1 + 2)", "Assign(x, Call(f, [(1 + 2)]))"},
        {"x = a\n-b", "Assign(x, (a - b))"},
        {"for (var i = 0; i < 3;) { print(i) }",
         "For(Var(i, 0), (i < 3), empty, [Call(print, [i])])"},
        {"for (;;) { }", "For(empty, empty, empty, [])"},
        {"for (var i = 0; i < 3; i = i + 1) { }",
         "For(Var(i, 0), (i < 3), i, [=, (i + 1), ), Table()])"},
        {"if c { a() } else if d { b() } e()",
         "If(c, [Call(a, [])], [If(d, [Call(b, [])], []), Call(e, [])])"},
        {"def add(a b,) { return a + b }", "Def(add, [a b], [Return((a + b))])"},
        {"return }", "Return(empty) ; }"},
        {"while (x > 0) { x = x - 1 }", "While((x > 0), [Assign(x, (x - 1))])"},
        {"var = 5", "Var(=, 5)"},
        {"f() = 1", "Assign(Call(f, []), 1)"},
        {"a &= b", "a ; &= ; b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseAll(c.source), c.tree) << "source: " << c.source;
}
} // namespace
