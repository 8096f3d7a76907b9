// malloc and operator new of this program, counting on the thread that asks.
// Both libraries resolve their allocations to these, so their heap use per
// exchange shows up here.
#include "alloc_hook.h"

#include <cstdlib>
#include <new>

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);

namespace {
thread_local bool t_counting = false;
thread_local std::size_t t_count = 0;

void note() {
    if (t_counting) ++t_count;
}
}  // namespace

extern "C" void* malloc(std::size_t size) {
    note();
    return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t n, std::size_t size) {
    note();
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, std::size_t size) {
    note();
    return __libc_realloc(p, size);
}

void* operator new(std::size_t size) {
    note();
    if (void* p = __libc_malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace bench {

AllocationCounter::AllocationCounter() {
    t_count = 0;
    t_counting = true;
}
AllocationCounter::~AllocationCounter() { t_counting = false; }
std::size_t AllocationCounter::count() const { return t_count; }

}  // namespace bench
