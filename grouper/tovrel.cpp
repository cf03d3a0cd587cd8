// The grouper: record access, validation, version selection, age, functional
// scores, RIC and CMG, and the composition of the result.
#include "tovrel.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "grouping.h"
#include "partition_tables.h"
#include "tier.h"
#include "versions.h"

const ItemRow iTems[kItemCount] = {
    {"ASMT_SYS_CD", 1, 10},    {"TRANS_TYPE_CD", 11, 1}, {"R6", 657, 8},
    {"R12", 688, 8},           {"R21A", 720, 8},         {"R24A", 754, 8},
    {"R24B", 762, 8},          {"R24C", 770, 8},         {"R24D", 778, 8},
    {"R24E", 786, 8},          {"R24F", 794, 8},         {"R24G", 802, 8},
    {"R24H", 810, 8},          {"R24I", 818, 8},         {"R24J", 826, 8},
    {"R39AA", 882, 2},         {"R39BA", 888, 2},        {"R39CA", 894, 2},
    {"R39DA", 900, 2},         {"R39EA", 906, 2},        {"R39FA", 912, 2},
    {"R39GA", 918, 2},         {"R39HA", 924, 2},        {"R39IA", 930, 2},
    {"R39JA", 936, 2},         {"R39LA", 948, 2},        {"R39MA", 956, 2},
    {"R39NA", 962, 2},         {"R39OA", 970, 2},        {"R39PA", 978, 2},
    {"R39QA", 984, 2},         {"R39RA", 990, 2},        {"R40", 996, 8},
    {"R24K", 1132, 8},         {"R24L", 1140, 8},        {"R24M", 1148, 8},
    {"R24N", 1156, 8},         {"R24O", 1164, 8},        {"R24P", 1172, 8},
    {"R24Q", 1180, 8},         {"R24R", 1188, 8},        {"R24S", 1196, 8},
    {"R24T", 1204, 8},         {"R24U", 1212, 8},        {"R24V", 1220, 8},
    {"R24W", 1228, 8},         {"R24X", 1236, 8},        {"R24Y", 1244, 8},
    {"GG0130A1", 1462, 2},     {"GG0130B1", 1468, 2},    {"GG0130C1", 1474, 2},
    {"GG0130E1", 1480, 2},     {"GG0130F1", 1486, 2},    {"GG0130G1", 1492, 2},
    {"GG0130H1", 1498, 2},     {"GG0170B1", 1510, 2},    {"GG0170C1", 1516, 2},
    {"GG0170D1", 1522, 2},     {"GG0170E1", 1528, 2},    {"GG0170F1", 1534, 2},
    {"GG0170I1", 1548, 2},     {"GG0170J1", 1554, 2},    {"GG0170K1", 1560, 2},
    {"GG0170M1", 1572, 2},     {"H0350", 1614, 1},       {"H0400", 1615, 1},
};

namespace tovrel {
namespace {

// Copies the first `count` characters of `from` without their blanks to `to`
// and terminates them. `to` may be `from`: it never runs ahead of the reading.
void SqueezeBlanks(const char* from, int count, char* to) {
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    if (from[i] != ' ') to[kept++] = from[i];
  }
  to[kept] = '\0';
}

}  // namespace
}  // namespace tovrel

extern "C" {

void FillData(const char* record, char* dest, int32_t position, int32_t length) {
  if (length < 0) length = 0;
  std::memcpy(dest, record + position - 1, static_cast<size_t>(length));
  dest[length] = '\0';
}

void FillRecord(char* record, const char* value, int32_t position, int32_t length) {
  if (length <= 0) return;
  std::memcpy(record + position - 1, value, static_cast<size_t>(length));
}

void Trim_CMRBD(char* code) { tovrel::SqueezeBlanks(code, 8, code); }

}  // extern "C"

namespace tovrel {
namespace {

// Rows of iTems the grouper reads by name.
enum Item {
  kAsmtSysCd = 0,
  kTransTypeCd = 1,
  kR6 = 2,
  kR12 = 3,
  kR21A = 4,
  kR24A = 5,   // R24A..R24J: rows 5..14
  kR39AA = 15, // FIM motor items: rows 15..26
  kR39NA = 27, // FIM cognitive items: rows 27..31
  kR40 = 32,
  kR24K = 33,  // R24K..R24Y: rows 33..47
  kGG0130A1 = 48,  // GG motor items: rows 48..63
  kH0350 = 64,
  kH0400 = 65,
};

constexpr int kR21AReadWidth = 9;  // one character past the item's width
constexpr int kFieldCell = 11;     // widest field (10) and its terminator

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// NumPrefix over at most `n` characters (or up to a NUL).
int32_t NumPrefixN(const char* text, size_t n) {
  size_t i = 0;
  while (i < n && text[i] != '\0' && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    if (value < kLimit) value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (value > kLimit) value = kLimit;
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

bool Blank(const char* cell) { return cell[0] == ' '; }

// FIM motor weights in tenths of a point; entry 0 unused.
constexpr int32_t kMotorWeights[13] = {0, 6, 2, 9, 2, 14, 12, 5, 2, 22, 14, 16, 16};

// Recode of H0350 and H0400 by the value read (0..9); other values unchanged.
constexpr int32_t kH0350Recode[10] = {4, 4, 3, 2, 1, 4, 6, 7, 8, 1};
constexpr int32_t kH0400Recode[10] = {4, 3, 2, 1, 4, 5, 6, 7, 8, 2};

}  // namespace

void MotorScoreText(int32_t total, bool tenths, char* out) {
  char text[16];
  auto result = std::to_chars(text, text + sizeof text - 1, total);
  size_t len = static_cast<size_t>(result.ptr - text);
  if (tenths) {
    text[len] = text[len - 1];
    text[len - 1] = '.';
    ++len;
  }
  std::memcpy(out, text, len);
  out[len] = '\0';
}

const char* LookUpRic(const char* r21a) {
  char code[kR21AReadWidth];
  SqueezeBlanks(r21a + 2, kR21AReadWidth - 2, code);
  for (int row = 1; row <= kImpairmentRows; ++row) {
    if (std::strcmp(kImpairment[row].Imp240, code) == 0) return kImpairment[row].Ric240;
  }
  return nullptr;
}

namespace {

bool InBand(const char* low, const char* high, int32_t value) {
  return NumPrefix(low) <= value && value <= NumPrefix(high);
}

bool InOptionalBand(const char* low, const char* high, int32_t value) {
  if (Blank(low) || Blank(high)) return true;
  return InBand(low, high, value);
}

}  // namespace

const char* FimCmg(const char* ric, int32_t motor, int32_t cog, int32_t age) {
  for (int row = 1; row <= kFimPartitionRows; ++row) {
    const FimPartitionRow& r = kFimPartition[row];
    if (std::strcmp(r.RicCode, ric) != 0) continue;
    if (!InBand(r.MotLow, r.MotHigh, motor)) continue;
    if (!InOptionalBand(r.CogLow, r.CogHigh, cog)) continue;
    if (!InOptionalBand(r.AgeLow, r.AgeHigh, age)) continue;
    return r.CMG;
  }
  return "0000";
}

const char* GgCmg(const char* ric, int32_t motorTenths, int32_t age) {
  for (int row = 1; row <= kGgPartitionRows; ++row) {
    const GgPartitionRow& r = kGgPartition[row];
    if (std::strcmp(r.RicCode40, ric) != 0) continue;
    if (!InBand(r.MotLow40, r.MotHigh40, motorTenths)) continue;
    if (!InOptionalBand(r.AgeLow40, r.AgeHigh40, age)) continue;
    return r.CMG40;
  }
  return "0000";
}

namespace {

// Age in whole years at admission; each date part is read by itself.
int32_t AgeAt(const char* admission, const char* birth) {
  const int32_t admYear = NumPrefixN(admission, 4), birthYear = NumPrefixN(birth, 4);
  const int32_t admMonth = NumPrefixN(admission + 4, 2), birthMonth = NumPrefixN(birth + 4, 2);
  const int32_t admDay = NumPrefixN(admission + 6, 2), birthDay = NumPrefixN(birth + 6, 2);
  int32_t age = admYear - birthYear;
  if (admMonth < birthMonth || (admMonth == birthMonth && admDay < birthDay)) --age;
  return age;
}

int Finish(int32_t* errorCode, int status) {
  *errorCode = status;
  return status;
}

}  // namespace

int32_t NumPrefix(const char* text) {
  return NumPrefixN(text, std::numeric_limits<size_t>::max());
}

}  // namespace tovrel

extern "C" int TOVREL(const char* record, char* cmg, int32_t* errorCode, char* motorScore,
                      int32_t* cogScore, int32_t* age, char* grouperVersion,
                      char* programVersion) {
  using namespace tovrel;

  std::memcpy(cmg, "     ", 6);
  *errorCode = 0;
  *cogScore = 0;
  std::memcpy(motorScore, " 0.0", 5);
  *age = 0;
  std::memcpy(grouperVersion, "    ", 5);

  // Never read past the caller's terminator or past the last field: a short
  // record reads as if filled up with blanks.
  char rec[kRecordReadLength + 1];
  size_t have = 0;
  if (record != nullptr) {
    const void* nul = std::memchr(record, '\0', kRecordReadLength);
    have = nul ? static_cast<size_t>(static_cast<const char*>(nul) - record) : kRecordReadLength;
    std::memcpy(rec, record, have);
  }
  std::memset(rec + have, ' ', kRecordReadLength - have);
  rec[kRecordReadLength] = '\0';

  char field[kItemCount][kFieldCell];
  for (int i = 0; i < kItemCount; ++i) {
    FillData(rec, field[i], iTems[i].position, i == kR21A ? kR21AReadWidth : iTems[i].width);
  }

  const int32_t dischargeDate = NumPrefix(field[kR40]);
  const Version version = SelectVersion(dischargeDate);
  if (version != kNoVersion) std::memcpy(grouperVersion, kVersions[version].text, 5);
  std::memcpy(programVersion, "4.00", 5);

  // All blanks of the ten characters go, wherever they stand.
  char systemCode[kFieldCell];
  SqueezeBlanks(field[kAsmtSysCd], iTems[kAsmtSysCd].width, systemCode);
  if (std::strcmp(systemCode, "IRF-PAI") != 0) return Finish(errorCode, 1);
  if (field[kTransTypeCd][0] == '3') return Finish(errorCode, 2);
  if (dischargeDate < kFirstDischargeDate) return Finish(errorCode, 3);

  char* birth = field[kR6];
  const char* admission = field[kR12];
  if (std::memchr(birth, ' ', 8) != nullptr && std::memcmp(birth, admission, 4) == 0) {
    return Finish(errorCode, 5);
  }
  if (birth[4] == ' ' && birth[5] == ' ') std::memcpy(birth + 4, "06", 2);
  if (birth[6] == ' ' && birth[7] == ' ') std::memcpy(birth + 6, "15", 2);

  if (NumPrefix(admission) < NumPrefix(birth)) return Finish(errorCode, 6);

  *age = AgeAt(admission, birth);
  if (*age > 140) return Finish(errorCode, 7);

  const char* ric = LookUpRic(field[kR21A]);
  if (ric == nullptr) return Finish(errorCode, 9);

  const char* cmgCode;
  if (dischargeDate <= kLastFimDate) {
    int32_t motor = 0;
    for (int item = 1; item <= 12; ++item) {
      int32_t value = NumPrefix(field[kR39AA + item - 1]);
      if (value == 0) value = item == 10 ? 2 : 1;
      motor += value * kMotorWeights[item];
    }
    MotorScoreText(motor, true, motorScore);
    int32_t cog = 0;
    for (int item = 0; item < 5; ++item) {
      int32_t value = NumPrefix(field[kR39NA + item]);
      cog += value == 0 ? 1 : value;
    }
    *cogScore = cog;
    cmgCode = FimCmg(ric, motor, cog, *age);
  } else {
    int32_t motor = 0;
    for (int item = 1; item <= 16; ++item) {
      int32_t value = NumPrefix(field[kGG0130A1 + item - 1]);
      if (value == 0 || value == 7 || value == 9 || value == 10 || value == 88) {
        value = item == 12 ? 2 : 1;  // item 12 is GG0170F1
      }
      motor += value;
    }
    const int32_t h0350 = NumPrefix(field[kH0350]);
    const int32_t h0400 = NumPrefix(field[kH0400]);
    motor += (h0350 >= 0 && h0350 <= 9) ? kH0350Recode[h0350] : h0350;
    motor += (h0400 >= 0 && h0400 <= 9) ? kH0400Recode[h0400] : h0400;
    MotorScoreText(motor, false, motorScore);
    cmgCode = GgCmg(ric, motor * 10, *age);
  }

  CodeList codes;
  for (int i = 0; i < kCodeCount; ++i) {
    const int item = i < 10 ? kR24A + i : kR24K + (i - 10);
    std::memcpy(codes[i], field[item], kCodeCell);
    Trim_CMRBD(codes[i]);
  }
  const char tier = version == kNoVersion ? 'A' : TierStep(version, ric, codes);

  cmg[0] = tier;
  std::memcpy(cmg + 1, cmgCode, 5);
  return Finish(errorCode, 0);
}
