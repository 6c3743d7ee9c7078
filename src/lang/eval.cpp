#include "lang/node.h"
#include "lang/scope.h"
#include "runner/error.h"

#include <cstdint>

Signal pendingSignal = Signal::None;
Value returnValue;

void Node::mark() const {
    currentLine = line;
    currentCol = col;
}

Value runList(const NodeList& list) {
    Value result;
    for (const NodePtr& node : list) {
        result = node->eval();
        if (pendingSignal != Signal::None) break;
    }
    return result;
}

void throwPendingSignal() {
    Signal s = pendingSignal;
    pendingSignal = Signal::None;
    if (s == Signal::Return) throw ReturnException(std::move(returnValue));
    if (s == Signal::Break) throw BreakException();
    throw ContinueException();
}

[[noreturn]] static void missingName(const VarAccess* var) {
    var->mark();
    error("yo, '" + symbolName(var->name) + "' doesn't exist bruh");
}

Value VarAccess::eval() {
    if (Value* v = bindings().lookup(name)) return *v;
    missingName(this);
}

// The value of a variable or literal without copying it; anything else is
// evaluated into `hold`.
[[gnu::always_inline]] static inline const Value& peek(Node* n, Value& hold) {
    if (n->shape == Node::Shape::Var) {
        auto* var = static_cast<VarAccess*>(n);
        if (Value* v = bindings().lookup(var->name)) return *v;
        missingName(var);
    }
    if (n->shape == Node::Shape::Literal) return static_cast<Literal*>(n)->value;
    hold = n->eval();
    return hold;
}

Value PropAccess::eval() {
    Value o = object->eval();
    if (o.isVector() && property.size() == 1) {
        char c = property[0];
        if (c == 'x') return Value::number(o.x());
        if (c == 'y') return Value::number(o.y());
        if (c == 'z' && !o.is(ValueType::Vector2)) return Value::number(o.z());
    } else if (Environment* t = o.env()) {
        if (Value* v = cache.find(t, property)) return *v;
    }
    mark();
    error("Invalid property access " + property);
}

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
    : left(std::move(l)), right(std::move(r)), op(std::move(o)), kind(binKind(op)),
      readLeftInPlace_(right->shape != Shape::Other) {}

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

static Value apply(const BinOp* node, const Value& l, const Value& r) {
    switch (node->kind) {
    case BinKind::Add:
        if (l.is(ValueType::String) || r.is(ValueType::String)) return concat(l, r);
        return Value::number(l.num() + r.num());
    case BinKind::Sub: return Value::number(l.num() - r.num());
    case BinKind::Mul: return Value::number(l.num() * r.num());
    case BinKind::Div:
        if (r.num() == 0) {
            node->mark();
            error("can't divide by zero u silly goose");
        }
        return Value::number(l.num() / r.num());
    case BinKind::Mod: {
        int32_t a = intView(l), b = intView(r);
        if (b == 0) {
            node->mark();
            error("can't modulo by zero u silly goose");
        }
        if (a == INT32_MIN && b == -1) {
            node->mark();
            error("that modulo is too big to fit, u silly goose");
        }
        return Value::number(a % b);
    }
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
    case BinKind::Shl: {
        uint32_t bits = static_cast<uint32_t>(intView(l)) << (intView(r) & 31);
        return Value::number(static_cast<int32_t>(bits));
    }
    case BinKind::Shr: return Value::number(intView(l) >> (intView(r) & 31));
    case BinKind::Other: return Value();
    }
    return Value();
}

// Both operands, left first. The left one is read in place only when
// reading the right one cannot run code that would move or change it.
#define KRIN_OPERANDS                                                                              \
    Value lh, rh;                                                                                  \
    const Value& l = readLeftInPlace_ ? peek(left.get(), lh) : (lh = left->eval(), lh);            \
    const Value& r = peek(right.get(), rh)

Value BinOp::eval() {
    KRIN_OPERANDS;
    if (l.type == ValueType::Number && r.type == ValueType::Number) {
        double a = l.n, b = r.n;
        switch (kind) {
        case BinKind::Add: return Value::number(a + b);
        case BinKind::Sub: return Value::number(a - b);
        case BinKind::Mul: return Value::number(a * b);
        case BinKind::Lt: return Value::boolean(a < b);
        case BinKind::Gt: return Value::boolean(a > b);
        case BinKind::Le: return Value::boolean(a <= b);
        case BinKind::Ge: return Value::boolean(a >= b);
        case BinKind::Eq: return Value::boolean(a == b);
        case BinKind::Ne: return Value::boolean(a != b);
        case BinKind::Mod: {
            int32_t x = intView(a), y = intView(b);
            if (y != 0 && y != -1) return Value::number(x % y);
            break;
        }
        default: break;
        }
    }
    return apply(this, l, r);
}

bool BinOp::test() {
    KRIN_OPERANDS;
    switch (kind) {
    case BinKind::Lt: return l.num() < r.num();
    case BinKind::Gt: return l.num() > r.num();
    case BinKind::Le: return l.num() <= r.num();
    case BinKind::Ge: return l.num() >= r.num();
    case BinKind::Eq: return valuesEqual(l, r);
    case BinKind::Ne: return !valuesEqual(l, r);
    case BinKind::And: return l.truthy() && r.truthy();
    case BinKind::Or: return l.truthy() || r.truthy();
    default: return apply(this, l, r).truthy();
    }
}
#undef KRIN_OPERANDS

UnaryOp::UnaryOp(std::string o, NodePtr e)
    : op(std::move(o)), operand(std::move(e)),
      kind_(op == "!" || op == "~" || op == "-" ? op[0] : 0) {}

Value UnaryOp::eval() {
    switch (kind_) {
    case '!': return Value::boolean(!operand->test());
    case '~': return Value::number(~intView(operand->eval()));
    case '-': return Value::number(-operand->eval().num());
    default: return operand->eval();
    }
}

bool UnaryOp::test() {
    return kind_ == '!' ? !operand->test() : eval().truthy();
}

Value TableNode::eval() {
    Value t = Value::newTable();
    for (auto& [key, node] : entries)
        t.env()->set(key, node->eval());
    return t;
}

Value VarDeclNode::eval() {
    Value v = value->eval();
    bindings().define(name, v);
    return v;
}

static const std::string settersKey = "__setters";

AssignNode::AssignNode(NodePtr t, NodePtr v)
    : target(std::move(t)), value(std::move(v)), var_(dynamic_cast<VarAccess*>(target.get())),
      prop_(dynamic_cast<PropAccess*>(target.get())) {}

Value AssignNode::eval() {
    Value v = value->eval();
    if (var_) {
        bindings().assign(var_->name, v);
        return v;
    }
    PropAccess* prop = prop_;
    if (!prop) return v;
    Value t = prop->object->eval();
    if (!t.is(ValueType::Table)) return v;
    Environment* table = t.env();
    Value* setters = table->hasSetters ? setters_.find(table, settersKey) : nullptr;
    if (setters && setters->is(ValueType::Table)) {
        Value* setter = setters->env()->find(prop->property);
        if (setter && setter->is(ValueType::Native)) {
            Value arg = v;
            mark();
            return setter->nativeObj()->fn(Args(&arg, 1));
        }
    }
    if (Value* slot = store_.find(table, prop->property)) {
        *slot = v;
        return v;
    }
    table->set(prop->property, v);
    return v;
}

FuncDeclNode::FuncDeclNode(const std::string& n, std::vector<std::string> params, NodeList body)
    : name(intern(n)), function(new FunctionObj) {
    for (auto& p : params)
        function->params.push_back(intern(p));
    function->body = std::move(body);
}

Value FuncDeclNode::eval() {
    Value f = Value::function(function.get());
    bindings().define(name, f);
    return f;
}

static Value callFunction(FunctionObj* fn, Args args) {
    KRIN_SPEND_FUEL();
    checkStack("stack overflow! ur recursion went too deep bruh");
    LocalScope scope;
    size_t bound = std::min(fn->params.size(), args.size());
    for (size_t i = 0; i < bound; ++i)
        bindings().define(fn->params[i], std::move(args[i])); // the caller is done with them
    Value result;
    try {
        result = runList(fn->body);
    } catch (ReturnException& r) {
        return std::move(r.value);
    }
    switch (pendingSignal) {
    case Signal::None: return result;
    case Signal::Return: pendingSignal = Signal::None; return std::move(returnValue);
    default: throwPendingSignal();
    }
}

Value callValue(const Value& callee, Args args) {
    if (callee.is(ValueType::Native)) return callee.nativeObj()->fn(args);
    if (callee.is(ValueType::Function)) return callFunction(callee.functionObj(), args);
    error("ur trying to call something that isn't a function lmao");
}

namespace {
// Arguments live on the native stack; only as many as the call has are made.
class ArgBuffer {
  public:
    explicit ArgBuffer(size_t n) : data_(n <= 4 ? reinterpret_cast<Value*>(raw_) : heap(n)) {}
    ~ArgBuffer() {
        for (size_t i = 0; i < size_; ++i)
            data_[i].~Value();
        if (data_ != reinterpret_cast<Value*>(raw_)) ::operator delete(data_);
    }
    ArgBuffer(const ArgBuffer&) = delete;
    ArgBuffer& operator=(const ArgBuffer&) = delete;
    void push(Value v) { new (&data_[size_++]) Value(std::move(v)); }
    Args args() { return Args(data_, size_); }

  private:
    static Value* heap(size_t n) { return static_cast<Value*>(::operator new(n * sizeof(Value))); }
    alignas(Value) unsigned char raw_[4 * sizeof(Value)];
    Value* data_;
    size_t size_ = 0;
};
} // namespace

Value CallExpr::eval() {
    Value c = callee->eval();
    ArgBuffer buf(args.size());
    for (const NodePtr& arg : args)
        buf.push(arg->eval());
    mark();
    return callValue(c, buf.args());
}

Value IfNode::eval() {
    return runList(condition->test() ? thenBody : elseBody);
}

namespace {
enum class Pass { Next, Stop, Leave };

// Runs one pass of a loop body. Break and continue end the pass whether they
// come as a pending signal or, from inside a call, as an exception; a return
// leaves the loop with its signal still pending.
Pass runBody(const NodeList& body, Value& result) {
    KRIN_SPEND_FUEL();
    try {
        for (const NodePtr& node : body) {
            Value v = node->eval();
            switch (pendingSignal) {
            case Signal::None: result = std::move(v); continue;
            case Signal::Break: pendingSignal = Signal::None; return Pass::Stop;
            case Signal::Continue: pendingSignal = Signal::None; return Pass::Next;
            case Signal::Return: return Pass::Leave;
            }
        }
    } catch (BreakException&) {
        return Pass::Stop;
    } catch (ContinueException&) {
        return Pass::Next;
    }
    return Pass::Next;
}
} // namespace

Value WhileNode::eval() {
    Value result;
    while (condition->test()) {
        Pass p = runBody(body, result);
        if (p != Pass::Next) break;
    }
    return result;
}

Value ForNode::eval() {
    LocalScope scope;
    if (init) {
        init->eval();
        if (pendingSignal != Signal::None) return Value();
    }
    Value result;
    // A missing condition loops until break or return.
    while (!condition || condition->test()) {
        Pass p = runBody(body, result);
        if (p != Pass::Next) break;
        if (update) update->eval();
    }
    return result;
}

// Control-flow nodes mark their position in case the signal reaches the top.
Value ReturnNode::eval() {
    mark();
    returnValue = value ? value->eval() : Value();
    pendingSignal = Signal::Return;
    return Value();
}

Value BreakNode::eval() {
    mark();
    pendingSignal = Signal::Break;
    return Value();
}

Value ContinueNode::eval() {
    mark();
    pendingSignal = Signal::Continue;
    return Value();
}
