#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tovrel.h"

namespace {

TEST(ItemTable, FieldsFollowEachOtherAndFitTheReadLength) {
  std::string names;
  for (int i = 0; i < kItemCount; ++i) {
    const ItemRow& row = iTems[i];
    EXPECT_LT(std::strlen(row.name), sizeof row.name) << i;
    EXPECT_GE(row.position, 1) << row.name;
    EXPECT_LE(row.position + row.width - 1, kRecordReadLength) << row.name;
    EXPECT_EQ(names.find(std::string("|") + row.name + "|"), std::string::npos) << row.name;
    names += std::string("|") + row.name + "|";
  }
  EXPECT_STREQ(iTems[0].name, "ASMT_SYS_CD");
  EXPECT_STREQ(iTems[kItemCount - 1].name, "H0400");
  EXPECT_EQ(iTems[kItemCount - 1].position, kRecordReadLength);
}

TEST(FillData, CopiesTheSpanAsItIsAndTerminatesIt) {
  std::string record = "IRF-PAI   3xyz";
  char out[16];
  std::memset(out, '#', sizeof out);
  FillData(record.c_str(), out, 1, 10);
  EXPECT_STREQ(out, "IRF-PAI   ");
  FillData(record.c_str(), out, 11, 1);
  EXPECT_STREQ(out, "3");
  FillData(record.c_str(), out, 5, 0);
  EXPECT_STREQ(out, "");
}

TEST(FillData, CopiesAnInnerNulLikeAnyOtherCharacter) {
  const char record[] = {'a', '\0', 'b', 'c'};
  char out[8];
  FillData(record, out, 1, 4);
  EXPECT_EQ(0, std::memcmp(out, record, 4));
  EXPECT_EQ(out[4], '\0');
}

TEST(FillRecord, WritesOnlyTheGivenLengthAndNoTerminator) {
  char record[] = "0123456789";
  FillRecord(record, "abcdef", 1, 3);
  EXPECT_STREQ(record, "abc3456789");
  FillRecord(record, "XY", 9, 2);
  EXPECT_STREQ(record, "abc34567XY");
  FillRecord(record, "Q", 5, 0);
  EXPECT_STREQ(record, "abc34567XY");
}

TEST(TrimCmrbd, SqueezesBlanksOutOfTheFirstEightCharacters) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"        ", ""},
      {"478.31  ", "478.31"},
      {" 4 7 8.3", "478.3"},
      {"E08.3211", "E08.3211"},
      {"a\tb     ", "a\tb"},             // only the blank goes
      {"ABCDEFGHIJ", "ABCDEFGH"},        // cut after eight
      {"  V44.0 tail", "V44.0"},
  };
  for (const Case& c : cases) {
    char code[16];
    std::strcpy(code, c.in);
    Trim_CMRBD(code);
    EXPECT_STREQ(code, c.out) << '"' << c.in << '"';
  }
}

TEST(TrimCmrbd, ANulEndsTheResult) {
  char code[] = {'A', '\0', 'B', ' ', 'C', ' ', ' ', ' ', '\0'};
  Trim_CMRBD(code);
  EXPECT_STREQ(code, "A");
}

TEST(NumPrefix, ReadsTheLeadingInteger) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"", 0},          {"  ", 0},       {"05", 5},         {" 5", 5},
      {"5 ", 5},        {"  12", 12},    {"12 34", 12},     {"-1", -1},
      {"+3", 3},        {"- ", 0},       {"-", 0},          {"ab", 0},
      {"\t\n\v\f\r 7", 7},               {"0724", 724},     {"20130420", 20130420},
      {"1944 312", 1944},                {"--5", 0},        {"+-5", 0},
      {"99999999999", 2147483647},       {"-99999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(tovrel::NumPrefix(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
