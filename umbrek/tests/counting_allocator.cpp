#include "umbrek/tests/counting_allocator.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> live{0};

void* allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (p) ++live;
    return p;
}

// Over-aligned blocks are cut from a larger plain block, whose address is
// kept just before the aligned one: the same code on every C library (the
// Windows one has no aligned_alloc).
void* allocateAligned(std::size_t size, std::align_val_t align) {
    const std::size_t a = std::max(std::size_t(align), sizeof(void*));
    void* raw = std::malloc(size + a + sizeof(void*));
    if (!raw) return nullptr;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    void* p = reinterpret_cast<void*>((start + a - 1) / a * a);
    static_cast<void**>(p)[-1] = raw;
    ++live;
    return p;
}

void release(void* p) {
    if (!p) return;
    --live;
    std::free(p);
}

void releaseAligned(void* p) {
    if (!p) return;
    --live;
    std::free(static_cast<void**>(p)[-1]);
}

} // namespace

namespace umbrek::test {

long liveAllocations() {
    return live.load();
}

} // namespace umbrek::test

void* operator new(std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
    if (void* p = allocateAligned(size, align)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) {
    if (void* p = allocateAligned(size, align)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    releaseAligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    releaseAligned(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    releaseAligned(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    releaseAligned(p);
}
