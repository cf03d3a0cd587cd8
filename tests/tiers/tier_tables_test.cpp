#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tier.h"
#include "tier_tables.h"
#include "tier_test_util.h"

namespace tovrel::test {
namespace {

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

class EveryTable : public ::testing::TestWithParam<int> {};

// Letter and code order, no duplicates, list cells, code forms, "D" in pair
// and secondary tables, code index.
TEST_P(EveryTable, IsSound) {
  const TierTable& t = kTierTables[GetParam()];
  EXPECT_EQ(Join(CheckTierTable(t)), "");
  EXPECT_GT(t.rows, 0);
  EXPECT_LE(t.rows, t.expectedRows);
}

INSTANTIATE_TEST_SUITE_P(Tiers, EveryTable, ::testing::Range(0, static_cast<int>(kTierTableCount)),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string("t") + kTierTables[info.param].name;
                         });

TEST(TierTables, IcdTenSetsShareNoCodeBetweenStages) {
  for (Version v : {kV282, kV290, kV300, kV310, kV400}) {
    SCOPED_TRACE(kVersionNames[v]);
    EXPECT_EQ(Join(CheckTierTableSet(*TierTablesFor(v))), "");
  }
}

TEST(TierTables, EachVersionReadsItsTables) {
  struct Expect {
    Version version;
    const char* single;
    const char* pairs;
    const char* secondary;
    bool ten;
  };
  const Expect expect[] = {
      {kV240, "240", nullptr, nullptr, true},       {kV250, "250", nullptr, nullptr, true},
      {kV260, "260", nullptr, nullptr, true},       {kV270, "260", nullptr, nullptr, false},
      {kV282, "281s1", "281c", "281s2", false},     {kV290, "290s1", "290c", "290s2", false},
      {kV300, "300s1", "300c", "290s2", false},     {kV310, "310s1", "300c", "290s2", false},
      {kV400, "400s1", "300c", "290s2", false},
  };
  auto name = [](const TierTable* t) { return std::string(t ? t->name : "-"); };
  for (const Expect& e : expect) {
    const TierTableSet* set = TierTablesFor(e.version);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(name(set->single), e.single);
    EXPECT_EQ(name(set->pairs), e.pairs ? e.pairs : "-");
    EXPECT_EQ(name(set->secondary), e.secondary ? e.secondary : "-");
    EXPECT_EQ(set->tenCodeWalk, e.ten);
    EXPECT_NE(std::string(set->single->versions).find(kVersionNames[e.version]), std::string::npos);
  }
  EXPECT_EQ(TierTablesFor(kNoVersion), nullptr);
  EXPECT_EQ(TierTablesFor(static_cast<Version>(kVersionCount)), nullptr);
}

TEST(TierTables, OlderPairAndSecondaryTablesAreCopiesRowForRow) {
  const TierTable& c281 = kTierTables[kTable281c];
  const TierTable& c290 = kTierTables[kTable290c];
  ASSERT_EQ(c281.rows, c290.rows);
  for (int r = 0; r < c281.rows; ++r) {
    EXPECT_EQ(std::memcmp(&c281.pairs[r], &c290.pairs[r], sizeof(PairRow)), 0) << "row " << r + 1;
  }
  const TierTable& s281 = kTierTables[kTable281s2];
  const TierTable& s290 = kTierTables[kTable290s2];
  ASSERT_EQ(s281.rows, s290.rows);
  for (int r = 0; r < s281.rows; ++r) {
    EXPECT_EQ(std::memcmp(&s281.single[r], &s290.single[r], sizeof(TierRow)), 0) << "row " << r + 1;
  }
  // They are separate arrays, not one table under two names.
  EXPECT_NE(c281.pairs, c290.pairs);
  EXPECT_NE(s281.single, s290.single);
}

// Counts of the published tables: letters of the single-code tables' first
// rows, and the pair and secondary tables in full.
TEST(TierTables, LetterCountsAndCompleteTables) {
  struct Expect {
    TierTableId id;
    int b, c, withList;  // withList: pair and secondary tables only
  };
  const Expect expect[] = {
      {kTable240, 8, 11, -1},   {kTable250, 8, 11, -1},   {kTable260, 8, 11, -1},
      {kTable281s1, 6, 17, -1}, {kTable290s1, 6, 17, -1}, {kTable300s1, 6, 18, -1},
      {kTable310s1, 6, 18, -1}, {kTable400s1, 6, 18, -1}, {kTable281c, 0, 0, 23},
      {kTable290c, 0, 0, 23},   {kTable300c, 0, 0, 23},   {kTable281s2, 0, 0, 12},
      {kTable290s2, 0, 0, 12},
  };
  for (const Expect& e : expect) {
    const TierTable& t = kTierTables[e.id];
    SCOPED_TRACE(t.name);
    int b = 0, c = 0, withList = 0;
    for (int r = 0; r < t.rows; ++r) {
      const char tier = t.kind == TableKind::kPair ? t.pairs[r].tier : t.single[r].tier;
      const char* ric = t.kind == TableKind::kPair ? t.pairs[r].ric : t.single[r].ric;
      b += tier == 'B';
      c += tier == 'C';
      withList += ric[0] != ' ';
    }
    EXPECT_EQ(b, e.b);
    EXPECT_EQ(c, e.c);
    if (e.withList >= 0) {
      EXPECT_EQ(t.rows, t.expectedRows);
      EXPECT_EQ(withList, e.withList);
    }
  }
}

TEST(TierTables, CompletenessFollowsHeldRows) {
  // Only the single-code tables lack rows until the published lists are
  // imported.
  for (int v = 0; v < kVersionCount; ++v) {
    const TierTableSet* set = TierTablesFor(static_cast<Version>(v));
    EXPECT_EQ(TierTablesComplete(static_cast<Version>(v)),
              set->single->rows == set->single->expectedRows)
        << kVersionNames[v];
  }
  EXPECT_TRUE(TierTablesComplete(kNoVersion));
}

TEST(TierTables, KPairsDifferBetween290And300) {
  auto hasPair = [](const TierTable& t, const char* a, const char* b) {
    for (int r = 0; r < t.rows; ++r) {
      if (std::strcmp(t.pairs[r].code1, a) == 0 && std::strcmp(t.pairs[r].code2, b) == 0) return true;
    }
    return false;
  };
  EXPECT_TRUE(hasPair(kTierTables[kTable290c], "K25.0^^^", "K56.60^^"));
  EXPECT_TRUE(hasPair(kTierTables[kTable281c], "K26.6^^^", "K56.60^^"));
  EXPECT_FALSE(hasPair(kTierTables[kTable300c], "K25.0^^^", "K56.60^^"));
  for (const char* second : {"K56.600^", "K56.601^", "K56.609^"}) {
    EXPECT_TRUE(hasPair(kTierTables[kTable300c], "K25.0^^^", second));
    EXPECT_FALSE(hasPair(kTierTables[kTable290c], "K25.0^^^", second));
  }
}

// The last row of every table gives its tier. "04" is on no list.
TEST(TierTables, LastRowOfEveryTableIsReached) {
  for (int v = 0; v < kVersionCount; ++v) {
    const Version version = static_cast<Version>(v);
    const TierTableSet& set = *TierTablesFor(version);
    SCOPED_TRACE(kVersionNames[v]);
    const TierRow& last = set.single->single[set.single->rows - 1];
    Codes codes = Codes::InOrder({last.code});
    EXPECT_EQ(TierStep(version, "04", codes.list), last.tier);
    if (set.pairs == nullptr) continue;
    const PairRow& lastPair = set.pairs->pairs[set.pairs->rows - 1];
    codes = Codes::InOrder({lastPair.code1, lastPair.code2});
    EXPECT_EQ(TierStep(version, "04", codes.list), lastPair.tier);
    const TierRow& lastSecondary = set.secondary->single[set.secondary->rows - 1];
    codes = Codes::InOrder({lastSecondary.code});
    EXPECT_EQ(TierStep(version, "04", codes.list), lastSecondary.tier);
  }
}

// The checks themselves: each broken table is reported.
TEST(TierTableChecks, ReportBrokenTables) {
  struct Case {
    const char* what;
    bool icd10;
    std::vector<TierRow> rows;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"C before B", true, {{"A02.1^^^", " ", 'C'}, {"B02.1^^^", " ", 'B'}}, "tier B after tier C"},
      {"codes out of order", true, {{"B02.1^^^", " ", 'D'}, {"A02.1^^^", " ", 'D'}}, "not after"},
      {"duplicate across letters", true, {{"A02.1^^^", " ", 'C'}, {"A02.1^^^", " ", 'D'}}, "stands twice"},
      {"empty code", false, {{"", " ", 'D'}}, "empty code"},
      {"fill in ICD-9", false, {{"478.3^", " ", 'B'}}, "holds \"^\""},
      {"ICD-10 without fill", true, {{"A02.1", " ", 'D'}}, "not 8 characters"},
      {"ICD-10 without dot", true, {{"A021^^^^", " ", 'D'}}, "no dot"},
      {"ICD-10 character after fill", true, {{"A02.^1^^", " ", 'D'}}, "filled"},
      {"empty list cell", true, {{"A02.1^^^", "", 'D'}}, "neither a single blank"},
      {"list of blanks", true, {{"A02.1^^^", "  ", 'D'}}, "neither a single blank"},
      {"list with a letter", true, {{"A02.1^^^", "01, X2", 'D'}}, "two-digit"},
      {"ICD-9 list with blank", false, {{"478.31", "01, 02", 'B'}}, "holds a blank"},
      {"list of commas", false, {{"478.31", "0,", 'B'}}, "two-digit"},
      {"tier E", true, {{"A02.1^^^", " ", 'E'}}, "not B, C or D"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TierTable t{"test", TableKind::kSingle, c.icd10, "", 100, static_cast<int>(c.rows.size()),
                      c.rows.data(), nullptr, nullptr};
    EXPECT_NE(Join(CheckTierTable(t)).find(c.message), std::string::npos) << Join(CheckTierTable(t));
  }

  const TierRow secondaryC[] = {{"A02.1^^^", " ", 'C'}};
  const TierTable secondary{"s2", TableKind::kSecondary, true, "", 1, 1, secondaryC, nullptr, nullptr};
  EXPECT_NE(Join(CheckTierTable(secondary)).find("carry \"D\""), std::string::npos);

  const PairRow pairRows[] = {{"A02.1^^^", "B02.1^^^", " ", 'D'},
                              {"A02.1^^^", "B02.1^^^", " ", 'D'},
                              {"C02.1^^^", "C02.1^^^", " ", 'D'}};
  const TierTable pairs{"c", TableKind::kPair, true, "", 3, 3, nullptr, pairRows, nullptr};
  const std::string pairProblems = Join(CheckTierTable(pairs));
  EXPECT_NE(pairProblems.find("repeated"), std::string::npos);
  EXPECT_NE(pairProblems.find("one code twice"), std::string::npos);

  const TierRow tooMany[] = {{"A02.1^^^", " ", 'D'}};
  const TierTable over{"x", TableKind::kSingle, true, "", 0, 1, tooMany, nullptr, nullptr};
  EXPECT_NE(Join(CheckTierTable(over)).find("more than"), std::string::npos);

  const unsigned short badIndex[] = {1, 0};
  const TierRow two[] = {{"A02.1^^^", " ", 'D'}, {"B02.1^^^", " ", 'D'}};
  const TierTable indexed{"i", TableKind::kSingle, true, "", 2, 2, two, nullptr, badIndex};
  EXPECT_NE(Join(CheckTierTable(indexed)).find("index out of order"), std::string::npos);

  // Across a set: a single code that is also a pair code; a secondary code
  // in no pair.
  const TierRow single[] = {{"A02.1^^^", " ", 'D'}};
  const TierRow secondaryRows[] = {{"Z99.9^^^", " ", 'D'}};
  const TierTable s1{"s1", TableKind::kSingle, true, "", 1, 1, single, nullptr, nullptr};
  const TierTable s2{"s2", TableKind::kSecondary, true, "", 1, 1, secondaryRows, nullptr, nullptr};
  const TierTableSet set{&s1, &pairs, &s2, false};
  const std::string setProblems = Join(CheckTierTableSet(set));
  EXPECT_NE(setProblems.find("\"A02.1^^^\" is also in c"), std::string::npos) << setProblems;
  EXPECT_NE(setProblems.find("\"Z99.9^^^\" is in no pair"), std::string::npos) << setProblems;
}

}  // namespace
}  // namespace tovrel::test
