#include "tables.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "tier.h"
#include "tier_tables.h"
#include "versions.h"

namespace tovrel::cli {

namespace {

const char kUsage[] =
    "usage: tovrel tables\n"
    "       tovrel tables import --version V [--output FILE | --data-dir DIR] [--force] LIST.csv\n"
    "\n"
    "Without arguments: lists every comorbidity tier table with the rows it\n"
    "holds against the rows of the published table, and which are complete.\n"
    "\n"
    "import: reads a published tier list of grouper version V saved as CSV\n"
    "(columns: code, description, tier, excluded RICs; a header line is\n"
    "skipped), converts it to the stored form and writes the data file of the\n"
    "version's single-code table. Codes of the version's code-pair and\n"
    "secondary tables are left out. Rebuild to compile the new table in.\n"
    "  --output FILE   write FILE instead of the table's file in the source tree\n"
    "  --data-dir DIR  write DIR/<table>.csv instead\n"
    "  --force         write even when the row count differs from the\n"
    "                  published table's\n";

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool AllOf(const std::string& s, int (*pred)(int)) {
  return std::all_of(s.begin(), s.end(), [pred](char c) { return pred(static_cast<unsigned char>(c)) != 0; });
}

// The ten rows whose RIC list carries a trailing blank from 290s1 on.
const char* const kTrailingBlankCodes[] = {"I60.00^^", "I60.01^^", "I60.02^^", "I60.10^^", "I60.11^^",
                                           "I60.12^^", "I60.30^^", "I60.31^^", "I60.32^^", "I60.4^^^"};
const char* const kTrailingBlankTables[] = {"290s1", "300s1", "310s1", "400s1"};

struct CsvRecord {
  long line;
  std::vector<std::string> cells;
};

// RFC 4180 CSV: quoted cells may hold commas, doubled quotes and line ends.
bool ParseCsv(const std::string& text, std::vector<CsvRecord>& records, std::string& error) {
  size_t i = 0;
  long line = 1;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;  // byte order mark
  while (i < text.size()) {
    CsvRecord rec{line, {}};
    std::string cell;
    bool quoted = false, wasQuoted = false;
    while (i < text.size()) {
      const char c = text[i];
      if (quoted) {
        if (c == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            cell += '"';
            ++i;
          } else {
            quoted = false;
          }
        } else {
          if (c == '\n') ++line;
          cell += c;
        }
        ++i;
        continue;
      }
      if (c == '"' && !wasQuoted && Trim(cell).empty()) {
        quoted = wasQuoted = true;
        cell.clear();
      } else if (c == ',') {
        rec.cells.push_back(cell);
        cell.clear();
        wasQuoted = false;
      } else if (c == '\n' || c == '\r') {
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++i;
        ++line;
        break;
      } else {
        cell += c;
      }
      ++i;
    }
    if (quoted) {
      error = "line " + std::to_string(rec.line) + ": quoted cell not closed";
      return false;
    }
    rec.cells.push_back(cell);
    records.push_back(std::move(rec));
  }
  return true;
}

std::string CsvCell(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

struct ImportRow {
  std::string code;
  std::string ric;
  char tier;
  long line;
};

const TierTableSet* SetOfVersion(const std::string& text, Version* version) {
  for (int v = 0; v < kVersionCount; ++v) {
    if (text == kVersions[v].text) {
      *version = static_cast<Version>(v);
      return TierTablesFor(*version);
    }
  }
  return nullptr;
}

std::string VersionList() {
  std::string s;
  for (int v = 0; v < kVersionCount; ++v) s += std::string(v ? ", " : "") + kVersions[v].text;
  return s;
}

int ShowTables(std::ostream& out) {
  char line[160];
  std::snprintf(line, sizeof line, "%-7s %-12s %-20s %6s %9s  %s\n", "table", "kind", "versions",
                "held", "expected", "status");
  out << "Comorbidity tier tables: rows held against the rows of the published table.\n\n" << line;
  std::vector<std::string> incomplete;
  std::set<std::string> versions;
  for (const TierTable& t : kTierTables) {
    const char* kind = t.kind == TableKind::kSingle ? "single-code"
                       : t.kind == TableKind::kPair ? "code-pair"
                                                    : "secondary";
    std::string status = "complete";
    if (t.rows != t.expectedRows) {
      status = t.rows < t.expectedRows
                   ? "INCOMPLETE, " + std::to_string(t.expectedRows - t.rows) + " rows missing"
                   : "WRONG, " + std::to_string(t.rows - t.expectedRows) + " rows too many";
      incomplete.push_back(t.name);
    }
    std::snprintf(line, sizeof line, "%-7s %-12s %-20s %6d %9d  %s\n", t.name, kind, t.versions,
                  t.rows, t.expectedRows, status.c_str());
    out << line;
  }
  for (int v = 0; v < kVersionCount; ++v) {
    if (!TierTablesComplete(static_cast<Version>(v))) versions.insert(kVersions[v].text);
  }
  out << "\n";
  if (incomplete.empty()) {
    out << "All tables are complete.\n";
    return 0;
  }
  out << "Incomplete:";
  for (const std::string& n : incomplete) out << " " << n;
  out << "\nGrouper versions";
  for (const std::string& v : versions) out << " " << v;
  out << " may give tier \"A\" where the published tier list gives a tier.\n"
         "To complete a table, save the version's published comorbidity tier list as CSV\n"
         "and run 'tovrel tables import --version V FILE', then rebuild.\n";
  return 0;
}

int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string versionText, output, dataDir, input;
  bool force = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (a == "--version" || a == "--output" || a == "--data-dir") {
      if (!value(a == "--version" ? versionText : a == "--output" ? output : dataDir)) {
        err << "tovrel tables import: " << a << " needs a value\n";
        return 2;
      }
    } else if (a == "--force") {
      force = true;
    } else if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      err << "tovrel tables import: unknown option '" << a << "'\n";
      return 2;
    } else if (input.empty()) {
      input = a;
    } else {
      err << "tovrel tables import: one list at a time ('" << a << "' is extra)\n";
      return 2;
    }
  }
  if (versionText.empty() || input.empty()) {
    err << "tovrel tables import: needs --version V and a FILE\n" << kUsage;
    return 2;
  }
  if (!output.empty() && !dataDir.empty()) {
    err << "tovrel tables import: give --output or --data-dir, not both\n";
    return 2;
  }
  Version version = kNoVersion;
  const TierTableSet* set = SetOfVersion(versionText, &version);
  if (set == nullptr) {
    err << "tovrel tables import: unknown grouper version '" << versionText << "' (one of "
        << VersionList() << ")\n";
    return 2;
  }
  const TierTable& table = *set->single;
  const bool icd10 = table.icd10;

  std::string text;
  {
    std::ifstream in(input, std::ios::binary);
    if (!in) {
      err << "tovrel tables import: cannot read " << input << ": " << std::strerror(errno) << "\n";
      return 1;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    text = buf.str();
  }
  std::vector<CsvRecord> records;
  std::string csvError;
  if (!ParseCsv(text, records, csvError)) {
    err << "tovrel tables import: " << input << ": " << csvError << "\n";
    return 1;
  }

  std::set<std::string> pairOrSecondary;
  if (set->pairs != nullptr) {
    for (int r = 0; r < set->pairs->rows; ++r) {
      pairOrSecondary.insert(set->pairs->pairs[r].code1);
      pairOrSecondary.insert(set->pairs->pairs[r].code2);
    }
    for (int r = 0; r < set->secondary->rows; ++r) pairOrSecondary.insert(set->secondary->single[r].code);
  }
  const bool trailingBlank =
      std::any_of(std::begin(kTrailingBlankTables), std::end(kTrailingBlankTables),
                  [&](const char* n) { return std::strcmp(n, table.name) == 0; });

  std::vector<std::string> problems;
  std::map<std::string, ImportRow> byCode;
  std::vector<std::string> leftOut;
  int duplicates = 0;
  bool firstData = true;
  for (const CsvRecord& rec : records) {
    if (std::all_of(rec.cells.begin(), rec.cells.end(), [](const std::string& c) { return Trim(c).empty(); })) {
      continue;
    }
    const std::string where = input + ":" + std::to_string(rec.line) + ": ";
    const std::optional<std::string> code = StoredCode(rec.cells[0], icd10);
    const std::optional<char> tier = rec.cells.size() >= 3 ? StoredTier(rec.cells[2]) : std::nullopt;
    const std::optional<std::string> ric =
        StoredRicList(rec.cells.size() >= 4 ? rec.cells[3] : std::string(), icd10);
    const bool header = firstData && (!code || !tier);
    firstData = false;
    if (header) continue;  // column titles
    if (!code) problems.push_back(where + "not an " + (icd10 ? "ICD-10" : "ICD-9") + " code: '" + rec.cells[0] + "'");
    if (!tier) problems.push_back(where + "no tier 1, 2 or 3 in the third column");
    if (!ric) {
      problems.push_back(where + "excluded RICs not readable: '" + rec.cells[3] + "'");
    } else if (ric->size() >= static_cast<size_t>(kTierRicCell)) {
      problems.push_back(where + "RIC list '" + *ric + "' is longer than the " +
                         std::to_string(kTierRicCell - 1) + " characters a table cell holds");
    }
    if (!code || !tier || !ric || ric->size() >= static_cast<size_t>(kTierRicCell)) continue;
    if (pairOrSecondary.count(*code) != 0) {
      leftOut.push_back(*code);
      continue;
    }
    std::string list = *ric;
    if (trailingBlank && list == "01, 02, 03" &&
        std::any_of(std::begin(kTrailingBlankCodes), std::end(kTrailingBlankCodes),
                    [&](const char* c) { return *code == c; })) {
      list += ' ';
    }
    const ImportRow row{*code, list, *tier, rec.line};
    auto [it, added] = byCode.emplace(*code, row);
    if (!added) {
      if (it->second.tier != row.tier || it->second.ric != row.ric) {
        problems.push_back(where + "code " + *code + " again, with another tier or RIC list than on line " +
                           std::to_string(it->second.line));
      } else {
        ++duplicates;
      }
    }
  }
  if (problems.empty() && byCode.empty()) problems.push_back(input + ": no tier rows found");

  std::vector<TierRow> rows;
  for (const auto& [code, r] : byCode) {
    TierRow row{};
    std::snprintf(row.code, sizeof row.code, "%s", r.code.c_str());
    std::snprintf(row.ric, sizeof row.ric, "%s", r.ric.c_str());
    row.tier = r.tier;
    rows.push_back(row);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TierRow& a, const TierRow& b) {
    return a.tier != b.tier ? a.tier < b.tier : std::strcmp(a.code, b.code) < 0;
  });
  if (problems.empty()) {
    const TierTable imported{table.name, TableKind::kSingle, icd10, table.versions, table.expectedRows,
                             static_cast<int>(rows.size()), rows.data(), nullptr, nullptr};
    for (const std::string& p : CheckTierTable(imported)) problems.push_back(p);
    if (set->pairs != nullptr) {
      const TierTableSet importedSet{&imported, set->pairs, set->secondary, false};
      for (const std::string& p : CheckTierTableSet(importedSet)) problems.push_back(p);
    }
  }
  if (!problems.empty()) {
    const size_t shown = std::min<size_t>(problems.size(), 25);
    for (size_t i = 0; i < shown; ++i) err << "tovrel tables import: " << problems[i] << "\n";
    if (shown < problems.size()) err << "tovrel tables import: ... and " << problems.size() - shown << " more\n";
    err << "tovrel tables import: nothing written\n";
    return 1;
  }

  int count[3] = {0, 0, 0};
  for (const TierRow& r : rows) ++count[r.tier - 'B'];
  out << "Read " << byCode.size() + leftOut.size() + duplicates << " tier rows for grouper version "
      << versionText << " (table " << table.name << ", read by " << table.versions << "): " << count[0]
      << " B, " << count[1] << " C, " << count[2] << " D.\n";
  if (duplicates > 0) out << "Left out " << duplicates << " repeated rows.\n";
  if (!leftOut.empty()) {
    out << "Left out " << leftOut.size() << " codes of the code-pair and secondary tables:";
    for (const std::string& c : leftOut) out << " " << c;
    out << "\n";
  }

  // Rows the table holds now that the list lacks or states otherwise.
  std::vector<std::string> changed;
  for (int r = 0; r < table.rows; ++r) {
    const TierRow& held = table.single[r];
    auto it = byCode.find(held.code);
    if (it == byCode.end()) {
      changed.push_back(std::string(held.code) + " (held, not in the list)");
    } else if (it->second.tier != held.tier || it->second.ric != held.ric) {
      changed.push_back(std::string(held.code) + " (held as " + held.tier + " \"" + held.ric + "\", list gives " +
                        it->second.tier + " \"" + it->second.ric + "\")");
    }
  }
  if (!changed.empty()) {
    err << "tovrel tables import: warning: " << changed.size() << " rows of the current table differ:\n";
    for (const std::string& c : changed) err << "  " << c << "\n";
  }

  const bool countOk = static_cast<int>(rows.size()) == table.expectedRows;
  if (!countOk) {
    err << "tovrel tables import: " << (force ? "warning: " : "") << "the list gives " << rows.size()
        << " rows; table " << table.name << " of grouper version " << versionText << " has "
        << table.expectedRows << "\n";
    if (!force) {
      err << "tovrel tables import: nothing written (check the list, or use --force)\n";
      return 1;
    }
  }

  const std::string path =
      !output.empty() ? output
                      : (dataDir.empty() ? std::string(kTierDataDir) : dataDir) + "/" + table.name + ".csv";
  const std::string temp = path + ".tmp";
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    file << "\"code\",\"ric\",\"tier\",\"note\"\n";
    for (const TierRow& r : rows) {
      file << CsvCell(r.code) << "," << CsvCell(r.ric) << "," << CsvCell(std::string(1, r.tier)) << ",\"\"\n";
    }
    file.close();
    if (!file) {
      err << "tovrel tables import: cannot write " << temp << ": " << std::strerror(errno) << "\n";
      std::remove(temp.c_str());
      return 1;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    err << "tovrel tables import: cannot replace " << path << ": " << std::strerror(errno) << "\n";
    std::remove(temp.c_str());
    return 1;
  }
  out << "Wrote " << rows.size() << " rows to " << path << (countOk ? " (complete)" : " (row count differs)")
      << ".\nRebuild to compile the table in.\n";
  return 0;
}

}  // namespace

std::optional<std::string> StoredCode(const std::string& text, bool icd10) {
  std::string s;
  for (char c : Upper(Trim(text))) {
    if (c != ' ') s += c;
  }
  const size_t dot = s.find('.');
  if (dot != std::string::npos && s.find('.', dot + 1) != std::string::npos) return std::nullopt;
  if (icd10) {
    while (!s.empty() && s.back() == '^') s.pop_back();
    if (dot != std::string::npos && dot != 3) return std::nullopt;
    if (dot != std::string::npos) s.erase(dot, 1);
    if (s.size() < 3 || s.size() > 7 || !std::isupper(static_cast<unsigned char>(s[0])) || !AllOf(s, std::isalnum)) {
      return std::nullopt;
    }
    s.insert(3, ".");
    s.resize(8, '^');
    return s;
  }
  // ICD-9: the dot stands after three digits, after "V" and two digits, or
  // after "E" and three digits.
  const size_t head = !s.empty() && s[0] == 'E' ? 4 : 3;
  const size_t tailMax = head == 4 ? 1 : 2;
  if (dot != std::string::npos && dot != head) return std::nullopt;
  if (dot != std::string::npos) s.erase(dot, 1);
  if (s.size() < head || s.size() > head + tailMax) return std::nullopt;
  const std::string digits = (s[0] == 'V' || s[0] == 'E') ? s.substr(1) : s;
  if (digits.empty() || !AllOf(digits, std::isdigit)) return std::nullopt;
  s.insert(head, ".");
  return s;
}

std::optional<char> StoredTier(const std::string& text) {
  std::string s = Upper(Trim(text));
  if (s.compare(0, 4, "TIER") == 0) s = Trim(s.substr(4));
  if (s == "1") return 'B';
  if (s == "2") return 'C';
  if (s == "3") return 'D';
  return std::nullopt;
}

std::optional<std::string> StoredRicList(const std::string& text, bool icd10) {
  std::string s = Upper(Trim(text));
  for (const char* word : {"RICS", "RIC"}) {
    for (size_t at = s.find(word); at != std::string::npos; at = s.find(word)) s.replace(at, std::strlen(word), " ");
  }
  std::replace(s.begin(), s.end(), ';', ',');
  std::set<int> rics;
  std::stringstream pieces(s);
  std::string piece;
  bool any = false;
  while (std::getline(pieces, piece, ',')) {
    piece = Trim(piece);
    if (piece.empty()) continue;
    if (!AllOf(piece, std::isdigit) || piece.size() > 2) return std::nullopt;
    const int ric = std::stoi(piece);
    if (ric < 1 || ric > 21) return std::nullopt;
    rics.insert(ric);
    any = true;
  }
  if (!any) {
    if (!Trim(s).empty() && s.find_first_not_of(" ,") != std::string::npos) return std::nullopt;
    return std::string(" ");
  }
  std::string out;
  for (int ric : rics) {
    char two[4];
    std::snprintf(two, sizeof two, "%02d", ric);
    if (!out.empty()) out += icd10 ? ", " : ",";
    out += two;
  }
  return out;
}

int RunTablesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return ShowTables(out);
  if (args[0] == "--help" || args[0] == "-h") {
    out << kUsage;
    return 0;
  }
  if (args[0] == "import") return Import(args, out, err);
  err << "tovrel tables: unknown argument '" << args[0] << "'\n" << kUsage;
  return 2;
}

}  // namespace tovrel::cli

int TablesCommand(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return tovrel::cli::RunTablesCommand(args, std::cout, std::cerr);
}
