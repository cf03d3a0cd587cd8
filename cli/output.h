// Result rows of `tovrel group`, as CSV or JSON Lines.
#ifndef TOVREL_CLI_OUTPUT_H
#define TOVREL_CLI_OUTPUT_H

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace tovrel::cli {

enum class Format { kCsv, kJsonl };

// One grouping result. Optional values are written empty (CSV) or null
// (JSON): a line number for whole documents, outputs the grouper never set.
struct ResultRow {
  std::string file;
  std::optional<long> line;
  int status = 0;
  std::optional<std::string> cmg;
  std::optional<std::string> motorScore;
  std::optional<int32_t> cogScore;
  std::optional<int32_t> age;
  std::optional<std::string> grouperVersion;
  std::optional<std::string> programVersion;
};

class RowWriter {
 public:
  RowWriter(std::FILE* out, Format format) : out_(out), format_(format) {}
  void Header();  // CSV only
  void Write(const ResultRow& row);

 private:
  std::FILE* out_;
  Format format_;
};

// RFC 4180: quoted only when the field holds a comma, quote, CR or LF.
std::string CsvField(const std::string& text);
// A JSON string literal, quotes included.
std::string JsonString(const std::string& text);

}  // namespace tovrel::cli

#endif
