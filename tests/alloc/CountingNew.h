#pragma once

#include <atomic>

namespace dovetrel::test {

/// Every operator new of this binary so far.
extern std::atomic<long> g_nAllocations;
/// The count of allocations at which operator new throws std::bad_alloc instead; -1 for never.
extern std::atomic<long> g_nFailAt;

} // namespace dovetrel::test
