#include "output.h"

namespace tovrel::cli {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

namespace {

template <typename T>
std::string Csv(const std::optional<T>& value) {
  if (!value) return "";
  if constexpr (std::is_same_v<T, std::string>) {
    return CsvField(*value);
  } else {
    return std::to_string(*value);
  }
}

template <typename T>
std::string Json(const std::optional<T>& value) {
  if (!value) return "null";
  if constexpr (std::is_same_v<T, std::string>) {
    return JsonString(*value);
  } else {
    return std::to_string(*value);
  }
}

}  // namespace

void RowWriter::Header() {
  if (format_ == Format::kCsv) {
    std::fputs("file,line,status,cmg,motor_score,cog_score,age,grouper_version,program_version\n",
               out_);
  }
}

void RowWriter::Write(const ResultRow& row) {
  std::string text;
  if (format_ == Format::kCsv) {
    text = CsvField(row.file) + ',' + Csv(row.line) + ',' + std::to_string(row.status) + ',' +
           Csv(row.cmg) + ',' + Csv(row.motorScore) + ',' + Csv(row.cogScore) + ',' +
           Csv(row.age) + ',' + Csv(row.grouperVersion) + ',' + Csv(row.programVersion) + '\n';
  } else {
    text = "{\"file\":" + JsonString(row.file) + ",\"line\":" + Json(row.line) +
           ",\"status\":" + std::to_string(row.status) + ",\"cmg\":" + Json(row.cmg) +
           ",\"motor_score\":" + Json(row.motorScore) + ",\"cog_score\":" + Json(row.cogScore) +
           ",\"age\":" + Json(row.age) + ",\"grouper_version\":" + Json(row.grouperVersion) +
           ",\"program_version\":" + Json(row.programVersion) + "}\n";
  }
  std::fwrite(text.data(), 1, text.size(), out_);
}

}  // namespace tovrel::cli
