// Replaces the global allocation functions with ones that count calls.
// Include in exactly one source file of a test executable.
#ifndef TOVREL_TESTS_SUPPORT_COUNT_ALLOCATIONS_H
#define TOVREL_TESTS_SUPPORT_COUNT_ALLOCATIONS_H

#include <atomic>
#include <cstdlib>
#include <new>

namespace tovrel::test {
inline std::atomic<long> allocations{0};

inline void* CountedAllocate(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
}  // namespace tovrel::test

void* operator new(std::size_t size) { return tovrel::test::CountedAllocate(size); }
void* operator new[](std::size_t size) { return tovrel::test::CountedAllocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#endif
