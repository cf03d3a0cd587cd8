#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "grouping.h"
#include "partition_tables.h"
#include "record_builder.h"
#include "tovrel.h"

namespace {

using tovrel::FimCmg;
using tovrel::GgCmg;
using tovrel::kFimPartition;
using tovrel::kFimPartitionRows;
using tovrel::kGgPartition;
using tovrel::kGgPartitionRows;
using tovrel::kImpairment;
using tovrel::kImpairmentRows;
using tovrel::NumPrefix;

std::string Ric(int n) {
  char text[3];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

TEST(ImpairmentLookup, CodeIsCharactersThreeToNineWithoutBlanks) {
  const struct {
    const char* r21a;  // nine characters
    const char* ric;   // nullptr: not found
  } cases[] = {
      {"  01.1   ", "01"}, {"9901.1   ", "01"}, {"  01 .1  ", "01"}, {"   0 1.1 ", "01"},
      {"01.1     ", nullptr}, {"         ", nullptr}, {"  09     ", "14"}, {"  11     ", "21"},
      {"  04.2211", "04"}, {"  04.221 ", nullptr}, {"  04.22111", "04"},  // ninth char ends it
      {"  04.221X", nullptr}, {"  01.1x  ", nullptr}, {"  1.1    ", nullptr},
      {"  17.9   ", "20"}, {"  03.4   ", "19"},
  };
  for (const auto& c : cases) {
    const char* ric = tovrel::LookUpRic(c.r21a);
    if (c.ric == nullptr) {
      EXPECT_EQ(ric, nullptr) << c.r21a;
    } else {
      ASSERT_NE(ric, nullptr) << c.r21a;
      EXPECT_STREQ(ric, c.ric) << c.r21a;
    }
  }
}

TEST(ImpairmentLookup, ReadsThePositionPastTheItemWidth) {
  // Position 728 belongs to the impairment group although R21A is 8 wide.
  tovrel::test::Record r = tovrel::test::ValidFimRecord();
  r.Set("R21A", "  04.221").At(728, "1");
  EXPECT_STREQ(tovrel::test::Group(r).cmg, "A0402");
  r.At(728, "9");
  EXPECT_EQ(tovrel::test::Group(r).status, 9);
}

TEST(ImpairmentTable, EveryCodeOnceAndEveryRicReached) {
  std::set<std::string> codes, rics;
  for (int row = 1; row <= kImpairmentRows; ++row) {
    EXPECT_TRUE(codes.insert(kImpairment[row].Imp240).second) << row;
    rics.insert(kImpairment[row].Ric240);
    EXPECT_EQ(std::strchr(kImpairment[row].Imp240, ' '), nullptr) << row;
  }
  EXPECT_EQ(rics.size(), 21u);
  EXPECT_STREQ(kImpairment[kImpairmentRows].Imp240, "11");
  EXPECT_STREQ(kImpairment[kImpairmentRows].Ric240, "21");
}

TEST(FimPartition, LookupCases) {
  const struct {
    const char* ric;
    int motor, cog, age;
    const char* cmg;
  } cases[] = {
      {"01", 500, 19, 70, "0102"}, {"01", 500, 18, 70, "0103"}, {"01", 500, 4, 70, "0000"},
      {"01", 500, 36, 70, "0000"}, {"01", 261, 20, 85, "0108"}, {"01", 261, 20, 84, "0109"},
      {"01", 223, 20, 84, "0110"}, {"01", 224, 20, 84, "0109"}, {"01", 840, 20, 50, "0101"},
      {"01", 841, 20, 50, "0000"}, {"01", 120, 20, 84, "0110"}, {"01", 119, 20, 50, "0000"},
      {"02", 534, 24, 50, "0201"}, {"02", 534, 23, 50, "0203"}, {"04", 150, 5, 64, "0404"},
      {"04", 150, 5, 63, "0405"},  {"21", 120, 5, 0, "2101"},   {"21", 840, 35, 140, "2101"},
      {"01", 200, 20, -7, "0000"},  // no row holds a negative age in an age band
      {"22", 500, 20, 50, "0000"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(FimCmg(c.ric, c.motor, c.cog, c.age), c.cmg)
        << c.ric << " " << c.motor << " " << c.cog << " " << c.age;
  }
}

TEST(GgPartition, LookupCases) {
  const struct {
    const char* ric;
    int motor, age;
    const char* cmg;
  } cases[] = {
      {"01", 1040, 50, "0101"}, {"01", 1050, 50, "0000"}, {"01", 180, 84, "0106"},
      {"01", 180, 85, "0105"},  {"01", 170, 50, "0000"},  {"04", 310, 61, "0404"},
      {"04", 310, 62, "0406"},  {"04", 240, 62, "0407"},  {"04", 320, 0, "0405"},
      {"04", 320, 140, "0405"}, {"13", 450, 64, "1305"},  {"13", 450, 65, "1303"},
      {"21", 1040, 0, "2101"},  {"21", 180, 0, "2102"},
      // Restored lower bounds of RICs 14 to 18.
      {"14", 560, 50, "1402"},  {"15", 570, 50, "1502"},  {"15", 560, 50, "1503"},
      {"16", 180, 50, "1604"},  {"16", 360, 50, "1604"},  {"16", 600, 50, "1602"},
      {"17", 1040, 50, "1701"}, {"17", 575, 50, "1701"},  {"17", 574, 50, "1702"},
      {"17", 505, 50, "1702"},  {"17", 504, 50, "1703"},  {"17", 415, 50, "1703"},
      {"17", 414, 50, "1704"},  {"17", 365, 50, "1704"},  {"17", 364, 50, "1705"},
      {"17", 180, 50, "1705"},  {"18", 680, 50, "1801"},  {"18", 600, 50, "1802"},
      {"18", 500, 50, "1803"},  {"18", 420, 50, "1804"},  {"18", 350, 50, "1805"},
      {"18", 200, 50, "1806"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(GgCmg(c.ric, c.motor, c.age), c.cmg) << c.ric << " " << c.motor << " " << c.age;
  }
}

struct Band {
  int motLow, motHigh;
  bool hasCog;
  int cogLow, cogHigh;
  bool hasAge;
  int ageLow, ageHigh;
  std::string cmg;
};

bool Holds(const Band& b, int motor, int cog, int age) {
  return b.motLow <= motor && motor <= b.motHigh &&
         (!b.hasCog || (b.cogLow <= cog && cog <= b.cogHigh)) &&
         (!b.hasAge || (b.ageLow <= age && age <= b.ageHigh));
}

std::vector<Band> FimBands(const std::string& ric) {
  std::vector<Band> bands;
  for (int row = 1; row <= kFimPartitionRows; ++row) {
    const auto& r = kFimPartition[row];
    if (ric != r.RicCode) continue;
    const bool cog = r.CogLow[0] != ' ' && r.CogHigh[0] != ' ';
    const bool age = r.AgeLow[0] != ' ' && r.AgeHigh[0] != ' ';
    bands.push_back({NumPrefix(r.MotLow), NumPrefix(r.MotHigh), cog, NumPrefix(r.CogLow),
                     NumPrefix(r.CogHigh), age, NumPrefix(r.AgeLow), NumPrefix(r.AgeHigh), r.CMG});
  }
  return bands;
}

std::vector<Band> GgBands(const std::string& ric) {
  std::vector<Band> bands;
  for (int row = 1; row <= kGgPartitionRows; ++row) {
    const auto& r = kGgPartition[row];
    if (ric != r.RicCode40) continue;
    const bool age = r.AgeLow40[0] != ' ' && r.AgeHigh40[0] != ' ';
    bands.push_back({NumPrefix(r.MotLow40), NumPrefix(r.MotHigh40), false, 0, 0, age,
                     NumPrefix(r.AgeLow40), NumPrefix(r.AgeHigh40), r.CMG40});
  }
  return bands;
}

// Every combination in the partition's range falls in exactly one row of its
// RIC, so row order never decides and no assessment in range gets "0000".
TEST(FimPartition, EveryValueInRangeMatchesExactlyOneRow) {
  for (int n = 1; n <= 21; ++n) {
    const std::string ric = Ric(n);
    const std::vector<Band> bands = FimBands(ric);
    ASSERT_FALSE(bands.empty()) << ric;
    for (int motor = 120; motor <= 840; ++motor) {
      for (int cog = 5; cog <= 35; ++cog) {
        for (int age = 0; age <= 140; ++age) {
          int matches = 0;
          const Band* first = nullptr;
          for (const Band& b : bands) {
            if (Holds(b, motor, cog, age)) {
              if (++matches == 1) first = &b;
            }
          }
          ASSERT_EQ(matches, 1) << ric << " motor " << motor << " cog " << cog << " age " << age;
          if (age % 20 == 0 || age == 63 || age == 64 || age == 83 || age == 84 || age == 85) {
            ASSERT_EQ(first->cmg, FimCmg(ric.c_str(), motor, cog, age));
          }
        }
      }
    }
  }
}

TEST(GgPartition, EveryValueInRangeMatchesExactlyOneRow) {
  for (int n = 1; n <= 21; ++n) {
    const std::string ric = Ric(n);
    const std::vector<Band> bands = GgBands(ric);
    ASSERT_FALSE(bands.empty()) << ric;
    for (int motor = 180; motor <= 1040; motor += 10) {
      for (int age = 0; age <= 140; ++age) {
        int matches = 0;
        const Band* first = nullptr;
        for (const Band& b : bands) {
          if (Holds(b, motor, 0, age) && ++matches == 1) first = &b;
        }
        ASSERT_EQ(matches, 1) << ric << " motor " << motor << " age " << age;
        ASSERT_EQ(first->cmg, GgCmg(ric.c_str(), motor, age));
      }
    }
  }
}

TEST(PartitionTables, RowsGroupedByAscendingRicAndCmgsNamedAfterIt) {
  std::string last = "00";
  for (int row = 1; row <= kFimPartitionRows; ++row) {
    const auto& r = kFimPartition[row];
    EXPECT_GE(std::string(r.RicCode), last) << row;
    last = r.RicCode;
    EXPECT_EQ(std::string(r.CMG).substr(0, 2), r.RicCode) << row;
    EXPECT_LE(NumPrefix(r.MotLow), NumPrefix(r.MotHigh)) << row;
  }
  last = "00";
  for (int row = 1; row <= kGgPartitionRows; ++row) {
    const auto& r = kGgPartition[row];
    EXPECT_GE(std::string(r.RicCode40), last) << row;
    last = r.RicCode40;
    EXPECT_EQ(std::string(r.CMG40).substr(0, 2), r.RicCode40) << row;
    EXPECT_LE(NumPrefix(r.MotLow40), NumPrefix(r.MotHigh40)) << row;
    EXPECT_EQ(std::strlen(r.MotHigh40), 4u) << row;
  }
  EXPECT_STREQ(kFimPartition[kFimPartitionRows].CMG, "2101");
  EXPECT_STREQ(kGgPartition[kGgPartitionRows].CMG40, "2102");
}

}  // namespace
