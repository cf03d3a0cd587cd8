// The tier step runs inside TOVREL, which must not touch the heap.
#include <atomic>
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "tier.h"
#include "tier_tables.h"
#include "tier_test_util.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tovrel::test {
namespace {

TEST(TierStepAllocation, NoneInAnyVersionOrStage) {
  // Stage 1 hits, pairs that block and that give a tier, stage 3, nothing.
  const Codes lists[] = {
      Codes::InOrder({"Z99.2^^^"}), Codes::InOrder({"B39.4^^^", "G02.^^^^"}),
      Codes::InOrder({"T80.0XXA"}), Codes::InOrder({"V44.0", "999.1"}), Codes{{24, "nothing"}},
  };
  const long before = allocations.load();
  int tiers = 0;
  for (int v = -1; v < kVersionCount; ++v) {
    for (const Codes& c : lists) {
      for (const char* ric : {"01", "03", "15"}) {
        tiers += TierStep(static_cast<Version>(v), ric, c.list) != 'A';
        tiers += TierTablesComplete(static_cast<Version>(v));
      }
    }
  }
  EXPECT_EQ(allocations.load(), before);
  EXPECT_GT(tiers, 0);
}

}  // namespace
}  // namespace tovrel::test
