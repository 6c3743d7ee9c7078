#pragma once
#include "lang/symbols.h"
#include "lang/value.h"

#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Node;
using NodePtr = std::shared_ptr<Node>;
using NodeList = std::vector<NodePtr>;

// Every syntax-tree node evaluates to a Value; the scope is the current
// chain of the bindings. Nodes never change after parsing.
class Node {
  public:
    // Operands that can be read in place, without running any code.
    enum class Shape : uint8_t { Other, Var, Literal };
    Shape shape = Shape::Other;
    bool numeric = false; // the value is always a number
    bool pure = false;    // evaluating it runs no script code and changes nothing
    int line = 1, col = 1;
    virtual ~Node() = default;
    virtual Value eval() = 0;
    // The truth of the value, for conditions; some nodes skip making it.
    virtual bool test() { return eval().truthy(); }
    // The value's num(), for operands only read as numbers; some nodes
    // skip making the value.
    virtual double number() { return eval().num(); }
    // Runs the node where its value is not wanted.
    virtual void exec() { eval(); }
    // Points error lines at this node.
    void mark() const;
};

class Literal : public Node {
  public:
    Value value;
    explicit Literal(Value v) : value(std::move(v)) {
        shape = Shape::Literal;
        pure = true;
        numeric = value.is(ValueType::Number);
    }
    Value eval() override { return value; }
    double number() override { return value.num(); }
};

class VarAccess : public Node {
  public:
    Symbol name;
    explicit VarAccess(const std::string& n) : name(intern(n)) {
        shape = Shape::Var;
        pure = true;
    }
    Value eval() override;
    double number() override;
};

class PropAccess : public Node {
  public:
    NodePtr object;
    std::string property;
    PropAccess(NodePtr o, std::string p) : object(std::move(o)), property(std::move(p)) {
        pure = object->pure;
    }
    Value eval() override;
    PropertyCache cache;
};

enum class BinKind : uint8_t {
    Add,
    Sub,
    Mul,
    Div,
    Mod,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    And,
    Or,
    Xor,
    BitAnd,
    BitOr,
    Shl,
    Shr,
    Other
};

class BinOp : public Node {
  public:
    NodePtr left, right;
    std::string op;
    BinKind kind;
    BinOp(NodePtr l, std::string o, NodePtr r);
};

// A BinOp specialised for its operator and operands.
NodePtr makeBinOp(NodePtr l, const std::string& op, NodePtr r);

class UnaryOp : public Node {
  public:
    std::string op;
    NodePtr operand;
    UnaryOp(std::string o, NodePtr e);
    Value eval() override;
    bool test() override;
    double number() override;

  private:
    char kind_; // '!', '~', '-' or 0
};

class TableNode : public Node {
  public:
    std::vector<std::pair<std::string, NodePtr>> entries;
    explicit TableNode(std::vector<std::pair<std::string, NodePtr>> e) : entries(std::move(e)) {}
    Value eval() override;
};

class VarDeclNode : public Node {
  public:
    Symbol name;
    NodePtr value;
    VarDeclNode(const std::string& n, NodePtr v) : name(intern(n)), value(std::move(v)) {}
    Value eval() override;
    void exec() override;
};

class AssignNode : public Node {
  public:
    NodePtr target, value;
    AssignNode(NodePtr t, NodePtr v);
    Value eval() override;
    void exec() override;

  protected:
    // What the target is, found once when parsed.
    VarAccess* var_;
    PropAccess* prop_;
    // Stores an evaluated value in the target.
    template <bool Wanted> Value store(Value v);

  private:
    template <bool Wanted> Value run();
    bool runSetter(Environment* table, const Value& v, Value& result);
    PropertyCache store_, setters_;
};

// An AssignNode, specialised for `x = x + e` and `x = x - e`.
NodePtr makeAssign(NodePtr target, NodePtr value);

class FuncDeclNode : public Node {
  public:
    Symbol name;
    Ref<FunctionObj> function; // params and body, shared by every Value made here
    FuncDeclNode(const std::string& n, std::vector<std::string> params, NodeList body);
    Value eval() override;
};

class CallExpr : public Node {
  public:
    NodePtr callee;
    NodeList args;
    CallExpr(NodePtr c, NodeList a) : callee(std::move(c)), args(std::move(a)) {}
    Value eval() override;
    void exec() override { CallExpr::eval(); }
};

class IfNode : public Node {
  public:
    NodePtr condition;
    NodeList thenBody, elseBody;
    IfNode(NodePtr c, NodeList t, NodeList e)
        : condition(std::move(c)), thenBody(std::move(t)), elseBody(std::move(e)) {}
    Value eval() override;
    void exec() override;
};

class WhileNode : public Node {
  public:
    NodePtr condition;
    NodeList body;
    WhileNode(NodePtr c, NodeList b) : condition(std::move(c)), body(std::move(b)) {}
    Value eval() override;
    void exec() override;
};

class ForNode : public Node {
  public:
    NodePtr init, condition, update;
    NodeList body;
    ForNode(NodePtr i, NodePtr c, NodePtr u, NodeList b)
        : init(std::move(i)), condition(std::move(c)), update(std::move(u)), body(std::move(b)) {}
    Value eval() override;
    void exec() override;

  private:
    template <bool Wanted> Value run();
};

class ReturnNode : public Node {
  public:
    NodePtr value;
    explicit ReturnNode(NodePtr v) : value(std::move(v)) {}
    Value eval() override;
    void exec() override;
};

class BreakNode : public Node {
  public:
    Value eval() override;
};

class ContinueNode : public Node {
  public:
    Value eval() override;
};

// `return`, `break` and `continue` travel as a pending signal that statement
// lists pass up until a call or loop takes it: no exception on the normal
// path. A signal that leaves a function (a `break` in a callee, say) or a
// native (a module's top level) turns into one of the exceptions below.
enum class Signal : uint8_t { None, Return, Break, Continue };
extern Signal pendingSignal;
extern Value returnValue;

struct ReturnException : std::exception {
    Value value;
    explicit ReturnException(Value v) : value(std::move(v)) {}
};
struct BreakException : std::exception {};
struct ContinueException : std::exception {};

// Runs a statement list, stopping early when a signal is pending. The
// list's value is its last statement's.
Value runList(const NodeList& list);
void execList(const NodeList& list);
// Throws the pending signal as its exception, clearing it.
[[noreturn]] void throwPendingSignal();
// Calls a callable Value with evaluated arguments.
Value callValue(const Value& callee, Args args);
