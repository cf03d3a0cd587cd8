#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "grouping.h"
#include "record_builder.h"

namespace {

using tovrel::test::Group;
using tovrel::test::Grouped;
using tovrel::test::Record;

const char* const kFimMotor[] = {"R39AA", "R39BA", "R39CA", "R39DA", "R39EA", "R39FA",
                                 "R39GA", "R39HA", "R39IA", "R39JA", "R39LA", "R39MA"};
const char* const kFimCog[] = {"R39NA", "R39OA", "R39PA", "R39QA", "R39RA"};

TEST(MotorScoreText, PutsThePointBeforeTheTenthsDigit) {
  const std::pair<int, const char*> cases[] = {
      {840, "84.0"}, {134, "13.4"}, {120, "12.0"}, {1234, "123.4"}, {45, "4.5"},
      {7, ".7"},     {0, ".0"},     {-5, "-.5"},   {-45, "-4.5"},   {11880, "1188.0"},
      {-1080, "-108.0"},
  };
  for (const auto& [total, text] : cases) {
    char out[16];
    tovrel::MotorScoreText(total, true, out);
    EXPECT_STREQ(out, text) << total;
  }
}

TEST(MotorScoreText, WholePointsForTheGgForm) {
  const std::pair<int, const char*> cases[] = {{25, "25"}, {104, "104"}, {-3, "-3"}, {0, "0"}};
  for (const auto& [total, text] : cases) {
    char out[16];
    tovrel::MotorScoreText(total, false, out);
    EXPECT_STREQ(out, text) << total;
  }
}

Record FimWith(const char* motor, const char* cog) {
  Record r = tovrel::test::ValidFimRecord();
  for (const char* item : kFimMotor) r.Set(item, motor);
  for (const char* item : kFimCog) r.Set(item, cog);
  return r;
}

TEST(FimScores, WeightsRecodesAndTotals) {
  struct Case {
    const char* what;
    Record record;
    const char* motorScore;
    int cogScore;
  };
  const Case cases[] = {
      // Eleven blank items count 1, R39JA counts 2: 120 + 14.
      {"all blank", FimWith("  ", "  "), "13.4", 5},
      {"all 07", FimWith("07", "07"), "84.0", 35},
      {"all 01", FimWith("01", "01"), "12.0", 5},
      {"all 07, R39IA 08", FimWith("07", "07").Set("R39IA", "08"), "86.2", 35},
      {"R39IA -5, others 01", FimWith("01", "01").Set("R39IA", "-5"), "-1.2", 5},
      {"values read as their prefix", FimWith(" 5", "5 "), "60.0", 25},
      {"out-of-scale values are kept", FimWith("01", "88").Set("R39AA", "99"), "70.8", 440},
      {"a sign and a blank reads 0", FimWith("01", "- "), "12.0", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Grouped o = Group(c.record);
    EXPECT_EQ(o.status, 0);
    EXPECT_STREQ(o.motorScore, c.motorScore);
    EXPECT_EQ(o.cogScore, c.cogScore);
  }
}

Record GgWith(const char* items, const char* h0350, const char* h0400) {
  Record r = tovrel::test::ValidGgRecord();
  for (int i = 48; i <= 63; ++i) r.Set(iTems[i].name, items);
  return r.Set("H0350", h0350).Set("H0400", h0400);
}

TEST(GgScores, RecodesAndTotals) {
  struct Case {
    const char* what;
    Record record;
    const char* motorScore;
    const char* cmg;  // RIC 01, age 69
  };
  const Case cases[] = {
      // Fifteen items count 1, GG0170F1 2, both H items 4.
      {"all blank", GgWith("  ", " ", " "), "25", "A0106"},
      {"highest bound", GgWith("06", "0", "0"), "104", "A0101"},
      {"lowest bound", GgWith("01", "4", "3"), "18", "A0106"},
      {"88 and 9s recoded", GgWith("88", "9", "9"), "20", "A0106"},
      {"07, 09 and 10 recoded", GgWith("07", "1", "1").Set("GG0130B1", "09").Set("GG0130C1", "10"),
       "24", "A0106"},
      {"08 and 05 count as read", GgWith("01", "4", "3").Set("GG0130A1", "08").Set("GG0130B1", "05"),
       "29", "A0106"},
      {"H0400 4 counts as read", GgWith("01", "4", "4"), "21", "A0106"},
      {"H items 6 to 8 as read", GgWith("01", "7", "8"), "31", "A0106"},
      {"H0350 5 counts 4", GgWith("01", "5", "3"), "21", "A0106"},
      {"non-digit H items count 4", GgWith("01", "X", "-"), "24", "A0106"},
      {"above every band", GgWith("07", "0", "0").Set("GG0130A1", "99"), "123", "A0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Grouped o = Group(c.record);
    EXPECT_EQ(o.status, 0);
    EXPECT_STREQ(o.motorScore, c.motorScore);
    EXPECT_STREQ(o.cmg, c.cmg);
    EXPECT_EQ(o.cogScore, 0);
  }
}

}  // namespace
