#include <gtest/gtest.h>

#include <string>

#include "record_builder.h"
#include "run_tovrel.h"
#include "tier.h"

namespace {

using tovrel::test::Lines;
using tovrel::test::Record;
using tovrel::test::CliRun;
using tovrel::test::RunTovrel;
using tovrel::test::WriteFile;

const char kHeader[] =
    "file,line,status,cmg,motor_score,cog_score,age,grouper_version,program_version";

// Valid FIM record (A0102, 48.0, cognition 25, age 69, 2.60), then one that
// fails the system code check.
std::string TwoRecords(const std::string& eol = "\n") {
  Record bad = tovrel::test::ValidFimRecord();
  bad.Set("ASMT_SYS_CD", "MDS");
  return tovrel::test::ValidFimRecord().text() + eol + bad.text() + eol;
}

TEST(GroupCli, CsvFromStandardInputKeepsBlanks) {
  const CliRun run = RunTovrel({"group"}, TwoRecords());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, std::string(kHeader) + "\n" +
                         "-,1,0,A0102,48.0,25,69,2.60,4.00\n"
                         "-,2,1,     , 0.0,0,0,2.60,4.00\n");
}

TEST(GroupCli, JsonLinesWithNumbersAsNumbers) {
  const CliRun run = RunTovrel({"group", "--format", "jsonl", "-"}, TwoRecords());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "{\"file\":\"-\",\"line\":1,\"status\":0,\"cmg\":\"A0102\",\"motor_score\":\"48.0\","
            "\"cog_score\":25,\"age\":69,\"grouper_version\":\"2.60\",\"program_version\":"
            "\"4.00\"}\n"
            "{\"file\":\"-\",\"line\":2,\"status\":1,\"cmg\":\"     \",\"motor_score\":\" 0.0\","
            "\"cog_score\":0,\"age\":0,\"grouper_version\":\"2.60\",\"program_version\":"
            "\"4.00\"}\n");
}

TEST(GroupCli, CrlfAndLfGiveTheSameResults) {
  const CliRun lf = RunTovrel({"group"}, TwoRecords("\n"));
  const CliRun crlf = RunTovrel({"group"}, TwoRecords("\r\n"));
  EXPECT_EQ(lf.out, crlf.out);
}

TEST(GroupCli, EmptyLineIsGroupedAndLastLineNeedsNoLineEnd) {
  const std::string valid = tovrel::test::ValidFimRecord().text();
  const CliRun run = RunTovrel({"group"}, valid + "\n\n" + valid);
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "-,2,1,     , 0.0,0,0,    ,4.00");
  EXPECT_EQ(lines[3], "-,3,0,A0102,48.0,25,69,2.60,4.00");
}

TEST(GroupCli, OverlongLineIsGroupedOnItsRecordLengthWithAWarning) {
  const CliRun run = RunTovrel({"group"}, tovrel::test::ValidFimRecord().text() + "EXTRA\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(Lines(run.out).at(1), "-,1,0,A0102,48.0,25,69,2.60,4.00");
  EXPECT_NE(run.err.find("-:1: record longer than 2785 characters"), std::string::npos) << run.err;
}

TEST(GroupCli, UnreadableFileIsReportedAndTheOthersAreStillGrouped) {
  const std::string dir = tovrel::test::ScratchDir();
  const std::string good = dir + "/a,b.txt";  // a comma makes CSV quote the name
  WriteFile(good, TwoRecords());
  const CliRun run = RunTovrel({"group", dir + "/missing.txt", good, dir});
  EXPECT_EQ(run.exitCode, 1);
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "\"" + good + "\",1,0,A0102,48.0,25,69,2.60,4.00");
  EXPECT_NE(run.err.find("cannot read " + dir + "/missing.txt: No such file or directory"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("cannot read " + dir + ": Is a directory"), std::string::npos) << run.err;
}

TEST(GroupCli, UsageErrorsExitTwoWithAHint) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"frobnicate"}, {"group", "--format", "xml"}, {"group", "--format"}, {"group", "--bogus"},
  };
  for (const auto& args : cases) {
    const CliRun run = RunTovrel(args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("tovrel --help"), std::string::npos) << run.err;
  }
}

TEST(GroupCli, IncompleteTierTablesAreNamedOnceOnStandardError) {
  const std::string valid = tovrel::test::ValidFimRecord().text();
  Record gg = tovrel::test::ValidGgRecord();
  const CliRun run = RunTovrel({"group"}, valid + "\n" + valid + "\n" + gg.text() + "\n");
  const auto lines = Lines(run.err);
  if (tovrel::TierTablesComplete(tovrel::kV260) && tovrel::TierTablesComplete(tovrel::kV400)) {
    EXPECT_TRUE(lines.empty()) << run.err;
  } else {
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find("grouper version(s) 2.60, 4.00:"), std::string::npos) << run.err;
  }
  // A record that fails a check reads no tier table.
  Record bad = tovrel::test::ValidFimRecord();
  bad.Set("ASMT_SYS_CD", "MDS");
  EXPECT_EQ(RunTovrel({"group"}, bad.text()).err, "");
}

TEST(GroupCli, HelpAndVersion) {
  const CliRun help = RunTovrel({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("tovrel group"), std::string::npos);
  const CliRun version = RunTovrel({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_NE(version.out.find("4.00"), std::string::npos);
}

TEST(GroupCli, BundledExampleGroups) {
  const CliRun run = RunTovrel({"group", EXAMPLES_DIR "/records.txt"});
  EXPECT_EQ(run.exitCode, 0);
  const auto lines = Lines(run.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], kHeader);
}

}  // namespace
