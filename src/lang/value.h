#pragma once
#include "lang/object.h"
#include "lang/pool.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

class Node;
struct Environment;
struct Value;

// The kinds a script can see. Kinds without a heap part come first and
// the vector kinds last, so both tests are one comparison.
enum class ValueType : uint8_t {
    Null,
    Number,
    Boolean,
    String,
    Table,
    Native,
    Function,
    Image,
    Audio,
    Video,
    Vector2,
    Vector3,
    CFrame,
};

// Natives get the evaluated arguments in call order and return one Value.
using Args = std::span<Value>;
using NativeFunction = std::function<Value(Args)>;

struct StringObj : Obj {
    std::string text;
    explicit StringObj(std::string t) : text(std::move(t)) {}
};

struct NativeObj : Obj {
    NativeFunction fn;
    // Set when `fn` holds a plain function, which can then be called directly.
    Value (*plain)(Args) = nullptr;
    explicit NativeObj(NativeFunction f) : fn(std::move(f)) {
        if (auto* p = fn.target<Value (*)(Args)>()) plain = *p;
    }
    Value call(Args args);
};

// One per `def` in the source: every function Value made from that
// declaration points here, so "the same declaration" is pointer equality.
struct FunctionObj : Obj {
    std::vector<uint32_t> params; // interned names
    std::vector<std::shared_ptr<Node>> body;
    // The body ends in `return`: its value expression, if any.
    bool endsInReturn = false;
    Node* returnTail = nullptr;
    // The body's statements but the last, each with the parts of an
    // `if c { return v }` guard when it is one.
    struct Step {
        Node* node;
        Node* guard = nullptr;      // c
        Node* guardValue = nullptr; // v, if any
    };
    std::vector<Step> steps;
};

struct VectorObj : Obj {
    double x = 0, y = 0, z = 0;
};

struct MediaObj : Obj {
    std::string path;
    Environment* table; // owned
    explicit MediaObj(std::string p);
    ~MediaObj() override;
};

// The bits of a Value outside any Value: it carries the reference the
// Value held, so it must go back into exactly one Value.
struct RawValue {
    ValueType type;
    uint32_t len;
    double n;
};

// A small tagged value: 16 bytes, heap parts shared by reference count.
struct Value {
    ValueType type = ValueType::Null;
    // A string Value sees the first `len` bytes of its StringObj: appending
    // to the newest string of a buffer extends the buffer in place, so a
    // loop of `s = s + x` is linear. Older Values keep seeing their prefix.
    mutable uint32_t len = 0;
    union {
        double n;
        bool b;
        mutable Obj* obj;
    };

    Value() : n(0) {}
    Value(const Value& o) : type(o.type), len(o.len), n(o.n) {
        if (holdsObj()) retain(obj);
    }
    Value(Value&& o) noexcept : type(o.type), len(o.len), n(o.n) { o.type = ValueType::Null; }
    Value& operator=(const Value& o) {
        if (o.holdsObj()) retain(o.obj);
        drop();
        type = o.type;
        len = o.len;
        n = o.n;
        return *this;
    }
    Value& operator=(Value&& o) noexcept {
        if (this != &o) {
            drop();
            type = o.type;
            len = o.len;
            n = o.n;
            o.type = ValueType::Null;
        }
        return *this;
    }
    ~Value() { drop(); }

    // Hands the bits and the reference over, leaving null behind.
    RawValue take() {
        RawValue r{type, len, n};
        type = ValueType::Null;
        return r;
    }
    static Value adopt(RawValue r) {
        Value v;
        v.type = r.type;
        v.len = r.len;
        v.n = r.n;
        return v;
    }

    static Value number(double d) {
        Value v;
        v.type = ValueType::Number;
        v.n = d;
        return v;
    }
    static Value boolean(bool x) {
        Value v;
        v.type = ValueType::Boolean;
        v.n = 0;
        v.b = x;
        return v;
    }
    static Value string(std::string s) {
        size_t size = s.size();
        Value v = fromObj(ValueType::String, new StringObj(std::move(s)));
        v.len = size < UINT32_MAX ? static_cast<uint32_t>(size) : UINT32_MAX;
        return v;
    }
    // This string followed by `tail`, in place when this is the newest
    // string of its buffer.
    Value append(const std::string& tail) const;
    static Value table(Environment* t);
    static Value newTable();
    static Value native(NativeFunction f) {
        return fromObj(ValueType::Native, new NativeObj(std::move(f)));
    }
    static Value function(FunctionObj* f) { return fromObj(ValueType::Function, f); }
    static Value vector2(double x, double y) { return vec(ValueType::Vector2, x, y, 0); }
    static Value vector3(double x, double y, double z) { return vec(ValueType::Vector3, x, y, z); }
    static Value cframe(double x, double y, double z) { return vec(ValueType::CFrame, x, y, z); }
    static Value media(ValueType kind, std::string path) {
        return fromObj(kind, new MediaObj(std::move(path)));
    }
    static Value fromObj(ValueType t, Obj* o) {
        Value v;
        v.type = t;
        v.obj = o;
        retain(o);
        return v;
    }

    bool is(ValueType t) const { return type == t; }
    bool isNull() const { return type == ValueType::Null; }
    bool holdsObj() const { return type >= ValueType::String; }
    bool isVector() const { return type >= ValueType::Vector2; }
    bool isMedia() const {
        return type == ValueType::Image || type == ValueType::Audio || type == ValueType::Video;
    }

    // Field reads that give every kind the defaults of a fat record: a
    // string's number is 0, a number's text is empty, and so on.
    double num() const { return type == ValueType::Number ? n : 0.0; }
    bool flag() const { return type == ValueType::Boolean && b; }
    const std::string& text() const;
    double x() const { return isVector() ? static_cast<VectorObj*>(obj)->x : 0.0; }
    double y() const { return isVector() ? static_cast<VectorObj*>(obj)->y : 0.0; }
    double z() const { return isVector() ? static_cast<VectorObj*>(obj)->z : 0.0; }
    // The table of a table, or the property table of a media value.
    Environment* env() const;
    NativeObj* nativeObj() const { return static_cast<NativeObj*>(obj); }
    FunctionObj* functionObj() const { return static_cast<FunctionObj*>(obj); }

    bool truthy() const {
        return (type == ValueType::Boolean && b) || (type == ValueType::Number && n != 0);
    }

  private:
    static Value vec(ValueType t, double x, double y, double z) {
        auto* o = new VectorObj;
        o->x = x;
        o->y = y;
        o->z = z;
        return fromObj(t, o);
    }
    void drop() {
        if (holdsObj()) release(obj);
    }
};

// The decimal text of an array index, the key it is stored under.
std::string indexKey(int64_t i);

// A table. Entries live in a standard hash map, so tables list their
// entries in that map's own order, never sorted.
//
// A table filled only by appending and removing its last index (and a
// "length") keeps those elements in a plain array part instead, with a log
// of the appends and removals. The first time anything else happens to it,
// or its entries are listed, the log is replayed into the map, which then
// holds the same entries in the same order as if it had held them all along.
struct Environment : Obj {
    using Entries =
        std::unordered_map<std::string, Value, std::hash<std::string>, std::equal_to<std::string>,
                           PoolAllocator<std::pair<const std::string, Value>>>;
    // Entries stay where they are until erased, so a lookup site may keep a
    // pointer to one while the table's serial and erase count are unchanged.
    // Keys that start with a digit (array indexes) are counted apart, so
    // popping an array leaves the remembered place of its "length" valid.
    const uint64_t serial = nextSerial();
    uint32_t erasures = 0;
    mutable uint32_t indexErasures = 0;
    static bool isIndexKey(const std::string& key) {
        return !key.empty() && key[0] >= '0' && key[0] <= '9';
    }
    uint32_t erasuresOf(bool indexKey) const { return indexKey ? indexErasures : erasures; }
    bool hasSetters = false; // a "__setters" entry was ever written

    Environment();
    ~Environment() override;

    Value* find(const std::string& key) {
        if (array_) [[unlikely]]
            return findInArray(key);
        auto it = variables_.find(key);
        return it == variables_.end() ? nullptr : &it->second;
    }
    Value* findIndex(int64_t i);
    void set(const std::string& key, Value v);
    void setIndex(int64_t i, Value v);
    // The entry under `key`, made null when missing.
    Value& operator[](const std::string& key);
    // Takes the entry out, handing its value over; false when there is none.
    bool remove(const std::string& key, Value& taken);
    bool removeIndex(int64_t i, Value& taken);
    // All entries, in the map's order.
    const Entries& entries() const {
        if (array_) spill();
        return variables_;
    }

  private:
    struct ArrayPart;
    Value* findInArray(const std::string& key);
    bool storeIndex(int64_t i, Value& v);
    bool popLast(int64_t i, Value& taken);
    void spill() const;
    static uint64_t nextSerial() {
        static uint64_t counter = 0;
        return ++counter;
    }

    mutable Entries variables_;
    mutable std::unique_ptr<ArrayPart> array_;
    bool fresh_ = true; // nothing was ever stored
};

// Remembers where a property lookup last found its entry.
class PropertyCache {
  public:
    Value* find(Environment* t, const std::string& key) {
        if (t->serial == serial_ && t->erasuresOf(index_) == erasures_) return slot_;
        Value* v = t->find(key);
        if (v) {
            index_ = Environment::isIndexKey(key);
            serial_ = t->serial;
            erasures_ = t->erasuresOf(index_);
            slot_ = v;
        }
        return v;
    }

    // The caller erased some other entry of `t`: the remembered one is still
    // where it was.
    void keep(Environment* t) {
        if (t->serial == serial_) erasures_ = t->erasuresOf(index_);
    }

  private:
    uint64_t serial_ = 0;
    uint32_t erasures_ = 0;
    bool index_ = false;
    Value* slot_ = nullptr;
};

inline Value NativeObj::call(Args args) {
    return plain ? plain(args) : fn(args);
}

inline Value Value::table(Environment* t) {
    return fromObj(ValueType::Table, t);
}
inline Value Value::newTable() {
    return table(new Environment);
}

inline Environment* Value::env() const {
    if (type == ValueType::Table) return static_cast<Environment*>(obj);
    if (isMedia()) return static_cast<MediaObj*>(obj)->table;
    return nullptr;
}

const char* typeName(ValueType t);
// Six significant digits, as a default-formatted stream writes a double.
std::string numberText(double d);
std::string valueToString(const Value& v, int depth = 0);
bool valuesEqual(const Value& a, const Value& b);
// Truncation toward zero to 32 bits; NaN and out-of-range give INT32_MIN.
inline int32_t intView(double d) {
#ifdef __SSE2__
    return _mm_cvttsd_si32(_mm_set_sd(d)); // the instruction gives INT32_MIN itself
#else
    if (!(d > -2147483649.0 && d < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(d);
#endif
}
inline int32_t intView(const Value& v) {
    return intView(v.num());
}
