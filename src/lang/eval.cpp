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

Value VarAccess::eval() {
    if (Value* v = bindings().lookup(name)) return *v;
    mark();
    error("yo, '" + symbolName(name) + "' doesn't exist bruh");
}

Value PropAccess::eval() {
    Value o = object->eval();
    if (o.isVector() && property.size() == 1) {
        char c = property[0];
        if (c == 'x') return Value::number(o.x());
        if (c == 'y') return Value::number(o.y());
        if (c == 'z' && !o.is(ValueType::Vector2)) return Value::number(o.z());
    } else if (Environment* t = o.env()) {
        if (Value* v = t->find(property)) return *v;
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
    : left(std::move(l)), right(std::move(r)), op(std::move(o)), kind(binKind(op)) {}

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

Value BinOp::eval() {
    Value l = left->eval();
    Value r = right->eval();
    switch (kind) {
    case BinKind::Add:
        if (l.is(ValueType::String) || r.is(ValueType::String)) return concat(l, r);
        return Value::number(l.num() + r.num());
    case BinKind::Sub: return Value::number(l.num() - r.num());
    case BinKind::Mul: return Value::number(l.num() * r.num());
    case BinKind::Div:
        if (r.num() == 0) {
            mark();
            error("can't divide by zero u silly goose");
        }
        return Value::number(l.num() / r.num());
    case BinKind::Mod: {
        int32_t a = intView(l), b = intView(r);
        if (b == 0) {
            mark();
            error("can't modulo by zero u silly goose");
        }
        if (a == INT32_MIN && b == -1) {
            mark();
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

Value UnaryOp::eval() {
    Value v = operand->eval();
    if (op == "!") return Value::boolean(!v.truthy());
    if (op == "~") return Value::number(~intView(v));
    if (op == "-") return Value::number(-v.num());
    return v;
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
    if (Value* setters = table->find("__setters"); setters && setters->is(ValueType::Table)) {
        Value* setter = setters->env()->find(prop->property);
        if (setter && setter->is(ValueType::Native)) {
            Value arg = v;
            mark();
            return setter->nativeObj()->fn(Args(&arg, 1));
        }
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
        bindings().define(fn->params[i], args[i]);
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

Value CallExpr::eval() {
    Value c = callee->eval();
    size_t n = args.size();
    if (n <= 8) {
        Value buf[8];
        for (size_t i = 0; i < n; ++i)
            buf[i] = args[i]->eval();
        mark();
        return callValue(c, Args(buf, n));
    }
    std::vector<Value> buf(n);
    for (size_t i = 0; i < n; ++i)
        buf[i] = args[i]->eval();
    mark();
    return callValue(c, Args(buf.data(), n));
}

Value IfNode::eval() {
    return runList(condition->eval().truthy() ? thenBody : elseBody);
}

namespace {
enum class Pass { Next, Stop, Leave };

// Runs one pass of a loop body. Break and continue end the pass whether they
// come as a pending signal or, from inside a call, as an exception; a return
// leaves the loop with its signal still pending.
Pass runBody(const NodeList& body, Value& result) {
    KRIN_SPEND_FUEL();
    for (const NodePtr& node : body) {
        try {
            Value v = node->eval();
            switch (pendingSignal) {
            case Signal::None: result = std::move(v); continue;
            case Signal::Break: pendingSignal = Signal::None; return Pass::Stop;
            case Signal::Continue: pendingSignal = Signal::None; return Pass::Next;
            case Signal::Return: return Pass::Leave;
            }
        } catch (BreakException&) {
            return Pass::Stop;
        } catch (ContinueException&) {
            return Pass::Next;
        }
    }
    return Pass::Next;
}
} // namespace

Value WhileNode::eval() {
    Value result;
    while (condition->eval().truthy()) {
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
    while (!condition || condition->eval().truthy()) {
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
