// Comorbidity tier step.
//
// ICD-9 versions search one single-code table. ICD-10 versions search the
// single-code table, then every code-pair row (a complete pair gives a tier,
// or for the RICs on its list blocks its two codes), then the secondary
// table. The first qualifying single-code row in table order decides, so the
// tables keep "B" rows before "C" before "D".
//
// The exclusion flags of the secondary table live on the stack of each call:
// nothing is shared between calls, so no lock is needed. Nothing here
// allocates.
#include "tier.h"

#include <algorithm>
#include <cstring>

#include "tier_tables.h"

namespace tovrel {

namespace {


const TierTableSet kSets[kVersionCount] = {
    {&kTierTables[kTable240], nullptr, nullptr, true},
    {&kTierTables[kTable250], nullptr, nullptr, true},
    {&kTierTables[kTable260], nullptr, nullptr, true},
    {&kTierTables[kTable260], nullptr, nullptr, false},  // 2.70: all 25 codes
    {&kTierTables[kTable281s1], &kTierTables[kTable281c], &kTierTables[kTable281s2], false},
    {&kTierTables[kTable290s1], &kTierTables[kTable290c], &kTierTables[kTable290s2], false},
    {&kTierTables[kTable300s1], &kTierTables[kTable300c], &kTierTables[kTable290s2], false},
    {&kTierTables[kTable310s1], &kTierTables[kTable300c], &kTierTables[kTable290s2], false},
    {&kTierTables[kTable400s1], &kTierTables[kTable300c], &kTierTables[kTable290s2], false},
};

// Code cells may arrive unterminated; table codes are at most eight
// characters, so comparing nine characters is exact and stays in the cell.
bool SameCode(const char* cell, const char* tableCode) {
  return std::strncmp(cell, tableCode, kCodeCell) == 0;
}

// Number of leading codes the walk visits. 2.40 to 2.60 look at R24A..R24J
// whatever they hold; later versions stop before the first code starting
// with "^" (an empty code does not stop the walk, it just matches nothing).
int WalkLength(const CodeList& codes, bool tenCodeWalk) {
  if (tenCodeWalk) return 10;
  int n = 0;
  while (n < kCodeCount && codes[n][0] != '^') ++n;
  return n;
}

bool AnyCode(const CodeList& codes, int walk, const char* tableCode) {
  for (int p = 0; p < walk; ++p) {
    if (SameCode(codes[p], tableCode)) return true;
  }
  return false;
}

// Stages 2 and 3; 'A' when neither gives a tier. `flags` is the caller's.
char PairAndSecondary(const TierTableSet& set, const char* ric,
                      const CodeList& codes, int walk, bool* flags) {
  const TierTable& pairs = *set.pairs;
  const TierTable& secondary = *set.secondary;
  const int secondaryRows = std::min(secondary.rows, kMaxSecondaryRows);
  std::fill(flags, flags + kMaxSecondaryRows, false);
  char tier = 'A';
  for (int r = 0; r < pairs.rows; ++r) {
    const PairRow& row = pairs.pairs[r];
    if (!AnyCode(codes, walk, row.code1) || !AnyCode(codes, walk, row.code2)) continue;
    if (RicInList(row.ric, ric, true)) {
      for (const char* code : {row.code1, row.code2}) {
        for (int s = 0; s < secondaryRows; ++s) {
          if (std::strcmp(secondary.single[s].code, code) == 0) {
            flags[s] = true;
            break;
          }
        }
      }
    } else {
      tier = row.tier;  // a later complete pair overwrites (all carry "D")
    }
  }
  if (tier != 'A') return tier;
  for (int s = 0; s < secondaryRows; ++s) {
    const TierRow& row = secondary.single[s];
    if (flags[s] || RicInList(row.ric, ric, true)) continue;
    if (AnyCode(codes, walk, row.code)) return row.tier;
  }
  return 'A';
}

}  // namespace

const TierTableSet* TierTablesFor(Version version) {
  if (version < 0 || version >= kVersionCount) return nullptr;
  return &kSets[version];
}

bool RicInList(const char* cell, const char* ric, bool icd10) {
  if (cell == nullptr || ric == nullptr || cell[0] == ' ') return false;
  // Work on a copy so the table stays as it is; ICD-10 lists lose their
  // blanks, ICD-9 lists are split as written.
  char list[kTierRicCell + 1];
  int n = 0;
  for (int i = 0; i < kTierRicCell && cell[i] != '\0'; ++i) {
    if (icd10 && cell[i] == ' ') continue;
    list[n++] = cell[i];
  }
  list[n] = '\0';
  const size_t ricLength = std::strlen(ric);
  const char* piece = list;
  while (true) {
    const char* comma = std::strchr(piece, ',');
    const size_t length = comma ? static_cast<size_t>(comma - piece) : std::strlen(piece);
    if (length > 0 && length == ricLength && std::strncmp(piece, ric, length) == 0) return true;
    if (comma == nullptr) return false;
    piece = comma + 1;
  }
}

char TierStep(Version version, const char* ric, const CodeList& codes) {
  const TierTableSet* set = TierTablesFor(version);
  if (set == nullptr) return 'A';
  const TierTable& single = *set->single;
  const int walk = WalkLength(codes, set->tenCodeWalk);

  // Stage 1 through the code index: for each code, its rows in row order;
  // the smallest row that does not exclude the RIC over all codes is the row
  // a scan in table order would stop at.
  int best = single.rows;
  const unsigned short* begin = single.byCode;
  const unsigned short* end = single.byCode + single.rows;
  for (int p = 0; p < walk; ++p) {
    const char* code = codes[p];
    const unsigned short* it = std::lower_bound(
        begin, end, code, [&single](unsigned short row, const char* key) {
          return std::strncmp(single.single[row].code, key, kCodeCell) < 0;
        });
    for (; it != end && *it < best && SameCode(code, single.single[*it].code); ++it) {
      if (!RicInList(single.single[*it].ric, ric, single.icd10)) {
        best = *it;
        break;
      }
    }
  }
  if (best < single.rows) return single.single[best].tier;
  if (set->pairs == nullptr) return 'A';

  bool flags[kMaxSecondaryRows];
  return PairAndSecondary(*set, ric, codes, walk, flags);
}

char TierStepScan(Version version, const char* ric, const CodeList& codes) {
  const TierTableSet* set = TierTablesFor(version);
  if (set == nullptr) return 'A';
  const int walk = WalkLength(codes, set->tenCodeWalk);
  const TierTable& single = *set->single;
  for (int r = 0; r < single.rows; ++r) {
    const TierRow& row = single.single[r];
    if (RicInList(row.ric, ric, single.icd10)) continue;
    if (AnyCode(codes, walk, row.code)) return row.tier;
  }
  if (set->pairs == nullptr) return 'A';

  // Stages 2 and 3 written out on their own, with "0"/"1" flags as stored
  // in the published tables.
  const TierTable& pairs = *set->pairs;
  const TierTable& secondary = *set->secondary;
  const int secondaryRows = std::min(secondary.rows, kMaxSecondaryRows);
  char eflag[kMaxSecondaryRows];
  for (int s = 0; s < secondaryRows; ++s) eflag[s] = '0';
  char tier = 'A';
  for (int r = 0; r < pairs.rows; ++r) {
    const PairRow& row = pairs.pairs[r];
    const bool inList = RicInList(row.ric, ric, true);
    bool first = false, second = false;
    for (int p = 0; p < walk; ++p) {
      if (SameCode(codes[p], row.code1)) first = true;
      if (SameCode(codes[p], row.code2)) second = true;
    }
    if (!(first && second)) continue;
    if (inList) {
      for (int s = 0; s < secondaryRows; ++s) {
        if (std::strcmp(secondary.single[s].code, row.code1) == 0) { eflag[s] = '1'; break; }
      }
      for (int s = 0; s < secondaryRows; ++s) {
        if (std::strcmp(secondary.single[s].code, row.code2) == 0) { eflag[s] = '1'; break; }
      }
    } else {
      tier = row.tier;
    }
  }
  if (tier != 'A') return tier;
  for (int s = 0; s < secondaryRows; ++s) {
    const TierRow& row = secondary.single[s];
    if (RicInList(row.ric, ric, true) || eflag[s] == '1') continue;
    if (AnyCode(codes, walk, row.code)) return row.tier;
  }
  return 'A';
}

bool TierTablesComplete(Version version) {
  const TierTableSet* set = TierTablesFor(version);
  if (set == nullptr) return true;
  for (const TierTable* t : {set->single, set->pairs, set->secondary}) {
    if (t != nullptr && t->rows < t->expectedRows) return false;
  }
  return true;
}

}  // namespace tovrel
