// The tier step runs inside TOVREL, which must not touch the heap.
#include <gtest/gtest.h>

#include "tier.h"
#include "tier_tables.h"
#include "tier_test_util.h"
#include "count_allocations.h"

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
