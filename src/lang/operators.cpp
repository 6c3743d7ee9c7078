#include "lang/eval_support.h"
#include "runner/error.h"

#include <cstdint>

static BinKind binKind(const std::string& op) {
    static const std::pair<const char*, BinKind> table[] = {
        {"+", BinKind::Add},  {"-", BinKind::Sub},  {"*", BinKind::Mul},    {"/", BinKind::Div},
        {"%", BinKind::Mod},  {"==", BinKind::Eq},  {"!=", BinKind::Ne},    {"<", BinKind::Lt},
        {">", BinKind::Gt},   {"<=", BinKind::Le},  {">=", BinKind::Ge},    {"&&", BinKind::And},
        {"||", BinKind::Or},  {"^", BinKind::Xor},  {"&", BinKind::BitAnd}, {"|", BinKind::BitOr},
        {"<<", BinKind::Shl}, {">>", BinKind::Shr},
    };
    for (auto& [text, kind] : table)
        if (op == text) return kind;
    return BinKind::Other;
}

BinOp::BinOp(NodePtr l, std::string o, NodePtr r)
    : left(std::move(l)), right(std::move(r)), op(std::move(o)), kind(binKind(op)) {
    pure = left->pure && right->pure;
}

static Value concat(const Value& l, const Value& r) {
#ifdef KRIN_FUZZING
    if (l.text().size() + r.text().size() > (1u << 20)) error("fuzz: string too long");
#endif
    if (l.is(ValueType::String)) {
        if (r.is(ValueType::String)) return l.append(r.text());
        return l.append(valueToString(r, 0));
    }
    std::string s = valueToString(l, 0);
    s += r.text();
    return Value::string(std::move(s));
}

[[noreturn]] static void failAt(const Node* node, const char* message) {
    node->mark();
    error(message);
}

// The operators that read both operands as numbers.
template <BinKind K> static double arith(const Node* node, double a, double b) {
    if constexpr (K == BinKind::Sub) return a - b;
    if constexpr (K == BinKind::Mul) return a * b;
    if constexpr (K == BinKind::Div) {
        if (b == 0) failAt(node, "can't divide by zero u silly goose");
        return a / b;
    }
    if constexpr (K == BinKind::Mod) {
        int32_t x = intView(a), y = intView(b);
        if (y == 0) failAt(node, "can't modulo by zero u silly goose");
        if (x == INT32_MIN && y == -1) failAt(node, "that modulo is too big to fit, u silly goose");
        return x % y;
    }
    if constexpr (K == BinKind::Shl) {
        uint32_t bits = static_cast<uint32_t>(intView(a)) << (intView(b) & 31);
        return static_cast<int32_t>(bits);
    }
    if constexpr (K == BinKind::Shr) return intView(a) >> (intView(b) & 31);
    if constexpr (K == BinKind::Lt) return a < b;
    if constexpr (K == BinKind::Gt) return a > b;
    if constexpr (K == BinKind::Le) return a <= b;
    if constexpr (K == BinKind::Ge) return a >= b;
}

static Value apply(const BinOp* node, const Value& l, const Value& r) {
    switch (node->kind) {
    case BinKind::Add:
        if (l.is(ValueType::String) || r.is(ValueType::String)) return concat(l, r);
        return Value::number(l.num() + r.num());
    case BinKind::Sub: return Value::number(arith<BinKind::Sub>(node, l.num(), r.num()));
    case BinKind::Mul: return Value::number(arith<BinKind::Mul>(node, l.num(), r.num()));
    case BinKind::Div: return Value::number(arith<BinKind::Div>(node, l.num(), r.num()));
    case BinKind::Mod: return Value::number(arith<BinKind::Mod>(node, l.num(), r.num()));
    case BinKind::Shl: return Value::number(arith<BinKind::Shl>(node, l.num(), r.num()));
    case BinKind::Shr: return Value::number(arith<BinKind::Shr>(node, l.num(), r.num()));
    case BinKind::Eq: return Value::boolean(valuesEqual(l, r));
    case BinKind::Ne: return Value::boolean(!valuesEqual(l, r));
    case BinKind::Lt: return Value::boolean(l.num() < r.num());
    case BinKind::Gt: return Value::boolean(l.num() > r.num());
    case BinKind::Le: return Value::boolean(l.num() <= r.num());
    case BinKind::Ge: return Value::boolean(l.num() >= r.num());
    case BinKind::And: return Value::boolean(l.truthy() && r.truthy());
    case BinKind::Or: return Value::boolean(l.truthy() || r.truthy());
    case BinKind::Xor:
        if (l.is(ValueType::Number) && r.is(ValueType::Number))
            return Value::number(intView(l) ^ intView(r));
        return Value::boolean(l.truthy() != r.truthy());
    case BinKind::BitAnd:
        if (l.is(ValueType::Number) && r.is(ValueType::Number))
            return Value::number(intView(l) & intView(r));
        return Value();
    case BinKind::BitOr:
        if (l.is(ValueType::Number) && r.is(ValueType::Number))
            return Value::number(intView(l) | intView(r));
        return Value();
    case BinKind::Other: return Value();
    }
    return Value();
}

namespace {
// How an operand read as a number is read, chosen when parsed.
enum class NumRead : uint8_t { Var, Lit, Any };

NumRead numReadOf(const Node* n) {
    if (n->shape == Node::Shape::Var) return NumRead::Var;
    if (n->shape == Node::Shape::Literal) return NumRead::Lit;
    return NumRead::Any;
}

template <NumRead R> [[gnu::always_inline]] inline double readNumber(Node* n) {
    if constexpr (R == NumRead::Var) return lookupVar(n)->num();
    if constexpr (R == NumRead::Lit) return static_cast<Literal*>(n)->value.num();
    if constexpr (R == NumRead::Any) return n->number();
}

// Arithmetic on two numbers: no Value is made unless one is asked for.
template <BinKind K, NumRead L, NumRead R> class ArithOp final : public BinOp {
  public:
    ArithOp(NodePtr l, const std::string& op, NodePtr r) : BinOp(std::move(l), op, std::move(r)) {
        numeric = true;
    }
    Value eval() override { return Value::number(compute()); }
    double number() override { return compute(); }
    bool test() override { return compute() != 0; }

  private:
    [[gnu::always_inline]] double compute() {
        double a = readNumber<L>(left.get());
        return arith<K>(this, a, readNumber<R>(right.get()));
    }
};

// Operators that make a boolean, whose number is 0; `Op::compute` decides.
template <class Op> class BooleanOp : public BinOp {
  public:
    using BinOp::BinOp;
    Value eval() override { return Value::boolean(self().compute()); }
    double number() override { return self().compute(), 0.0; }
    bool test() override { return self().compute(); }

  private:
    Op& self() { return static_cast<Op&>(*this); }
};

template <BinKind K, NumRead L, NumRead R>
class CompareOp final : public BooleanOp<CompareOp<K, L, R>> {
  public:
    using BooleanOp<CompareOp>::BooleanOp;
    [[gnu::always_inline]] bool compute() {
        double a = readNumber<L>(this->left.get());
        return arith<K>(this, a, readNumber<R>(this->right.get())) != 0;
    }
};

template <template <BinKind, NumRead, NumRead> class Op, BinKind K, NumRead L>
NodePtr numericRight(NodePtr l, const std::string& op, NodePtr r) {
    switch (numReadOf(r.get())) {
    case NumRead::Var:
        return std::make_shared<Op<K, L, NumRead::Var>>(std::move(l), op, std::move(r));
    case NumRead::Lit:
        return std::make_shared<Op<K, L, NumRead::Lit>>(std::move(l), op, std::move(r));
    default: return std::make_shared<Op<K, L, NumRead::Any>>(std::move(l), op, std::move(r));
    }
}

template <template <BinKind, NumRead, NumRead> class Op, BinKind K>
NodePtr numeric(NodePtr l, const std::string& op, NodePtr r) {
    switch (numReadOf(l.get())) {
    case NumRead::Var: return numericRight<Op, K, NumRead::Var>(std::move(l), op, std::move(r));
    case NumRead::Lit: return numericRight<Op, K, NumRead::Lit>(std::move(l), op, std::move(r));
    default: return numericRight<Op, K, NumRead::Any>(std::move(l), op, std::move(r));
    }
}

// How an operand of `+`, `==` or `!=` is read, chosen when parsed.
enum class Read : uint8_t {
    Var,  // in place
    Copy, // a variable copied, since the other operand may change it
    Lit,  // in place
    Num,  // a node whose value is always a number
    Any,  // evaluated
};

// Each reader keeps only what its kind needs, so reading a variable or a
// literal makes no Value at all.
template <Read R> struct Operand;

template <> struct Operand<Read::Num> {
    double d;
    [[gnu::always_inline]] explicit Operand(Node* n) : d(numberOf(n)) {}
    bool isNumber() const { return true; }
    double number() const { return d; }
    const Value& ref(Value& tmp) const { return tmp = Value::number(d); }
};

struct InPlace {
    const Value* p;
    bool isNumber() const { return p->type == ValueType::Number; }
    double number() const { return p->n; }
    const Value& ref(Value&) const { return *p; }
};

template <> struct Operand<Read::Var> : InPlace {
    [[gnu::always_inline]] explicit Operand(Node* n) : InPlace{lookupVar(n)} {}
};

template <> struct Operand<Read::Lit> : InPlace {
    [[gnu::always_inline]] explicit Operand(Node* n) : InPlace{&static_cast<Literal*>(n)->value} {}
};

struct Held {
    Value v;
    bool isNumber() const { return v.type == ValueType::Number; }
    double number() const { return v.n; }
    const Value& ref(Value&) const { return v; }
};

template <> struct Operand<Read::Copy> : Held {
    explicit Operand(Node* n) : Held{*lookupVar(n)} {}
};

template <> struct Operand<Read::Any> : Held {
    explicit Operand(Node* n) : Held{n->eval()} {}
};

template <Read L, Read R> class AddOp final : public BinOp {
  public:
    using BinOp::BinOp;
    Value eval() override {
        Operand<L> a(left.get());
        Operand<R> b(right.get());
        if (a.isNumber() && b.isNumber()) return Value::number(a.number() + b.number());
        return slow(a, b);
    }
    double number() override {
        Operand<L> a(left.get());
        Operand<R> b(right.get());
        if (a.isNumber() && b.isNumber()) return a.number() + b.number();
        return slow(a, b).num();
    }
    bool test() override {
        Operand<L> a(left.get());
        Operand<R> b(right.get());
        if (a.isNumber() && b.isNumber()) return a.number() + b.number() != 0;
        return slow(a, b).truthy();
    }

  private:
    [[gnu::noinline]] Value slow(const Operand<L>& a, const Operand<R>& b) {
        Value t1, t2;
        return apply(this, a.ref(t1), b.ref(t2));
    }
};

template <Read L, Read R, bool Equal> class EqualOp final : public BooleanOp<EqualOp<L, R, Equal>> {
  public:
    using BooleanOp<EqualOp>::BooleanOp;
    bool compute() {
        Operand<L> a(this->left.get());
        Operand<R> b(this->right.get());
        if (a.isNumber() && b.isNumber()) return (a.number() == b.number()) == Equal;
        Value t1, t2;
        return valuesEqual(a.ref(t1), b.ref(t2)) == Equal;
    }
};

// The rarer operators (`&&`, `||`, `^`, `&`, `|`): both operands, then the
// general rules.
template <Read L, Read R> class OtherOp final : public BinOp {
  public:
    using BinOp::BinOp;
    Value eval() override {
        Operand<L> a(left.get());
        Operand<R> b(right.get());
        Value t1, t2;
        return apply(this, a.ref(t1), b.ref(t2));
    }
    bool test() override {
        Operand<L> a(left.get());
        Operand<R> b(right.get());
        Value t1, t2;
        const Value &l = a.ref(t1), &r = b.ref(t2);
        if (kind == BinKind::And) return l.truthy() && r.truthy();
        if (kind == BinKind::Or) return l.truthy() || r.truthy();
        return apply(this, l, r).truthy();
    }
};

template <bool Equal> struct EqualFor {
    template <Read L, Read R> using Op = EqualOp<L, R, Equal>;
};

Read readOf(const Node* n) {
    if (n->numeric) return Read::Num;
    if (n->shape == Node::Shape::Var) return Read::Var;
    if (n->shape == Node::Shape::Literal) return Read::Lit;
    return Read::Any;
}

template <template <Read, Read> class Op, Read L>
NodePtr shapedRight(NodePtr l, const std::string& op, NodePtr r) {
    switch (readOf(r.get())) {
    case Read::Var: return std::make_shared<Op<L, Read::Var>>(std::move(l), op, std::move(r));
    case Read::Lit: return std::make_shared<Op<L, Read::Lit>>(std::move(l), op, std::move(r));
    case Read::Num: return std::make_shared<Op<L, Read::Num>>(std::move(l), op, std::move(r));
    default: return std::make_shared<Op<L, Read::Any>>(std::move(l), op, std::move(r));
    }
}

// Picks the operand readers: a variable on the left is copied when the
// right operand may run code.
template <template <Read, Read> class Op>
NodePtr shaped(NodePtr l, const std::string& op, NodePtr r) {
    Read left = readOf(l.get());
    if (left == Read::Var && r->shape == Node::Shape::Other) left = Read::Copy;
    switch (left) {
    case Read::Var: return shapedRight<Op, Read::Var>(std::move(l), op, std::move(r));
    case Read::Copy: return shapedRight<Op, Read::Copy>(std::move(l), op, std::move(r));
    case Read::Lit: return shapedRight<Op, Read::Lit>(std::move(l), op, std::move(r));
    case Read::Num: return shapedRight<Op, Read::Num>(std::move(l), op, std::move(r));
    default: return shapedRight<Op, Read::Any>(std::move(l), op, std::move(r));
    }
}
} // namespace

NodePtr makeBinOp(NodePtr l, const std::string& op, NodePtr r) {
    switch (binKind(op)) {
    case BinKind::Add: return shaped<AddOp>(std::move(l), op, std::move(r));
#define KRIN_NUMERIC(K, Class)                                                                     \
    case BinKind::K: return numeric<Class, BinKind::K>(std::move(l), op, std::move(r));
        KRIN_NUMERIC(Sub, ArithOp)
        KRIN_NUMERIC(Mul, ArithOp)
        KRIN_NUMERIC(Div, ArithOp)
        KRIN_NUMERIC(Mod, ArithOp)
        KRIN_NUMERIC(Shl, ArithOp)
        KRIN_NUMERIC(Shr, ArithOp)
        KRIN_NUMERIC(Lt, CompareOp)
        KRIN_NUMERIC(Gt, CompareOp)
        KRIN_NUMERIC(Le, CompareOp)
        KRIN_NUMERIC(Ge, CompareOp)
#undef KRIN_NUMERIC
    case BinKind::Eq: return shaped<EqualFor<true>::Op>(std::move(l), op, std::move(r));
    case BinKind::Ne: return shaped<EqualFor<false>::Op>(std::move(l), op, std::move(r));
    default: return shaped<OtherOp>(std::move(l), op, std::move(r));
    }
}

UnaryOp::UnaryOp(std::string o, NodePtr e)
    : op(std::move(o)), operand(std::move(e)),
      kind_(op == "!" || op == "~" || op == "-" ? op[0] : 0) {
    numeric = kind_ == '~' || kind_ == '-';
    pure = operand->pure;
}

Value UnaryOp::eval() {
    switch (kind_) {
    case '!': return Value::boolean(!operand->test());
    case '~': return Value::number(~intView(numberOf(operand.get())));
    case '-': return Value::number(-numberOf(operand.get()));
    default: return operand->eval();
    }
}

double UnaryOp::number() {
    switch (kind_) {
    case '!': return operand->test(), 0.0;
    case '~': return ~intView(numberOf(operand.get()));
    case '-': return -numberOf(operand.get());
    default: return operand->number();
    }
}

bool UnaryOp::test() {
    return kind_ == '!' ? !operand->test() : eval().truthy();
}

namespace {
// The right operand of an update as a number. False when it is not one;
// then it ran only if it is pure, so the general path may run it again.
[[gnu::always_inline]] inline bool operandNumber(Node* operand, double& out) {
    if (operand->shape == Node::Shape::Var) {
        Value* v = bindings().lookup(static_cast<VarAccess*>(operand)->name);
        if (!v || v->type != ValueType::Number) return false;
        out = v->n;
        return true;
    }
    if (operand->numeric) {
        out = numberOf(operand);
        return true;
    }
    if (!operand->pure) return false;
    Value v = operand->eval();
    out = v.n;
    return v.type == ValueType::Number;
}

// `x = x + e` and `x = x - e`, or with `t.p` for `x` and `t` a variable:
// a number is updated where it lives; anything else takes the general
// assignment.
template <BinKind K, bool OnProperty> class UpdateNode final : public AssignNode {
  public:
    using AssignNode::AssignNode;
    Value eval() override {
        double result;
        if (update(result)) return Value::number(result);
        return AssignNode::eval();
    }
    void exec() override {
        double result;
        if (!update(result)) AssignNode::exec();
    }

  private:
    // Where the number to update lives, if it is a number.
    Value* slot() {
        if constexpr (OnProperty) {
            Value* t = bindings().lookup(static_cast<VarAccess*>(prop_->object.get())->name);
            if (!t || t->type != ValueType::Table) return nullptr;
            auto* table = static_cast<Environment*>(t->obj);
            if (table->hasSetters) return nullptr;
            return entry_.find(table, prop_->property);
        } else {
            return bindings().lookup(var_->name);
        }
    }

    [[gnu::always_inline]] bool update(double& result) {
        Value* slot = this->slot();
        if (!slot || slot->type != ValueType::Number) return false;
        Node* operand = static_cast<BinOp*>(value.get())->right.get();
        double a = slot->n, b;
        if (!operandNumber(operand, b)) return false;
        result = K == BinKind::Add ? a + b : a - b;
        if (operand->pure)
            slot->n = result;
        else // the operand ran code that may have moved or rebound the target
            store<false>(Value::number(result));
        return true;
    }

    PropertyCache entry_;
};

bool sameVariable(const Node* a, const Node* b) {
    auto* x = dynamic_cast<const VarAccess*>(a);
    auto* y = dynamic_cast<const VarAccess*>(b);
    return x && y && x->name == y->name;
}

// `t.p` twice, with the same variable `t`.
bool sameProperty(const Node* a, const Node* b) {
    auto* x = dynamic_cast<const PropAccess*>(a);
    auto* y = dynamic_cast<const PropAccess*>(b);
    return x && y && x->property == y->property && sameVariable(x->object.get(), y->object.get());
}

template <bool OnProperty> NodePtr makeUpdate(BinKind kind, NodePtr target, NodePtr value) {
    if (kind == BinKind::Add)
        return std::make_shared<UpdateNode<BinKind::Add, OnProperty>>(std::move(target),
                                                                      std::move(value));
    return std::make_shared<UpdateNode<BinKind::Sub, OnProperty>>(std::move(target),
                                                                  std::move(value));
}
} // namespace

NodePtr makeAssign(NodePtr target, NodePtr value) {
    auto* bin = dynamic_cast<BinOp*>(value.get());
    if (bin && (bin->kind == BinKind::Add || bin->kind == BinKind::Sub)) {
        if (sameVariable(target.get(), bin->left.get()))
            return makeUpdate<false>(bin->kind, std::move(target), std::move(value));
        if (sameProperty(target.get(), bin->left.get()))
            return makeUpdate<true>(bin->kind, std::move(target), std::move(value));
    }
    return std::make_shared<AssignNode>(std::move(target), std::move(value));
}
