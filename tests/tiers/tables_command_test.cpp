// `tovrel tables` and the import of a published tier list. Every list here
// is MADE-UP TEST DATA written to a temporary directory; the codes past the
// rows already held are invented and stand in no published list.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tables.h"
#include "tier_tables.h"

namespace tovrel::cli {
namespace {

namespace fs = std::filesystem;

struct CommandRun {
  int status;
  std::string out, err;
};

CommandRun Tables(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunTablesCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tier_import_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }
  CommandRun Import(const std::string& version, const std::string& list, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"import", "--version", version};
    if (std::find(extra.begin(), extra.end(), "--output") == extra.end()) {
      args.insert(args.end(), {"--data-dir", dir_.string()});
    }
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(list);
    return Tables(args);
  }

  fs::path dir_;
};

// Made-up list for 4.00 in the published spelling: the rows held now (codes
// without fill, "Tier N", "RIC nn"), the pair code "G02" and the secondary
// code "B39.4", one repeated row, and invented filler codes up to the
// published count.
std::string MadeUpList400(int fillerRows) {
  const TierTable& t = kTierTables[kTable400s1];
  std::string csv = "\xEF\xBB\xBF" "Code,Description,Tier,RIC Exclusion\r\n";
  for (int r = t.rows - 1; r >= 0; --r) {  // reversed: the import orders
    std::string code = t.single[r].code;
    code.erase(code.find('^') == std::string::npos ? code.size() : code.find('^'));
    if (r % 2) code.erase(3, 1);  // half of them without the dot
    std::string ric = t.single[r].ric;
    if (ric == " ") ric = "";
    else if (r % 3 == 0) ric = "RIC " + ric;
    csv += code + ",\"made-up, test\"," + (r % 2 ? "Tier " : "") + std::string(1, "123"[t.single[r].tier - 'B']) +
           ",\"" + ric + "\"\r\n";
  }
  csv += "G02,made-up pair code,3,\"03, 05\"\r\n";
  csv += "B39.4,made-up secondary code,3,15\r\n";
  csv += "Z99.2,repeated row,1,\r\n";
  for (int i = 0; i < fillerRows; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "U%02d.%02d", i / 100, i % 100);  // invented codes
    csv += std::string(code) + ",made-up filler,3,\r\n";
  }
  return csv;
}

TEST(TablesCommand, ListsEveryTableWithHeldAndExpectedRows) {
  const CommandRun run = Tables({});
  EXPECT_EQ(run.status, 0);
  for (const TierTable& t : kTierTables) {
    std::istringstream lines(run.out);
    std::string line;
    bool found = false;
    while (std::getline(lines, line)) {
      std::istringstream words(line);
      std::string name, kind;
      words >> name >> kind;
      if (name != t.name) continue;
      found = true;
      EXPECT_NE(line.find(" " + std::to_string(t.rows) + " "), std::string::npos) << line;
      EXPECT_NE(line.find(" " + std::to_string(t.expectedRows) + " "), std::string::npos) << line;
      EXPECT_NE(line.find(t.rows == t.expectedRows ? "complete" : "INCOMPLETE"), std::string::npos) << line;
    }
    EXPECT_TRUE(found) << t.name;
  }
  EXPECT_NE(run.out.find("tovrel tables import"), std::string::npos);
}

TEST(TablesCommand, UsageErrors) {
  EXPECT_EQ(Tables({"frobnicate"}).status, 2);
  EXPECT_EQ(Tables({"import", "list.csv"}).status, 2);
  const CommandRun unknown = Tables({"import", "--version", "2.81", "list.csv"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("2.82"), std::string::npos);
  EXPECT_EQ(Tables({"import", "--version", "4.00", "--output", "a", "--data-dir", "b", "x"}).status, 2);
  EXPECT_EQ(Tables({"import", "--version"}).status, 2);
}

TEST_F(ImportTest, CompleteListIsConvertedOrderedAndWritten) {
  const TierTable& t = kTierTables[kTable400s1];
  const int filler = t.expectedRows - t.rows;
  const CommandRun run = Import("4.00", Write("list.csv", MadeUpList400(filler)));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");  // every held row came back unchanged
  EXPECT_NE(run.out.find("Left out 2 codes"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("G02.^^^^"), std::string::npos);
  EXPECT_NE(run.out.find("Left out 1 repeated"), std::string::npos);

  const std::string written = ReadFile(dir_ / "400s1.csv");
  std::istringstream lines(written);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "\"code\",\"ric\",\"tier\",\"note\"");
  // The held rows come first, in the stored form and order (the filler codes
  // sort after them), then the filler.
  for (int r = 0; r < t.rows; ++r) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "\"" + std::string(t.single[r].code) + "\",\"" + t.single[r].ric + "\",\"" +
                        t.single[r].tier + "\",\"\"");
  }
  EXPECT_NE(written.find("\"I60.4^^^\",\"01, 02, 03 \",\"D\""), std::string::npos);
  EXPECT_NE(written.find("\"U10.07^^\",\" \",\"D\""), std::string::npos);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), t.expectedRows + 1);
  EXPECT_FALSE(fs::exists(dir_ / "400s1.csv.tmp"));
}

TEST_F(ImportTest, CountThatDiffersWritesNothingUnlessForced) {
  const std::string list = Write("list.csv",
                                 "code,description,tier,rics\n"
                                 "J3801,made-up,Tier 1,RIC 15\n"
                                 "A021,made-up,3,\n");
  CommandRun run = Import("4.00", list);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("the list gives 2 rows; table 400s1 of grouper version 4.00 has 1167"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("T87.44^^ (held, not in the list)"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "400s1.csv"));

  const fs::path output = dir_ / "out.csv";
  run = Import("4.00", list, {"--force", "--output", output.string()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("warning: the list gives 2 rows"), std::string::npos);
  EXPECT_EQ(ReadFile(output),
            "\"code\",\"ric\",\"tier\",\"note\"\n"
            "\"J38.01^^\",\"15\",\"B\",\"\"\n"
            "\"A02.1^^^\",\" \",\"D\",\"\"\n");
}

TEST_F(ImportTest, IcdNineListGetsListsWithoutBlanks) {
  const std::string list = Write("list.csv",
                                 "4783,made-up,1,\"RIC 15\"\n"
                                 "430,made-up,3,\"3, 5\"\n"
                                 "V440,made-up,Tier 1,\n"
                                 "99800,made-up,3,\"01, 02, 03\"\n");
  const CommandRun run = Import("2.70", list, {"--force"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("table 260, read by 2.60 2.70"), std::string::npos) << run.out;
  EXPECT_EQ(ReadFile(dir_ / "260.csv"),
            "\"code\",\"ric\",\"tier\",\"note\"\n"
            "\"478.3\",\"15\",\"B\",\"\"\n"
            "\"V44.0\",\" \",\"B\",\"\"\n"
            "\"430.\",\"03,05\",\"D\",\"\"\n"
            "\"998.00\",\"01,02,03\",\"D\",\"\"\n");
}

TEST_F(ImportTest, TrailingBlankOnlyWhereTheTableKeepsIt) {
  const std::string list = Write("list.csv", "I6010,made-up,3,\"1,2,3\"\nI6011,made-up,3,\"01, 02\"\n");
  ASSERT_EQ(Import("2.90", list, {"--force"}).status, 0);
  EXPECT_NE(ReadFile(dir_ / "290s1.csv").find("\"I60.10^^\",\"01, 02, 03 \""), std::string::npos);
  EXPECT_NE(ReadFile(dir_ / "290s1.csv").find("\"I60.11^^\",\"01, 02\","), std::string::npos);
  ASSERT_EQ(Import("2.82", list, {"--force"}).status, 0);
  EXPECT_NE(ReadFile(dir_ / "281s1.csv").find("\"I60.10^^\",\"01, 02, 03\","), std::string::npos);
}

TEST_F(ImportTest, BadRowsAreReportedWithTheirLineAndNothingIsWritten) {
  struct Case {
    const char* what;
    const char* csv;
    const char* message;
  };
  const Case cases[] = {
      {"no tier", "code,desc,tier,ric\nA021,made-up,4,\n", "list.csv:2: no tier 1, 2 or 3"},
      {"not a code", "code,desc,tier,ric\nA021,made-up,3,\n12,made-up,3,\n", "list.csv:3: not an ICD-10 code"},
      {"bad RIC", "A021,made-up,3,RIC 22\n", "list.csv:1: excluded RICs not readable"},
      {"list too long", "A021,made-up,3,\"1,2,3,5,6,8,9\"\n", "longer than the 20 characters"},
      {"conflicting repeat", "A021,made-up,3,\nA02.1,made-up,2,\n", "again, with another tier"},
      {"unclosed quote", "A021,\"made-up,3,\n", "quoted cell not closed"},
      {"header only", "code,description,tier,rics\n", "no tier rows found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CommandRun run = Import("4.00", Write("list.csv", c.csv), {"--force"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "400s1.csv"));
  }
  const CommandRun missing = Import("4.00", (dir_ / "absent.csv").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
}

TEST(StoredForm, Codes) {
  struct Case {
    const char* text;
    bool icd10;
    const char* stored;  // nullptr: refused
  };
  const Case cases[] = {
      {"A0471", true, "A04.71^^"},   {"a04.71", true, "A04.71^^"},  {"G02", true, "G02.^^^^"},
      {"G02.", true, "G02.^^^^"},    {"T800XXA", true, "T80.0XXA"}, {"E08.3211", true, "E08.3211"},
      {"J38.01^^", true, "J38.01^^"}, {" K82.A1 ", true, "K82.A1^^"}, {"A0.471", true, nullptr},
      {"A04712345", true, nullptr},  {"12", true, nullptr},         {"A04-71", true, nullptr},
      {"4783", false, "478.3"},      {"478.31", false, "478.31"},   {"430", false, "430."},
      {"037.", false, "037."},       {"V440", false, "V44.0"},      {"V45.11", false, "V45.11"},
      {"E8889", false, "E888.9"},    {"47.831", false, nullptr},    {"478^", false, nullptr},
      {"4783111", false, nullptr},   {"A021", false, nullptr},      {"", false, nullptr},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> got = StoredCode(c.text, c.icd10);
    EXPECT_EQ(got.value_or("(refused)"), c.stored ? c.stored : "(refused)") << c.text;
  }
}

TEST(StoredForm, TiersAndRicLists) {
  EXPECT_EQ(StoredTier("Tier 1"), 'B');
  EXPECT_EQ(StoredTier(" tier2 "), 'C');
  EXPECT_EQ(StoredTier("3"), 'D');
  EXPECT_EQ(StoredTier("4"), std::nullopt);
  EXPECT_EQ(StoredTier("Tier"), std::nullopt);
  struct Case {
    const char* text;
    bool icd10;
    const char* stored;
  };
  const Case cases[] = {
      {"", true, " "},           {"15", true, "15"},          {"RIC 15", true, "15"},
      {"RICs 03, 05", true, "03, 05"}, {"01, 02, 03", false, "01,02,03"}, {"3;1;2", true, "01, 02, 03"},
      {"05,03,05", false, "03,05"}, {"0", true, nullptr},       {"22", true, nullptr},
      {"1 5", true, nullptr},      {"none", true, nullptr},    {"015", true, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoredRicList(c.text, c.icd10).value_or("(refused)"), c.stored ? c.stored : "(refused)") << c.text;
  }
}

}  // namespace
}  // namespace tovrel::cli
