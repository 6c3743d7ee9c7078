#include "lang/eval_support.h"
#include "runner/error.h"

#include <cstdint>

Signal pendingSignal = Signal::None;
Value returnValue;

void Node::mark() const {
    currentLine = line;
    currentCol = col;
}

Value runList(const NodeList& list) {
    size_t n = list.size();
    if (n == 0) return Value();
    for (size_t i = 0; i + 1 < n; ++i) {
        list[i]->exec();
        if (pendingSignal != Signal::None) return Value();
    }
    return list[n - 1]->eval();
}

void execList(const NodeList& list) {
    for (const NodePtr& node : list) {
        node->exec();
        if (pendingSignal != Signal::None) return;
    }
}

void throwPendingSignal() {
    Signal s = pendingSignal;
    pendingSignal = Signal::None;
    if (s == Signal::Return) throw ReturnException(std::move(returnValue));
    if (s == Signal::Break) throw BreakException();
    throw ContinueException();
}

void missingName(const VarAccess* var) {
    var->mark();
    error("yo, '" + symbolName(var->name) + "' doesn't exist bruh");
}

Value VarAccess::eval() {
    if (Value* v = bindings().lookup(name)) return *v;
    missingName(this);
}

double VarAccess::number() {
    if (Value* v = bindings().lookup(name)) return v->num();
    missingName(this);
}

Value PropAccess::eval() {
    Value hold;
    const Value& o = peek(object.get(), hold);
    if (o.type == ValueType::Table) {
        if (Value* v = cache.find(static_cast<Environment*>(o.obj), property)) return *v;
    } else if (o.isVector() && property.size() == 1) {
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

Value TableNode::eval() {
    Value t = Value::newTable();
    for (auto& [key, node] : entries)
        t.env()->set(key, valueOf(node.get()));
    return t;
}

Value VarDeclNode::eval() {
    Value v = valueOf(value.get());
    bindings().define(name, v);
    return v;
}

void VarDeclNode::exec() {
    bindings().define(name, valueOf(value.get()));
}

static const std::string settersKey = "__setters";

AssignNode::AssignNode(NodePtr t, NodePtr v)
    : target(std::move(t)), value(std::move(v)), var_(dynamic_cast<VarAccess*>(target.get())),
      prop_(dynamic_cast<PropAccess*>(target.get())) {}

// `Wanted`: the assignment's value is used; otherwise the value moves
// into place without copies.
template <bool Wanted> Value AssignNode::run() {
    return store<Wanted>(valueOf(value.get()));
}

template <bool Wanted> Value AssignNode::store(Value v) {
    if (var_) {
        bindings().assign(var_->name, Wanted ? Value(v) : std::move(v));
        return v;
    }
    if (!prop_) return v;
    Value hold;
    const Value& t = peek(prop_->object.get(), hold);
    if (!t.is(ValueType::Table)) return v;
    Environment* table = t.env();
    if (table->hasSetters) {
        Value result;
        Value keep = t; // the setter may run any code
        if (runSetter(table, v, result)) return result;
    }
    if (Value* slot = store_.find(table, prop_->property)) {
        *slot = Wanted ? Value(v) : std::move(v);
        return v;
    }
    table->set(prop_->property, Wanted ? Value(v) : std::move(v));
    return v;
}

template Value AssignNode::store<true>(Value v);
template Value AssignNode::store<false>(Value v);

Value AssignNode::eval() {
    return run<true>();
}

void AssignNode::exec() {
    run<false>();
}

// Calls the native the table's "__setters" keeps for the property, if any.
bool AssignNode::runSetter(Environment* table, const Value& v, Value& result) {
    Value* setters = setters_.find(table, settersKey);
    if (!setters || !setters->is(ValueType::Table)) return false;
    Value* setter = setters->env()->find(prop_->property);
    if (!setter || !setter->is(ValueType::Native)) return false;
    Value arg = v;
    mark();
    result = setter->nativeObj()->call(Args(&arg, 1));
    return true;
}

FuncDeclNode::FuncDeclNode(const std::string& n, std::vector<std::string> params, NodeList body)
    : name(intern(n)), function(new FunctionObj) {
    for (auto& p : params)
        function->params.push_back(intern(p));
    function->body = std::move(body);
    for (size_t i = 0; i + 1 < function->body.size(); ++i) {
        FunctionObj::Step step{function->body[i].get()};
        auto* guard = dynamic_cast<IfNode*>(step.node);
        if (guard && guard->thenBody.size() == 1 && guard->elseBody.empty()) {
            if (auto* r = dynamic_cast<ReturnNode*>(guard->thenBody[0].get())) {
                step.guard = guard->condition.get();
                step.guardValue = r->value.get();
            }
        }
        function->steps.push_back(step);
    }
    if (!function->body.empty()) {
        if (auto* r = dynamic_cast<ReturnNode*>(function->body.back().get())) {
            function->endsInReturn = true;
            function->returnTail = r->value.get();
        }
    }
}

Value FuncDeclNode::eval() {
    Value f = Value::function(function.get());
    bindings().define(name, f);
    return f;
}

// A body's value is its last statement's. A `return` there, or a guard
// `if c { return v }` anywhere, gives its value without raising the signal.
static Value runFunctionBody(FunctionObj* fn) {
    if (fn->body.empty()) return Value();
    for (const FunctionObj::Step& step : fn->steps) {
        if (step.guard) {
            if (step.guard->test()) return step.guardValue ? valueOf(step.guardValue) : Value();
            continue;
        }
        step.node->exec();
        if (pendingSignal != Signal::None) return Value();
    }
    if (fn->endsInReturn) return fn->returnTail ? valueOf(fn->returnTail) : Value();
    return fn->body.back()->eval();
}

// Runs a function in a new scope whose parameters `bind` binds.
template <class Bind> static Value invoke(FunctionObj* fn, Bind&& bind) {
    KRIN_SPEND_FUEL();
    checkStack("stack overflow! ur recursion went too deep bruh");
    LocalScope scope;
    bind(fn->params.size());
    Value result;
    try {
        result = runFunctionBody(fn);
    } catch (ReturnException& r) {
        return std::move(r.value);
    }
    switch (pendingSignal) {
    case Signal::None: return result;
    case Signal::Return: pendingSignal = Signal::None; return std::move(returnValue);
    default: throwPendingSignal();
    }
}

static Value callFunction(FunctionObj* fn, Args args) {
    return invoke(fn, [&](size_t params) {
        size_t bound = std::min(params, args.size());
        for (size_t i = 0; i < bound; ++i)
            bindings().bindLocal(fn->params[i], std::move(args[i])); // the caller is done with them
    });
}

namespace {
// The arguments of a short call to a script function, held as raw values
// until they move into the parameters; those left over (more arguments
// than parameters, or an error halfway) are dropped at the end.
struct RawArgs {
    static constexpr size_t capacity = 4;
    RawValue values[capacity];
    size_t made = 0, taken = 0;
    RawArgs() = default;
    RawArgs(const RawArgs&) = delete;
    RawArgs& operator=(const RawArgs&) = delete;
    ~RawArgs() {
        for (size_t i = taken; i < made; ++i)
            Value::adopt(values[i]);
    }
};
} // namespace

static Value callShort(FunctionObj* fn, const NodeList& args, const Node* call) {
    RawArgs raw;
    for (const NodePtr& arg : args)
        raw.values[raw.made++] = valueOf(arg.get()).take();
    call->mark();
    return invoke(fn, [&](size_t params) {
        size_t bound = std::min(params, raw.made);
        for (size_t i = 0; i < bound; ++i)
            bindings().bindRaw(fn->params[i], raw.values[i]);
        raw.taken = bound;
    });
}

Value callValue(const Value& callee, Args args) {
    if (callee.is(ValueType::Native)) return callee.nativeObj()->call(args);
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
    Value c = callee->shape == Shape::Var ? *lookupVar(callee.get()) : callee->eval();
    if (c.type == ValueType::Function && args.size() <= RawArgs::capacity)
        return callShort(c.functionObj(), args, this);
    ArgBuffer buf(args.size());
    for (const NodePtr& arg : args)
        buf.push(valueOf(arg.get()));
    mark();
    if (c.type == ValueType::Native) return c.nativeObj()->call(buf.args());
    if (c.type == ValueType::Function) return callFunction(c.functionObj(), buf.args());
    return callValue(c, buf.args());
}

Value IfNode::eval() {
    return runList(condition->test() ? thenBody : elseBody);
}

void IfNode::exec() {
    const NodeList& list = condition->test() ? thenBody : elseBody;
    if (list.size() == 1) return list[0]->exec();
    execList(list);
}

namespace {
enum class Pass { Next, Stop, Leave };

// Runs one pass of a loop body. Break and continue end the pass whether they
// come as a pending signal or, from inside a call, as an exception; a return
// leaves the loop with its signal still pending.
// `Wanted`: the loop's value is used, so each statement's value is kept.
template <bool Wanted> Pass runBody(const NodeList& body, Value& result) {
    KRIN_SPEND_FUEL();
    try {
        for (const NodePtr& node : body) {
            if constexpr (Wanted) {
                Value v = node->eval();
                if (pendingSignal == Signal::None) {
                    result = std::move(v);
                    continue;
                }
            } else {
                node->exec();
                if (pendingSignal == Signal::None) continue;
            }
            switch (pendingSignal) {
            case Signal::Break: pendingSignal = Signal::None; return Pass::Stop;
            case Signal::Continue: pendingSignal = Signal::None; return Pass::Next;
            default: return Pass::Leave;
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
        Pass p = runBody<true>(body, result);
        if (p != Pass::Next) break;
    }
    return result;
}

void WhileNode::exec() {
    Value unused;
    while (condition->test()) {
        Pass p = runBody<false>(body, unused);
        if (p != Pass::Next) break;
    }
}

template <bool Wanted> Value ForNode::run() {
    LocalScope scope;
    if (init) {
        init->exec();
        if (pendingSignal != Signal::None) return Value();
    }
    Value result;
    // A missing condition loops until break or return.
    while (!condition || condition->test()) {
        Pass p = runBody<Wanted>(body, result);
        if (p != Pass::Next) break;
        if (update) update->exec();
    }
    return result;
}

Value ForNode::eval() {
    return run<true>();
}

void ForNode::exec() {
    run<false>();
}

// Control-flow nodes mark their position in case the signal reaches the top.
Value ReturnNode::eval() {
    exec();
    return Value();
}

void ReturnNode::exec() {
    mark();
    returnValue = value ? valueOf(value.get()) : Value();
    pendingSignal = Signal::Return;
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
