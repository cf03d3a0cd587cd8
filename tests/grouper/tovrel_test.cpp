#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "record_builder.h"
#include "tovrel.h"

namespace {

using tovrel::test::Group;
using tovrel::test::Grouped;
using tovrel::test::Record;
using tovrel::test::ValidFimRecord;
using tovrel::test::ValidGgRecord;

using Edits = std::vector<std::pair<std::string, std::string>>;

Record Edited(Record r, const Edits& edits) {
  for (const auto& [item, value] : edits) r.Set(item, value);
  return r;
}

// Outputs that a failed check leaves besides status, age and version.
void ExpectFailureOutputs(const Grouped& o) {
  EXPECT_STREQ(o.cmg, "     ");
  EXPECT_STREQ(o.motorScore, " 0.0");
  EXPECT_EQ(o.cogScore, 0);
  EXPECT_STREQ(o.programVersion, "4.00");
  EXPECT_EQ(o.errorCode, o.status);
}

TEST(Tovrel, ValidRecordFillsEveryOutput) {
  const Grouped o = Group(ValidFimRecord());
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.errorCode, 0);
  EXPECT_STREQ(o.cmg, "A0102");
  EXPECT_STREQ(o.motorScore, "48.0");
  EXPECT_EQ(o.cogScore, 25);
  EXPECT_EQ(o.age, 69);
  EXPECT_STREQ(o.grouperVersion, "2.60");
  EXPECT_STREQ(o.programVersion, "4.00");
}

struct CheckCase {
  const char* what;
  Edits edits;
  int status;
  int age;
  const char* grouperVersion;
};

TEST(Tovrel, ChecksRunInOrderAndTheFirstFailureDecides) {
  const CheckCase cases[] = {
      {"system code with blanks around and inside", {{"ASMT_SYS_CD", " IRF- PAI "}}, 0, 69, "2.60"},
      {"system code in lower case", {{"ASMT_SYS_CD", "irf-pai"}}, 1, 0, "2.60"},
      {"system code with one more character", {{"ASMT_SYS_CD", "IRF-PAIX"}}, 1, 0, "2.60"},
      {"blank system code", {{"ASMT_SYS_CD", "          "}}, 1, 0, "2.60"},
      {"wrong system code and transaction 3",
       {{"ASMT_SYS_CD", "MDS"}, {"TRANS_TYPE_CD", "3"}}, 1, 0, "2.60"},
      {"transaction type 3", {{"TRANS_TYPE_CD", "3"}}, 2, 0, "2.60"},
      {"transaction type blank", {{"TRANS_TYPE_CD", " "}}, 0, 69, "2.60"},
      {"transaction 3 and early discharge", {{"TRANS_TYPE_CD", "3"}, {"R40", "20100630"}}, 2, 0,
       "    "},
      {"discharge before July 2010", {{"R40", "20100630"}}, 3, 0, "    "},
      {"blank discharge date", {{"R40", "        "}}, 3, 0, "    "},
      {"discharge date with a letter", {{"R40", "2013042X"}}, 3, 0, "    "},
      {"early discharge and bad birth date", {{"R40", "20100630"}, {"R6", "2013    "}}, 3, 0,
       "    "},
      {"blank in a birth date of the admission year", {{"R6", "2013 4  "}}, 5, 0, "2.60"},
      {"blank birth and admission years", {{"R6", "        "}, {"R12", "        "}}, 5, 0,
       "2.60"},
      {"admission before birth", {{"R12", "19400101"}}, 6, 0, "2.60"},
      {"blank admission date", {{"R12", "        "}}, 6, 0, "2.60"},
      {"age 140 passes", {{"R6", "18730402"}}, 0, 140, "2.60"},
      {"age 141", {{"R6", "18730403"}, {"R12", "20140403"}, {"R40", "20140403"}}, 7, 141, "2.60"},
      {"all-blank birth date reads year 0", {{"R6", "        "}}, 7, 2012, "2.60"},
      {"negative age passes", {{"R6", "2020 101"}}, 0, -7, "2.60"},
      {"unknown impairment group", {{"R21A", "  99.9"}}, 9, 69, "2.60"},
      {"age 141 and unknown impairment", {{"R6", "18720101"}, {"R21A", "  99.9"}}, 7, 141,
       "2.60"},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Grouped o = Group(Edited(ValidFimRecord(), c.edits));
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.age, c.age);
    EXPECT_STREQ(o.grouperVersion, c.grouperVersion);
    if (c.status != 0) ExpectFailureOutputs(o);
  }
}

TEST(Tovrel, DischargeDateSelectsTheVersion) {
  const struct {
    const char* date;
    const char* version;
  } cases[] = {
      {"20100701", "2.40"}, {"20100930", "2.40"}, {"20101001", "2.50"}, {"20110930", "2.50"},
      {"20111001", "2.60"}, {"20140930", "2.60"}, {"20141001", "2.70"}, {"20150930", "2.70"},
      {"20151001", "2.82"}, {"20160930", "2.82"}, {"20161001", "2.90"}, {"20170930", "2.90"},
      {"20171001", "3.00"}, {"20180930", "3.00"}, {"20181001", "3.10"}, {"20190930", "3.10"},
      {"20191001", "4.00"}, {"20991231", "4.00"}, {"99999999", "4.00"},
      // Between two ranges: no version, but the record still groups.
      {"20100931", "    "}, {"20140999", "    "}, {"20191000", "    "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    const Grouped o = Group(Edited(ValidGgRecord(), {{"R40", c.date}}));
    EXPECT_EQ(o.status, 0);
    EXPECT_STREQ(o.grouperVersion, c.version);
    EXPECT_EQ(o.cmg[0], 'A');
  }
}

TEST(Tovrel, AgeCountsWholeYearsWithBirthDateDefaults) {
  const struct {
    const char* birth;
    const char* admission;
    int age;
  } cases[] = {
      {"1950    ", "20100815", 60},  // month and day default to 06 and 15
      {"1950    ", "20100301", 59},
      {"1950    ", "20100615", 60},
      {"1950    ", "20100614", 59},
      {"195008  ", "20100814", 59},  // day alone defaults to 15
      {"1950  20", "20100619", 59},  // month alone defaults to 06
      {"19500815", "20100815", 60},  // the birthday counts the full year
      {"19500815", "20100814", 59},
      {"19520229", "20130228", 60},
      {"19520229", "20130301", 61},
      {"19991231", "20000101", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.birth) + " / " + c.admission);
    const Grouped o = Group(Edited(ValidFimRecord(), {{"R6", c.birth}, {"R12", c.admission}}));
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.age, c.age);
  }
}

TEST(Tovrel, BirthDateDefaultsNeverChangeTheRecord) {
  const Record r = Edited(ValidFimRecord(), {{"R6", "1950    "}});
  const std::string before = r.text();
  Group(r);
  EXPECT_EQ(r.text(), before);
}

TEST(Tovrel, ScoreFormFollowsTheDischargeDate) {
  // Both forms' items are filled; the date alone decides which count.
  Record r = ValidGgRecord();
  for (const char* item : {"R39AA", "R39BA", "R39CA", "R39DA", "R39EA", "R39FA", "R39GA",
                           "R39HA", "R39IA", "R39JA", "R39LA", "R39MA"}) {
    r.Set(item, "04");
  }
  const Grouped fim = Group(Edited(r, {{"R40", "20191000"}}));
  EXPECT_STREQ(fim.motorScore, "48.0");
  EXPECT_EQ(fim.cogScore, 25);
  const Grouped gg = Group(Edited(r, {{"R40", "20191001"}}));
  EXPECT_STREQ(gg.motorScore, "53");
  EXPECT_EQ(gg.cogScore, 0);
  EXPECT_STREQ(gg.cmg, "A0103");
}

// Short or unterminated input must never be read past its end; run under
// AddressSanitizer, the exact-size heap buffers below catch any overread.
TEST(TovrelShortRecord, ShortTextReadsAsBlanks) {
  const std::string text = "IRF-PAI";
  std::unique_ptr<char[]> exact(new char[text.size() + 1]);
  std::memcpy(exact.get(), text.c_str(), text.size() + 1);
  const Grouped o = Group(exact.get());
  EXPECT_EQ(o.status, 3);  // blank discharge date
  EXPECT_STREQ(o.grouperVersion, "    ");
}

TEST(TovrelShortRecord, EmptyAndNullRecordsFailTheSystemCodeCheck) {
  EXPECT_EQ(Group("").status, 1);
  EXPECT_EQ(Group(static_cast<const char*>(nullptr)).status, 1);
}

TEST(TovrelShortRecord, UnterminatedBufferOfTheReadLengthGroupsLikeTheFullRecord) {
  const Record full = ValidFimRecord();
  std::unique_ptr<char[]> exact(new char[kRecordReadLength]);
  std::memcpy(exact.get(), full.c_str(), kRecordReadLength);
  const Grouped a = Group(full), b = Group(exact.get());
  EXPECT_EQ(b.status, 0);
  EXPECT_STREQ(a.cmg, b.cmg);
  EXPECT_STREQ(a.motorScore, b.motorScore);
  EXPECT_EQ(a.age, b.age);
}

TEST(TovrelShortRecord, RecordEndsAtItsTerminator) {
  // A terminator inside the discharge date: what follows is never read.
  std::string text = ValidFimRecord().text();
  text[Record::Position("R40") + 4 - 1] = '\0';
  const Grouped o = Group(text.c_str());
  EXPECT_EQ(o.status, 3);  // "2013" and blanks
}

TEST(TovrelShortRecord, TextEndingBeforeTheLastFieldsGroups) {
  // Cut just before the GG items: a FIM assessment is complete by then.
  const std::string text = ValidFimRecord().text().substr(0, 1300);
  std::unique_ptr<char[]> exact(new char[text.size() + 1]);
  std::memcpy(exact.get(), text.c_str(), text.size() + 1);
  const Grouped o = Group(exact.get());
  EXPECT_EQ(o.status, 0);
  EXPECT_STREQ(o.cmg, "A0102");
}

}  // namespace
