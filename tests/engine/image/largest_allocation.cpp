// Replaces the global operator new of the test program to note the largest
// request. operator new[], the sized and the nothrow forms go through it.

#include "engine/image/largest_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> gLargest{0};

}  // namespace

namespace pelko::test {

void resetLargestAllocation()
{
    gLargest.store(0);
}

std::size_t largestAllocation()
{
    return gLargest.load();
}

}  // namespace pelko::test

void* operator new(std::size_t size)
{
    std::size_t seen = gLargest.load(std::memory_order_relaxed);
    while (size > seen && !gLargest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

// The nothrow forms too (std::stable_sort's buffer uses them), so that every
// block this program frees with free() came from malloc().
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
