// Soundness checks for the tier tables. The tier step takes the first
// qualifying row, so a table out of order or with a malformed cell gives
// wrong tiers without any error; these checks catch that at test time and
// when a published list is imported.
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tier_tables.h"

namespace tovrel {

namespace {

std::string Where(const TierTable& t, int row) {
  return std::string(t.name) + " row " + std::to_string(row + 1) + ": ";
}

std::string Quoted(const char* text) { return std::string("\"") + text + "\""; }

// ICD-10: three characters, a dot, up to four more, "^" up to eight.
// ICD-9: no fill character and no blank.
const char* CodeProblem(const char* code, bool icd10) {
  const size_t n = strnlen(code, kTierCodeCell);
  if (n == 0) return "empty code";
  if (n >= kTierCodeCell) return "code cell not terminated";
  if (!icd10) {
    if (std::strchr(code, '^') != nullptr) return "ICD-9 code holds \"^\"";
    for (size_t i = 0; i < n; ++i) {
      if (!std::isalnum(static_cast<unsigned char>(code[i])) && code[i] != '.') {
        return "ICD-9 code holds a character other than letters, digits and the dot";
      }
    }
    return nullptr;
  }
  if (n != 8) return "ICD-10 code is not 8 characters";
  for (int i = 0; i < 3; ++i) {
    if (!std::isupper(static_cast<unsigned char>(code[i])) &&
        !std::isdigit(static_cast<unsigned char>(code[i]))) {
      return "ICD-10 category is not three letters or digits";
    }
  }
  if (code[3] != '.') return "ICD-10 code has no dot after the third character";
  bool fill = false;
  for (int i = 4; i < 8; ++i) {
    if (code[i] == '^') {
      fill = true;
    } else if (fill || !(std::isupper(static_cast<unsigned char>(code[i])) ||
                         std::isdigit(static_cast<unsigned char>(code[i])))) {
      return "ICD-10 code is not filled with \"^\" after its characters";
    }
  }
  return nullptr;
}

// A single blank, or two-digit RICs separated by commas (ICD-9 without
// blanks; ICD-10 with blanks anywhere).
const char* RicProblem(const char* cell, bool icd10) {
  const size_t n = strnlen(cell, kTierRicCell);
  if (n >= kTierRicCell) return "RIC list cell not terminated";
  if (std::strcmp(cell, " ") == 0) return nullptr;
  if (!std::isdigit(static_cast<unsigned char>(cell[0]))) {
    return "RIC list is neither a single blank nor begins with a digit";
  }
  std::string list;
  for (size_t i = 0; i < n; ++i) {
    if (cell[i] == ' ') {
      if (!icd10) return "ICD-9 RIC list holds a blank";
      continue;
    }
    list += cell[i];
  }
  size_t start = 0;
  int count = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    const std::string piece = list.substr(start, comma - start);
    if (piece.size() != 2 || !std::isdigit(static_cast<unsigned char>(piece[0])) ||
        !std::isdigit(static_cast<unsigned char>(piece[1]))) {
      return "RIC list holds something other than two-digit RICs";
    }
    ++count;
    start = comma + 1;
  }
  return count > 0 ? nullptr : "RIC list names no RIC";
}

void CheckRow(const TierTable& t, int r, const char* code, const char* ric, char tier,
              std::vector<std::string>& out) {
  if (const char* p = CodeProblem(code, t.icd10)) out.push_back(Where(t, r) + p + " " + Quoted(code));
  if (const char* p = RicProblem(ric, t.icd10)) out.push_back(Where(t, r) + p + " " + Quoted(ric));
  if (tier != 'B' && tier != 'C' && tier != 'D') {
    out.push_back(Where(t, r) + "tier is not B, C or D");
  } else if (t.kind != TableKind::kSingle && tier != 'D') {
    out.push_back(Where(t, r) + "pair and secondary rows carry \"D\"");
  }
}

}  // namespace

std::vector<std::string> CheckTierTable(const TierTable& t) {
  std::vector<std::string> out;
  if (t.rows > t.expectedRows) {
    out.push_back(std::string(t.name) + ": holds " + std::to_string(t.rows) +
                  " rows, more than the " + std::to_string(t.expectedRows) + " of the published table");
  }
  if (t.kind == TableKind::kPair) {
    std::set<std::pair<std::string, std::string>> seen;
    for (int r = 0; r < t.rows; ++r) {
      const PairRow& row = t.pairs[r];
      CheckRow(t, r, row.code1, row.ric, row.tier, out);
      if (const char* p = CodeProblem(row.code2, t.icd10)) {
        out.push_back(Where(t, r) + p + " " + Quoted(row.code2));
      }
      if (std::strcmp(row.code1, row.code2) == 0) out.push_back(Where(t, r) + "pair of one code twice");
      if (!seen.insert({row.code1, row.code2}).second) {
        out.push_back(Where(t, r) + "pair " + Quoted(row.code1) + ", " + Quoted(row.code2) + " repeated");
      }
    }
    return out;
  }
  if (t.kind == TableKind::kSecondary && t.rows > kMaxSecondaryRows) {
    out.push_back(std::string(t.name) + ": more rows than kMaxSecondaryRows");
  }
  std::set<std::string> seen;
  for (int r = 0; r < t.rows; ++r) {
    const TierRow& row = t.single[r];
    CheckRow(t, r, row.code, row.ric, row.tier, out);
    if (!seen.insert(row.code).second) {
      out.push_back(Where(t, r) + "code " + Quoted(row.code) + " stands twice");
    }
    if (r > 0) {
      const TierRow& prev = t.single[r - 1];
      if (row.tier < prev.tier) {
        out.push_back(Where(t, r) + "tier " + row.tier + " after tier " + prev.tier);
      } else if (row.tier == prev.tier && std::strcmp(prev.code, row.code) >= 0) {
        out.push_back(Where(t, r) + "code " + Quoted(row.code) + " not after " + Quoted(prev.code));
      }
    }
  }
  if (t.byCode != nullptr) {
    // The index must list every row once, ordered by code and then row.
    std::vector<bool> listed(t.rows, false);
    for (int i = 0; i < t.rows; ++i) {
      const int r = t.byCode[i];
      if (r >= t.rows || listed[r]) {
        out.push_back(std::string(t.name) + ": code index broken at entry " + std::to_string(i));
        return out;
      }
      listed[r] = true;
      if (i > 0) {
        const int prev = t.byCode[i - 1];
        const int c = std::strcmp(t.single[prev].code, t.single[r].code);
        if (c > 0 || (c == 0 && prev > r)) {
          out.push_back(std::string(t.name) + ": code index out of order at entry " + std::to_string(i));
        }
      }
    }
  }
  return out;
}

std::vector<std::string> CheckTierTableSet(const TierTableSet& set) {
  std::vector<std::string> out;
  if (set.single == nullptr || set.pairs == nullptr || set.secondary == nullptr) return out;
  std::set<std::string> pairCodes;
  for (int r = 0; r < set.pairs->rows; ++r) {
    pairCodes.insert(set.pairs->pairs[r].code1);
    pairCodes.insert(set.pairs->pairs[r].code2);
  }
  std::set<std::string> secondaryCodes;
  for (int r = 0; r < set.secondary->rows; ++r) {
    const char* code = set.secondary->single[r].code;
    secondaryCodes.insert(code);
    if (pairCodes.count(code) == 0) {
      out.push_back(Where(*set.secondary, r) + "code " + Quoted(code) + " is in no pair of " +
                    set.pairs->name);
    }
  }
  for (int r = 0; r < set.single->rows; ++r) {
    const char* code = set.single->single[r].code;
    if (pairCodes.count(code) != 0) {
      out.push_back(Where(*set.single, r) + "code " + Quoted(code) + " is also in " + set.pairs->name);
    }
    if (secondaryCodes.count(code) != 0) {
      out.push_back(Where(*set.single, r) + "code " + Quoted(code) + " is also in " +
                    set.secondary->name);
    }
  }
  return out;
}

}  // namespace tovrel
