#pragma once
// A free-list allocator for the nodes of table maps: tables gain and lose
// entries all the time, and the general heap is slow at that. Blocks go
// back to the list, never to the system. The sanitizer builds use the heap
// so that it can still see every use after free.
#include <cstddef>
#include <new>

template <size_t Size> class FixedPool {
  public:
    static void* get() {
        if (!free_) refill();
        Block* b = free_;
        free_ = b->next;
        return b;
    }
    static void put(void* p) {
        auto* b = static_cast<Block*>(p);
        b->next = free_;
        free_ = b;
    }

  private:
    union Block {
        Block* next;
        alignas(std::max_align_t) unsigned char bytes[Size];
    };
    static void refill() {
        constexpr size_t count = (64 * 1024) / sizeof(Block);
        auto* chunk = static_cast<Block*>(::operator new(count * sizeof(Block)));
        for (size_t i = 0; i < count; ++i) {
            chunk[i].next = free_;
            free_ = &chunk[i];
        }
    }
    static inline Block* free_ = nullptr;
};

#if defined(__SANITIZE_ADDRESS__)
#define KRIN_HEAP_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KRIN_HEAP_ONLY 1
#endif
#endif

template <class T> struct PoolAllocator {
    using value_type = T;
#ifdef KRIN_HEAP_ONLY
    static constexpr bool pooled = false;
#else
    static constexpr bool pooled = true;
#endif
    PoolAllocator() = default;
    template <class U> PoolAllocator(const PoolAllocator<U>&) {}

    T* allocate(size_t n) {
        if (pooled && n == 1) return static_cast<T*>(FixedPool<sizeof(T)>::get());
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) {
        if (pooled && n == 1) return FixedPool<sizeof(T)>::put(p);
        ::operator delete(p);
    }
    template <class U> bool operator==(const PoolAllocator<U>&) const {
        return true;
    }
};
