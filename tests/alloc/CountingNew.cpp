// The allocation tests' operator new: counts every allocation and fails one on request.

#include "tests/alloc/CountingNew.h"

#include <cstdlib>
#include <new>

namespace dovetrel::test {
std::atomic<long> g_nAllocations{0};
std::atomic<long> g_nFailAt{-1};
} // namespace dovetrel::test

// The replacements pair malloc with free; GCC cannot see that through the sanitizers' inlining.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t nSize) {
  if (++dovetrel::test::g_nAllocations == dovetrel::test::g_nFailAt)
    throw std::bad_alloc();
  if (void* p = std::malloc(nSize == 0 ? 1 : nSize))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
