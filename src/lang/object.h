#pragma once
#include <cstdint>

// Base of every heap object a Value can point to. Reference counting alone
// reclaims memory; a table that holds itself is never freed.
struct Obj {
    uint32_t refs = 0;
    virtual ~Obj() = default;
};

// Frees an object whose last reference is gone. Freeing a table releases
// its entries, which may free more tables: those wait in a list instead of
// nesting, so a long chain of tables cannot exhaust the native stack.
void destroy(Obj* o);

inline void retain(Obj* o) {
    ++o->refs;
}
inline void release(Obj* o) {
    if (--o->refs == 0) destroy(o);
}

// Owning pointer for objects held outside Values.
template <class T> class Ref {
  public:
    Ref() = default;
    Ref(T* p) : p_(p) {
        if (p_) retain(p_);
    }
    Ref(const Ref& o) : Ref(o.p_) {}
    Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    Ref& operator=(Ref o) noexcept {
        T* t = p_;
        p_ = o.p_;
        o.p_ = t;
        return *this;
    }
    ~Ref() {
        if (p_) release(p_);
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};
