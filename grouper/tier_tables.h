// Comorbidity tier tables, compiled in from grouper/tiertables/*.csv.
//
// Rows are held in table order without the placeholder row 0: row r of a
// table is element r - 1. Cells are NUL-terminated text of fixed width; a RIC
// list whose first character is a blank names no RIC.
#ifndef TOVREL_GROUPER_TIER_TABLES_H
#define TOVREL_GROUPER_TIER_TABLES_H

#include <string>
#include <vector>

#include "tier_tables_data.h"
#include "versions.h"

namespace tovrel {

constexpr int kTierCodeCell = 9;   // ICD-10 codes are eight characters
constexpr int kTierRicCell = 21;   // e.g. "01, 02, 03 "
// The tier step keeps the secondary table's exclusion flags on its stack.
constexpr int kMaxSecondaryRows = 64;

// Single-code and secondary tables.
struct TierRow {
  char code[kTierCodeCell];
  char ric[kTierRicCell];
  char tier;
};

struct PairRow {
  char code1[kTierCodeCell];
  char code2[kTierCodeCell];
  char ric[kTierRicCell];
  char tier;
};

enum class TableKind { kSingle, kPair, kSecondary };

struct TierTable {
  const char* name;            // "240", "281s1", "300c", ...
  TableKind kind;
  bool icd10;
  const char* versions;        // the versions that read it, e.g. "2.60 2.70"
  int expectedRows;            // rows of the published table
  int rows;                    // rows held
  const TierRow* single;       // kSingle and kSecondary
  const PairRow* pairs;        // kPair
  const unsigned short* byCode;  // kSingle: row indexes
                                 // sorted by code, then by row
};

extern const TierTable kTierTables[kTierTableCount];

// Directory the tables were generated from (the source tree).
extern const char kTierDataDir[];

// The tables one version reads. ICD-9 versions have no pair or secondary
// table; tenCodeWalk is true for 2.40 to 2.60, which look at R24A..R24J only.
struct TierTableSet {
  const TierTable* single;
  const TierTable* pairs;
  const TierTable* secondary;
  bool tenCodeWalk;
};

// nullptr for kNoVersion or a value outside the enum.
const TierTableSet* TierTablesFor(Version version);

// Whether `ric` is named by a RIC list cell. ICD-9 cells are split at commas
// as stored; ICD-10 cells lose their blanks first. A cell starting with a
// blank names nothing.
bool RicInList(const char* cell, const char* ric, bool icd10);

// Table checks shared by the tests and the import command. Each returns one
// readable message per problem; empty when the table is sound.
std::vector<std::string> CheckTierTable(const TierTable& table);
// Across the tables of one ICD-10 set: no single code in the pair or
// secondary table, every secondary code in some pair.
std::vector<std::string> CheckTierTableSet(const TierTableSet& set);

}  // namespace tovrel

#endif
