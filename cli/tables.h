// `tovrel tables`: what the comorbidity tier tables hold, and the import of a
// published tier list into a table's data file.
#ifndef TOVREL_CLI_TABLES_H
#define TOVREL_CLI_TABLES_H

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// argv[0] is "tables". Returns the process exit status.
int TablesCommand(int argc, char** argv);

namespace tovrel::cli {

// `args` without "tables". Exit status: 0 done, 1 the input or the result
// is unusable (nothing written), 2 usage error.
int RunTablesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Conversions of a published list's cells to the stored form; nullopt when
// the text is not a code, tier or RIC list.
// "A0471" / "a04.71" -> "A04.71^^" (ICD-10); "4783" / "478.3" -> "478.3",
// "430" -> "430.", "V440" -> "V44.0" (ICD-9).
std::optional<std::string> StoredCode(const std::string& text, bool icd10);
// "Tier 1", "1" -> 'B'; 2 -> 'C'; 3 -> 'D'.
std::optional<char> StoredTier(const std::string& text);
// "" -> " "; "RIC 15" -> "15"; "1,2, 3" -> "01,02,03" (ICD-9) or
// "01, 02, 03" (ICD-10). RICs are 01 to 21, sorted, each once.
std::optional<std::string> StoredRicList(const std::string& text, bool icd10);

}  // namespace tovrel::cli

#endif
