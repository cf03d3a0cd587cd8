#include "group.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "output.h"
#include "tier.h"
#include "tovrel.h"
#include "tovrel_xml.h"
#include "versions.h"

namespace tovrel::cli {
namespace {

struct Options {
  Format format = Format::kCsv;
  bool xml = false;  // each file is one XML assessment document
  std::vector<std::string> files;
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tovrel: %s (try 'tovrel --help')\n", problem.c_str());
  return 2;
}

// Versions seen in this run whose single-code tier table is incomplete.
class TierWarning {
 public:
  void Note(const char* grouperVersion) {
    for (int v = 0; v < kVersionCount; ++v) {
      if (std::strcmp(kVersions[v].text, grouperVersion) == 0) {
        if (!TierTablesComplete(static_cast<Version>(v))) seen_.insert(v);
        return;
      }
    }
  }
  void Print() const {
    if (seen_.empty()) return;
    std::string names;
    for (int v : seen_) {
      if (!names.empty()) names += ", ";
      names += kVersions[v].text;
    }
    std::fprintf(stderr,
                 "tovrel: warning: incomplete comorbidity tier tables for grouper version(s) "
                 "%s: tier \"A\" may stand where the published list gives a tier (see "
                 "'tovrel tables')\n",
                 names.c_str());
  }

 private:
  std::set<int> seen_;
};

// The seven grouper outputs of one assessment.
struct Outputs {
  char cmg[6] = "";
  int32_t errorCode = 0;
  char motorScore[7] = "";
  int32_t cogScore = 0;
  int32_t age = 0;
  char grouperVersion[5] = "";
  char programVersion[5] = "";
};

// A result row carrying every output as the grouper left it.
ResultRow GroupedRow(const std::string& file, std::optional<long> line, int status,
                     const Outputs& o, TierWarning& warning) {
  if (status == 0) warning.Note(o.grouperVersion);
  ResultRow row;
  row.file = file;
  row.line = line;
  row.status = status;
  row.cmg = o.cmg;
  row.motorScore = o.motorScore;
  row.cogScore = o.cogScore;
  row.age = o.age;
  row.grouperVersion = o.grouperVersion;
  row.programVersion = o.programVersion;
  return row;
}

ResultRow GroupRecord(const std::string& file, long lineNo, const char* record,
                      TierWarning& warning) {
  Outputs o;
  const int status = TOVREL(record, o.cmg, &o.errorCode, o.motorScore, &o.cogScore, &o.age,
                            o.grouperVersion, o.programVersion);
  return GroupedRow(file, lineNo, status, o, warning);
}

// Groups every line of one file; false when the file could not be read.
bool GroupRecordFile(const std::string& name, RowWriter& writer, TierWarning& warning) {
  const bool isStdin = name == "-";
  std::FILE* in = isStdin ? stdin : std::fopen(name.c_str(), "rb");
  if (in == nullptr) {
    std::fprintf(stderr, "tovrel: cannot read %s: %s\n", name.c_str(), std::strerror(errno));
    return false;
  }
  const std::string shown = isStdin ? "-" : name;
  std::array<char, kRecordLength + 1> record;
  char* line = nullptr;
  size_t capacity = 0;
  long lineNo = 0;
  ssize_t got;
  errno = 0;
  while ((got = ::getline(&line, &capacity, in)) >= 0) {
    ++lineNo;
    size_t length = static_cast<size_t>(got);
    if (length > 0 && line[length - 1] == '\n') --length;
    if (length > 0 && line[length - 1] == '\r') --length;
    if (length > static_cast<size_t>(kRecordLength)) {
      std::fprintf(stderr,
                   "tovrel: warning: %s:%ld: record longer than %d characters; grouped on its "
                   "first %d\n",
                   shown.c_str(), lineNo, kRecordLength, kRecordLength);
      length = kRecordLength;
    }
    std::memcpy(record.data(), line, length);
    record[length] = '\0';
    writer.Write(GroupRecord(shown, lineNo, record.data(), warning));
  }
  const bool failed = std::ferror(in) != 0;
  const int readErrno = errno;
  std::free(line);
  if (!isStdin) std::fclose(in);
  if (failed) {
    std::fprintf(stderr, "tovrel: cannot read %s: %s\n", shown.c_str(),
                 std::strerror(readErrno ? readErrno : EIO));
    return false;
  }
  return true;
}

// Groups one XML document; false when it could not be read or parsed. Its
// failure line goes to standard error so the results stay clean.
bool GroupXmlDocument(const std::string& name, RowWriter& writer, TierWarning& warning) {
  Outputs o;
  std::string message;
  int status;
  if (name == "-") {
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) text.append(buffer, got);
    if (std::ferror(stdin)) {
      status = kXmlFailure;
      message = std::string("cannot read -: ") + std::strerror(errno) + "\n";
    } else if (text.find('\0') != std::string::npos) {
      // The parser would stop at the NUL and drop the rest unseen.
      status = kXmlFailure;
      message = "-: Error in : Null character in the document\n";
    } else {
      status = GroupXmlText(text.c_str(), message, o.cmg, &o.errorCode, o.motorScore,
                            &o.cogScore, &o.age, o.grouperVersion, o.programVersion);
      if (status == kXmlFailure) message = "-: " + message;
    }
  } else {
    status = GroupXmlFile(name.c_str(), message, o.cmg, &o.errorCode, o.motorScore, &o.cogScore,
                          &o.age, o.grouperVersion, o.programVersion);
  }
  if (status == kXmlFailure) {
    // Nothing was grouped: the row keeps only the file and the status.
    std::fprintf(stderr, "tovrel: %s", message.c_str());
    ResultRow row;
    row.file = name;
    row.status = status;
    writer.Write(row);
    return false;
  }
  writer.Write(GroupedRow(name, std::nullopt, status, o, warning));
  return true;
}

}  // namespace
}  // namespace tovrel::cli

int GroupCommand(int argc, char** argv) {
  using namespace tovrel::cli;
  Options options;
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsDone || arg == "-" || arg.empty() || arg[0] != '-') {
      options.files.push_back(arg);
    } else if (arg == "--xml") {
      options.xml = true;
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
      std::string value;
      if (arg == "--format") {
        if (i + 1 >= argc) return Usage("--format needs a value: csv or jsonl");
        value = argv[++i];
      } else {
        value = arg.substr(9);
      }
      if (value == "csv") {
        options.format = Format::kCsv;
      } else if (value == "jsonl") {
        options.format = Format::kJsonl;
      } else {
        return Usage("unknown format '" + value + "': use csv or jsonl");
      }
    } else {
      return Usage("group: unknown option '" + arg + "'");
    }
  }
  if (options.files.empty()) options.files.push_back("-");

  RowWriter writer(stdout, options.format);
  writer.Header();
  TierWarning warning;
  bool allRead = true;
  for (const std::string& file : options.files) {
    const bool read = options.xml ? GroupXmlDocument(file, writer, warning)
                                  : GroupRecordFile(file, writer, warning);
    if (!read) allRead = false;
  }
  std::fflush(stdout);
  warning.Print();
  if (std::ferror(stdout)) {
    std::fputs("tovrel: error writing results\n", stderr);
    return 1;
  }
  return allRead ? 0 : 1;
}
