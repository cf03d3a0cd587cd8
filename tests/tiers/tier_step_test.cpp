#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tier.h"
#include "tier_tables.h"
#include "tier_test_util.h"

namespace tovrel::test {
namespace {

struct TierCase {
  const char* what;
  Version version;
  const char* ric;
  Codes codes;
  char expected;
};

const std::string kFill = "^^^^^^^^";

std::vector<TierCase> Cases() {
  return {
      // Code pairs and secondary codes with the tables of 4.00.
      {"complete pair, RIC not on its list", kV400, "01", Codes::InOrder({"B39.4^^^", "G02.^^^^", kFill}), 'D'},
      {"complete pair, RIC on its list blocks both codes", kV400, "03", Codes::InOrder({"B39.4^^^", "G02.^^^^", kFill}), 'A'},
      {"secondary code excluded by its own list", kV400, "03", Codes::InOrder({"G02.^^^^"}), 'A'},
      {"secondary code alone", kV400, "01", Codes::InOrder({"G02.^^^^"}), 'D'},
      {"one code of a pair still gives its secondary tier", kV400, "03", Codes::InOrder({"B39.4^^^"}), 'D'},
      {"secondary list 15 excludes", kV400, "15", Codes::InOrder({"B39.4^^^"}), 'A'},
      {"pair on list 14 blocks a code whose own list is 15", kV400, "14", Codes::InOrder({"B39.4^^^", "I39.^^^^"}), 'A'},
      {"blocked pair next to a complete pair that gives D", kV400, "03", Codes::InOrder({"B39.4^^^", "G02.^^^^", "H32.^^^^"}), 'D'},
      {"blocking pair leaves other secondary codes", kV400, "14", Codes::InOrder({"B39.4^^^", "I32.^^^^", "E08.21^^"}), 'D'},
      {"pair T80.0XXA/I26.90 blocks for RIC 15", kV400, "15", Codes::InOrder({"T80.0XXA", "I26.90^^"}), 'A'},
      {"T80.0XXA alone for RIC 15", kV400, "15", Codes::InOrder({"T80.0XXA"}), 'D'},
      {"same pair under 2.82", kV282, "03", Codes::InOrder({"B39.4^^^", "G02.^^^^"}), 'A'},
      {"same pair under 2.82, RIC 01", kV282, "01", Codes::InOrder({"B39.4^^^", "G02.^^^^"}), 'D'},
      {"pair of E09 with E08.65", kV400, "06", Codes::InOrder({"E09.40^^", "E08.65^^"}), 'D'},
      {"E11.40/E11.65 pair on list 06 blocks both", kV400, "06", Codes::InOrder({"E11.40^^", "E11.65^^"}), 'A'},
      // The walk over 25 codes.
      {"first field of ^ ends the walk", kV400, "01", Codes{{0, kFill}, {1, "J38.01^^"}}, 'A'},
      {"^ in a later field ends the walk there", kV400, "01", Codes{{0, "A02.1^^^"}, {3, "^"}, {4, "J38.01^^"}}, 'D'},
      {"blank field does not end the walk", kV400, "01", Codes{{1, "J38.01^^"}}, 'B'},
      {"code in R24Y is found", kV400, "01", Codes{{24, "Z43.0^^^"}}, 'B'},
      {"code without its fill", kV400, "01", Codes::InOrder({"J38.01"}), 'A'},
      {"code in lower case", kV400, "01", Codes::InOrder({"j38.01^^"}), 'A'},
      {"code without its dot", kV400, "01", Codes::InOrder({"Z430^^^^"}), 'A'},
      {"B beats D whatever the field order", kV400, "01", Codes::InOrder({"A02.1^^^", "Z99.2^^^"}), 'B'},
      {"D then B", kV400, "01", Codes::InOrder({"Z99.2^^^", "A02.1^^^"}), 'B'},
      {"excluded row, later row of another code applies", kV400, "01", Codes::InOrder({"I69.091^", "A02.1^^^"}), 'D'},
      {"excluded C row alone", kV400, "01", Codes::InOrder({"I69.091^"}), 'A'},
      {"B row excluded for 15", kV400, "15", Codes::InOrder({"J38.01^^"}), 'A'},
      {"single-code tier wins over a complete pair", kV400, "01", Codes::InOrder({"B39.4^^^", "G02.^^^^", "K91.2^^^"}), 'C'},
      {"last row of 400s1", kV400, "01", Codes::InOrder({"T87.44^^"}), 'D'},
      {"last row of 400s1 excluded for 10", kV400, "10", Codes::InOrder({"T87.44^^"}), 'A'},
      {"trailing-blank list excludes 03", kV400, "03", Codes::InOrder({"I60.10^^"}), 'A'},
      {"trailing-blank list, RIC 04", kV400, "04", Codes::InOrder({"I60.10^^"}), 'D'},
      {"trailing-blank list under 2.90", kV290, "03", Codes::InOrder({"I60.4^^^"}), 'A'},
      {"list without trailing blank under 2.82", kV282, "03", Codes::InOrder({"I60.4^^^"}), 'A'},
      // Version-specific rows.
      {"A04.7 under 2.82", kV282, "01", Codes::InOrder({"A04.7^^^"}), 'C'},
      {"A04.7 under 2.90", kV290, "01", Codes::InOrder({"A04.7^^^"}), 'C'},
      {"A04.7 under 3.00", kV300, "01", Codes::InOrder({"A04.7^^^"}), 'A'},
      {"A04.7 under 4.00", kV400, "01", Codes::InOrder({"A04.7^^^"}), 'A'},
      {"A04.71 under 2.90", kV290, "01", Codes::InOrder({"A04.71^^"}), 'A'},
      {"A04.71 under 3.00", kV300, "01", Codes::InOrder({"A04.71^^"}), 'C'},
      {"A04.72 under 3.10", kV310, "01", Codes::InOrder({"A04.72^^"}), 'C'},
      {"I26.93 only from 4.00", kV310, "01", Codes::InOrder({"I26.93^^"}), 'A'},
      {"I26.93 under 4.00", kV400, "01", Codes::InOrder({"I26.93^^"}), 'D'},
      {"I26.93 under 4.00, RIC 15", kV400, "15", Codes::InOrder({"I26.93^^"}), 'A'},
      {"K82.A1 from 3.10", kV310, "01", Codes::InOrder({"K82.A1^^"}), 'D'},
      {"K82.A1 not in 3.00", kV300, "01", Codes::InOrder({"K82.A1^^"}), 'A'},
      // ICD-9 versions.
      {"438.82 for RIC 02", kV260, "02", Codes::InOrder({"438.82"}), 'C'},
      {"438.82 excluded for RIC 01", kV260, "01", Codes::InOrder({"438.82"}), 'A'},
      {"V44.0 in R24J beats D in R24A", kV260, "01", Codes{{0, "999.1"}, {9, "V44.0"}}, 'B'},
      {"2.60 ignores V44.0 in R24K", kV260, "01", Codes{{0, "999.1"}, {10, "V44.0"}}, 'D'},
      {"2.70 reads V44.0 in R24K", kV270, "01", Codes{{0, "999.1"}, {10, "V44.0"}}, 'B'},
      {"2.70 stops at ^ before R24K", kV270, "01", Codes{{0, "999.1"}, {5, kFill}, {10, "V44.0"}}, 'D'},
      {"2.60 does not stop at ^", kV260, "01", Codes{{0, kFill}, {1, "V55.0"}}, 'B'},
      {"2.40 does not stop at ^", kV240, "01", Codes{{0, kFill}, {1, "V55.0"}}, 'B'},
      {"2.40 ignores R24K to R24Y", kV240, "01", Codes{{10, "V55.0"}, {24, "V44.0"}}, 'A'},
      {"2.70 stops at ^ in R24A", kV270, "01", Codes{{0, "^"}, {1, "V55.0"}}, 'A'},
      {"2.70 blank fields do not stop", kV270, "01", Codes{{24, "V55.0"}}, 'B'},
      {"ICD-9 code with fill", kV260, "01", Codes::InOrder({"V44.0^^^"}), 'A'},
      {"ICD-9 code without its dot", kV260, "01", Codes::InOrder({"V440"}), 'A'},
      {"998.00 in 2.60", kV260, "01", Codes::InOrder({"998.00"}), 'D'},
      {"998.00 in 2.70", kV270, "01", Codes::InOrder({"998.00"}), 'D'},
      {"998.00 not in 2.50", kV250, "01", Codes::InOrder({"998.00"}), 'A'},
      {"998.0 in 2.50", kV250, "01", Codes::InOrder({"998.0"}), 'D'},
      {"998.0 not in 2.60", kV260, "01", Codes::InOrder({"998.0"}), 'A'},
      {"488.01 from 2.50", kV250, "01", Codes::InOrder({"488.01"}), 'D'},
      {"488.01 not in 2.40", kV240, "01", Codes::InOrder({"488.01"}), 'A'},
      {"780.66 in 2.50", kV250, "15", Codes::InOrder({"780.66"}), 'D'},
      {"999.33, last row of 260", kV270, "01", Codes{{24, "999.33"}}, 'D'},
      {"999.1 excluded for 03", kV260, "03", Codes::InOrder({"999.1"}), 'A'},
      {"011.00 under 2.40", kV240, "01", Codes::InOrder({"011.00"}), 'D'},
      {"011.00 excluded for 15", kV240, "15", Codes::InOrder({"011.00"}), 'A'},
      {"ICD-10 code under ICD-9 version", kV260, "01", Codes::InOrder({"Z99.2^^^"}), 'A'},
      {"no version", kNoVersion, "01", Codes::InOrder({"Z99.2^^^"}), 'A'},
      {"no RIC text", kV400, nullptr, Codes::InOrder({"J38.01^^"}), 'B'},
  };
}

TEST(TierStep, CaseTable) {
  for (const TierCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(TierStep(c.version, c.ric, c.codes.list), c.expected);
    EXPECT_EQ(TierStepScan(c.version, c.ric, c.codes.list), c.expected);
  }
}

TEST(TierStep, UnterminatedCodeCellStaysInItsCell) {
  Codes codes;
  std::memset(codes.list, 'Z', sizeof codes.list);  // no terminator anywhere
  for (int v = 0; v < kVersionCount; ++v) {
    EXPECT_EQ(TierStep(static_cast<Version>(v), "01", codes.list), 'A');
    EXPECT_EQ(TierStepScan(static_cast<Version>(v), "01", codes.list), 'A');
  }
}

// A call that leaves secondary rows blocked must not change the next call.
TEST(TierStep, ExclusionsDoNotCarryOver) {
  const Codes pair = Codes::InOrder({"B39.4^^^", "G02.^^^^"});
  const Codes one = Codes::InOrder({"B39.4^^^"});
  for (Version v : {kV282, kV290, kV300, kV400}) {
    EXPECT_EQ(TierStep(v, "03", pair.list), 'A');
    EXPECT_EQ(TierStep(v, "01", one.list), 'D');
    EXPECT_EQ(TierStep(v, "03", pair.list), 'A');
    EXPECT_EQ(TierStep(v, "03", one.list), 'D');
  }
}

TEST(RicInList, CaseTable) {
  struct Case {
    const char* cell;
    const char* ric;
    bool icd10;
    bool expected;
  };
  const Case cases[] = {
      {"03,05", "03", false, true},     {"03,05", "05", false, true},
      {"03,05", "01", false, false},    {"03, 05", "05", false, false},  // ICD-9 keeps the blank
      {"03, 05", "05", true, true},     {"01, 02, 03 ", "03", true, true},
      {"01, 02, 03 ", "04", true, false}, {" ", "01", true, false},
      {" 01", "01", true, false},       {"01,,02", "02", false, true},
      {"01,", "01", false, true},       {"15", "1", true, false},
      {"15", "15", true, true},         {"1", "15", true, false},
      {"01", "", true, false},          {"01,02,03", nullptr, false, false},
      {"09, 10, 11", "11", true, true},  {"0 1", "01", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cell) + " / " + (c.ric ? c.ric : "null"));
    EXPECT_EQ(RicInList(c.cell, c.ric, c.icd10), c.expected);
  }
  // A full cell without a terminator is read up to its width only.
  char full[kTierRicCell];
  std::memset(full, '1', sizeof full);
  EXPECT_FALSE(RicInList(full, "11", true));
}

std::vector<std::string> Rics() {
  std::vector<std::string> rics;
  for (int r = 1; r <= 21; ++r) rics.push_back((r < 10 ? "0" : "") + std::to_string(r));
  rics.push_back("");
  rics.push_back("1");
  return rics;
}

// Every code the tables hold, plus near misses.
std::vector<std::string> CodePool() {
  std::set<std::string> pool;
  for (const TierTable& t : kTierTables) {
    for (int r = 0; r < t.rows; ++r) {
      if (t.kind == TableKind::kPair) {
        pool.insert(t.pairs[r].code1);
        pool.insert(t.pairs[r].code2);
      } else {
        pool.insert(t.single[r].code);
      }
    }
  }
  std::vector<std::string> out(pool.begin(), pool.end());
  for (const std::string& code : std::vector<std::string>(out)) {
    std::string bare = code;
    bare.erase(std::remove(bare.begin(), bare.end(), '^'), bare.end());
    out.push_back(bare);
    std::string lower = code;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    out.push_back(lower);
  }
  for (const char* extra : {"", "^", "^^^^^^^^", "A", "ZZZ.ZZZZ", "000.", "~~~~~~~~"}) out.push_back(extra);
  return out;
}

std::vector<std::string> TableCodes(const TierTableSet& set) {
  std::set<std::string> codes;
  for (const TierTable* t : {set.single, set.pairs, set.secondary}) {
    for (int r = 0; t != nullptr && r < t->rows; ++r) {
      if (t->kind == TableKind::kPair) {
        codes.insert(t->pairs[r].code1);
        codes.insert(t->pairs[r].code2);
      } else {
        codes.insert(t->single[r].code);
      }
    }
  }
  return {codes.begin(), codes.end()};
}

// The indexed search gives the answer of the row-order scan for every code
// of every table a version reads, with every RIC, at the first field, at the
// last field of the walk and (ICD-9) just past the ten-code walk.
TEST(TierStep, IndexAgreesWithScanOnEveryCode) {
  const std::vector<std::string> rics = Rics();
  for (int v = 0; v < kVersionCount; ++v) {
    const Version version = static_cast<Version>(v);
    const TierTableSet& set = *TierTablesFor(version);
    const std::vector<int> positions =
        set.tenCodeWalk ? std::vector<int>{0, 9, 10} : std::vector<int>{0, 24};
    for (const std::string& code : TableCodes(set)) {
      for (int pos : positions) {
        Codes codes;
        codes.Set(pos, code);
        for (const std::string& ric : rics) {
          ASSERT_EQ(TierStep(version, ric.c_str(), codes.list),
                    TierStepScan(version, ric.c_str(), codes.list))
              << kVersionNames[v] << " code \"" << code << "\" at " << pos << " RIC " << ric;
        }
      }
    }
  }
}

Codes RandomCodes(std::mt19937& rng, const std::vector<std::string>& pool) {
  Codes codes;
  std::uniform_int_distribution<int> count(0, kCodeCount);
  std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
  std::uniform_int_distribution<int> pos(0, kCodeCount - 1);
  const int n = count(rng);
  for (int i = 0; i < n; ++i) codes.Set(pos(rng), pool[pick(rng)]);
  return codes;
}

TEST(TierStep, IndexAgreesWithScanOnRandomLists) {
  const std::vector<std::string> pool = CodePool();
  const std::vector<std::string> rics = Rics();
  std::mt19937 rng(20240501);
  std::uniform_int_distribution<size_t> pickRic(0, rics.size() - 1);
  std::uniform_int_distribution<int> pickVersion(-1, kVersionCount - 1);
  std::map<char, int> seen;
  for (int i = 0; i < 40000; ++i) {
    const Codes codes = RandomCodes(rng, pool);
    const Version version = static_cast<Version>(pickVersion(rng));
    const std::string& ric = rics[pickRic(rng)];
    const char expected = TierStepScan(version, ric.c_str(), codes.list);
    ASSERT_EQ(TierStep(version, ric.c_str(), codes.list), expected) << "list " << i;
    ++seen[expected];
  }
  // The random lists reach every outcome, so the comparison means something.
  for (char tier : {'A', 'B', 'C', 'D'}) EXPECT_GT(seen[tier], 0) << tier;
}

// Calls from several threads give the results of the same calls made one at
// a time. Pair cases with blocked codes are mixed with unblocked ones, so
// shared exclusion flags would show up as wrong tiers.
TEST(TierStep, ConcurrentCallsMatchSequentialOnes) {
  struct Call {
    Version version;
    std::string ric;
    Codes codes;
    char expected;
  };
  std::vector<Call> calls;
  for (const TierCase& c : Cases()) {
    if (c.ric != nullptr) calls.push_back({c.version, c.ric, c.codes, 0});
  }
  const std::vector<std::string> pool = CodePool();
  std::mt19937 rng(7);
  for (int i = 0; i < 400; ++i) {
    calls.push_back({static_cast<Version>(4 + i % 5), i % 2 ? "03" : "01", RandomCodes(rng, pool), 0});
  }
  for (Call& c : calls) c.expected = TierStep(c.version, c.ric.c_str(), c.codes.list);

  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 20; ++round) {
        for (size_t i = 0; i < calls.size(); ++i) {
          // Each thread walks the calls in a different order.
          const Call& c = calls[(i * (2 * t + 1) + round) % calls.size()];
          if (TierStep(c.version, c.ric.c_str(), c.codes.list) != c.expected) ++mismatches;
        }
      }
    });
  }
  for (std::thread& th : threads) th.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace tovrel::test
