// tovrel group --xml: one row per document, failures kept out of the results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_tovrel.h"

namespace {

using tovrel::test::CliRun;
using tovrel::test::Lines;
using tovrel::test::ReadFile;
using tovrel::test::RunTovrel;
using tovrel::test::WriteFile;

const std::string kExamples = EXAMPLES_DIR "/xml/";

// Everything after the file and line columns of a CSV row.
std::string Outputs(const std::string& row) {
  size_t comma = row.find(',');
  comma = row.find(',', comma + 1);
  return row.substr(comma + 1);
}

// The row of each example document is the row of the record it describes,
// with the document's name and no line number.
TEST(GroupXmlCli, DocumentGivesTheRowOfItsRecord) {
  for (const char* name : {"fim_2_60", "fim_3_10", "gg_4_00"}) {
    SCOPED_TRACE(name);
    const std::string xml = kExamples + name + ".xml";
    const CliRun record = RunTovrel({"group", kExamples + name + ".txt"});
    const CliRun run = RunTovrel({"group", "--xml", xml});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    const std::string recordRow = Lines(record.out).at(1);
    EXPECT_EQ(lines[1], xml + ",," + Outputs(recordRow));
    EXPECT_EQ(Outputs(recordRow).substr(0, 2), "0,");
  }
}

TEST(GroupXmlCli, DocumentFromStandardInput) {
  const std::string expected =
      "-,," + Outputs(Lines(RunTovrel({"group", kExamples + "gg_4_00.txt"}).out).at(1));
  const std::string document = ReadFile(kExamples + "gg_4_00.xml");
  for (const auto& args : std::vector<std::vector<std::string>>{{"group", "--xml"},
                                                                {"group", "--xml", "-"}}) {
    const CliRun run = RunTovrel(args, document);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Lines(run.out).at(1), expected);
  }
}

// An unusable document gives status 99 and empty outputs in its place among
// the others; its failure line goes to standard error only.
TEST(GroupXmlCli, UnusableDocumentGivesStatus99AndItsLineOnStandardError) {
  const std::string dir = tovrel::test::ScratchDir();
  const std::string broken = dir + "/broken.xml", other = dir + "/other.xml";
  WriteFile(broken, "<ASSESSMENT><R40>2019</R41></ASSESSMENT>");
  WriteFile(other, "<OTHER/>");
  const std::string missing = dir + "/missing.xml";
  struct Case {
    std::string file, input, line;
  };
  const std::vector<Case> cases = {
      {missing, "",
       "tovrel: Could not load xml file " + missing + ". Error=Failed to open file. Exiting."},
      {broken, "",
       "tovrel: Could not load xml file " + broken + ". Error=Error reading end tag.. Exiting."},
      {other, "", "tovrel: Error in " + other + ": No ASSESSMENT element"},
      {"-", "", "tovrel: -: Error in : Error document empty."},
      {"-", "<ASSESSMENT><R40>2019</R41></ASSESSMENT>",
       "tovrel: -: Error in : Error reading end tag."},
      {"-", std::string("<ASSESSMENT>\0</ASSESSMENT>", 26),
       "tovrel: -: Error in : Null character in the document"},
  };
  const std::string good = kExamples + "fim_2_60.xml";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    for (const char* format : {"csv", "jsonl"}) {
      const CliRun run = RunTovrel({"group", "--xml", "--format", format, good, c.file, good},
                                   c.input);
      EXPECT_EQ(run.exitCode, 1);
      const auto lines = Lines(run.out);
      const bool csv = std::string(format) == "csv";
      ASSERT_EQ(lines.size(), csv ? 4u : 3u) << run.out;
      EXPECT_EQ(lines[csv ? 2 : 1],
                csv ? c.file + ",,99,,,,,,"
                    : "{\"file\":\"" + c.file +
                          "\",\"line\":null,\"status\":99,\"cmg\":null,\"motor_score\":null,"
                          "\"cog_score\":null,\"age\":null,\"grouper_version\":null,"
                          "\"program_version\":null}");
      EXPECT_NE(lines.back().find(good), std::string::npos);
      EXPECT_EQ(run.out.find("rror"), std::string::npos) << run.out;
      std::vector<std::string> failureLines;
      for (const std::string& line : Lines(run.err)) {
        if (line.find("warning") == std::string::npos) failureLines.push_back(line);
      }
      EXPECT_EQ(failureLines, std::vector<std::string>{c.line}) << run.err;
    }
  }
}

// A failed grouping check is an ordinary result, not an XML failure.
TEST(GroupXmlCli, GroupingFailureIsAnOrdinaryRow) {
  const CliRun run = RunTovrel(
      {"group", "--xml"},
      "<ASSESSMENT><ASMT_SYS_CD>MDS 3.0</ASMT_SYS_CD><R40>20131121</R40></ASSESSMENT>");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Lines(run.out).at(1), "-,,1,     , 0.0,0,0,2.60,4.00");
}

}  // namespace
