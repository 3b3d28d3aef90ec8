#include "allocation_tracker.h"

#include <cstdlib>
#include <new>

// The array forms, which the picture code allocates with. Each block freed here was allocated
// here: the sanitizers check that new and delete pair up.
void* operator new[](std::size_t size) {
    std::size_t seen = allocation::largest.load();
    while (size > seen && !allocation::largest.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
