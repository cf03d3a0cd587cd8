#include <gtest/gtest.h>

#include "count_allocations.h"
#include "record_builder.h"

namespace {

TEST(TovrelAllocation, GroupingARecordAllocatesNothing) {
  using namespace tovrel::test;
  // Records are built before counting starts.
  Record fim = ValidFimRecord();
  fim.Set("R24A", "V44.0").Set("R24K", "438.82");
  Record gg = ValidGgRecord();
  gg.Set("R24A", "B39.4^^^").Set("R24B", "G02.^^^^");
  Record bad = ValidFimRecord();
  bad.Set("R21A", "  99.9");
  for (const Record* r : {&fim, &gg, &bad}) {
    char cmg[6], motor[7], version[5], program[5];
    int32_t errorCode, cog, age;
    const long before = allocations.load();
    TOVREL(r->c_str(), cmg, &errorCode, motor, &cog, &age, version, program);
    EXPECT_EQ(allocations.load() - before, 0);
  }
}

}  // namespace
