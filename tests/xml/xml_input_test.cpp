// XML assessment input: the working record built from a document, the
// failure lines, and grouping through the XML front ends.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tovrel.h"
#include "outputs.h"
#include "tovrel_xml.h"
#include "xml_record.h"

namespace {

using tovrel::WorkingRecord;

std::string BlankRecord() { return std::string(kRecordLength - 1, ' ') + "%"; }

std::string Assessment(const std::string& items) {
  return "<ASSESSMENT>" + items + "</ASSESSMENT>";
}

// 1-based write, as an expected record is composed.
void Put(std::string& record, int position, const std::string& text) {
  record.replace(position - 1, text.size(), text);
}

// Builds from text into a record that starts out full of garbage, so a
// missing reset shows up.
std::string BuildFromText(const std::string& xml) {
  WorkingRecord record;
  record.fill('Z');
  std::string message = "stale";
  const int status = tovrel::BuildRecordFromXmlText(xml.c_str(), record, message);
  EXPECT_EQ(status, 0) << message;
  EXPECT_EQ(message, "");
  EXPECT_EQ(record[kRecordLength], '\0');
  return std::string(record.data(), kRecordLength);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

using tovrel::test::Outputs;

// ---------------------------------------------------------------------------
// The working record

struct WriteCase {
  const char* what;
  std::string items;                               // children of ASSESSMENT
  std::vector<std::pair<int, std::string>> writes;  // expected, in order
};

TEST(XmlRecord, ItemElementsAreWrittenAtTheirPositions) {
  const std::vector<WriteCase> cases = {
      {"no item elements: blanks and the final %", "", {}},
      {"short text leaves the rest of the field blank",
       "<ASMT_SYS_CD>IRF-PAI</ASMT_SYS_CD>", {{1, "IRF-PAI"}}},
      {"lower-case name matches nothing", "<asmt_sys_cd>IRF-PAI</asmt_sys_cd>", {}},
      {"name extending an item matches nothing",
       "<ASMT_SYS_CDX>IRF-PAI</ASMT_SYS_CDX>", {}},
      {"prefix of an item name matches nothing", "<ASMT_SYS_C>IRF-PAI</ASMT_SYS_C>", {}},
      {"three characters in a two-character field run on",
       "<R39AA>123</R39AA>", {{882, "123"}}},
      {"later R40 overwrites as far as its text reaches",
       "<R40>20190101</R40><R40>99</R40>", {{996, "20190101"}, {996, "99"}}},
      {"long text overwrites the next field written earlier",
       "<R24B>12345678</R24B><R24A>ABCDEFGHI</R24A>",
       {{762, "12345678"}, {754, "ABCDEFGHI"}}},
      {"last item runs on past position 1615", "<H0400>123</H0400>", {{1615, "123"}}},
      {"item nested in another child is ignored",
       "<OTHER><R40>20190101</R40></OTHER>", {}},
      {"item nested in an item is ignored; the outer text counts",
       "<R12>20190101<R40>20190202</R40></R12>", {{688, "20190101"}}},
      {"entity and character references are decoded",
       "<R24A>A&amp;B&lt;&#67;&#x44;</R24A>", {{754, "A&B<CD"}}},
      {"white space is condensed and trimmed",
       "<R24A>\n   I10 \t  .9  \n</R24A>", {{754, "I10 .9"}}},
      {"character references keep leading blanks",
       "<R21A>&#32;&#32;01.2</R21A>", {{720, "  01.2"}}},
      {"CDATA keeps its white space", "<R24A><![CDATA[ I1  0 ]]></R24A>",
       {{754, " I1  0 "}}},
      {"attributes are ignored", "<R40 source=\"ward\">20190101</R40>",
       {{996, "20190101"}}},
      {"attributes only: nothing written", "<R40 value=\"20190101\"/>", {}},
      {"comments among items are ignored",
       "<!-- <R40>20190101</R40> --><R6>19400101</R6><!-- end -->",
       {{657, "19400101"}}},
      {"text before a comment inside an item counts",
       "<R40>2019<!-- rest later --></R40>", {{996, "2019"}}},
      {"item starting with a comment: nothing written",
       "<R40><!-- none -->20190101</R40>", {}},
      {"empty elements write nothing", "<R40></R40><R6/><R12>   </R12>", {}},
      {"text directly in the assessment is ignored",
       "loose text<R6>19400101</R6>more", {{657, "19400101"}}},
      {"unknown elements are skipped, later items still read",
       "<PATIENT_NAME>Doe</PATIENT_NAME><R6>19400101</R6>", {{657, "19400101"}}},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::string expected = BlankRecord();
    for (const auto& [position, text] : c.writes) Put(expected, position, text);
    EXPECT_EQ(BuildFromText(Assessment(c.items)), expected);
  }
}

TEST(XmlRecord, DocumentAroundTheAssessmentIsIgnored) {
  std::string expected = BlankRecord();
  Put(expected, 996, "20190101");
  const std::vector<std::string> documents = {
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- export -->\n" +
          Assessment("<R40>20190101</R40>"),
      "<HEADER><R40>11111111</R40></HEADER>" + Assessment("<R40>20190101</R40>"),
      Assessment("<R40>20190101</R40>") + "<ASSESSMENT><R6>19400101</R6></ASSESSMENT>",
  };
  for (const std::string& document : documents) {
    SCOPED_TRACE(document);
    EXPECT_EQ(BuildFromText(document), expected);
  }
}

// No text, however long, may leave the working record or touch its "%" and
// terminator; a long name simply matches nothing.
TEST(XmlRecord, OversizedNamesAndTextsStayInsideTheRecord) {
  const std::string huge(100000, 'x');
  const int last = kRecordLength - 1;  // last blank position

  std::string fromH0400 = BlankRecord();
  Put(fromH0400, 1615, std::string(last - 1615 + 1, 'x'));
  EXPECT_EQ(BuildFromText(Assessment("<H0400>" + huge + "</H0400>")), fromH0400);

  std::string fromStart = BlankRecord();
  Put(fromStart, 1, std::string(last, 'x'));
  EXPECT_EQ(BuildFromText(Assessment("<ASMT_SYS_CD>" + huge + "</ASMT_SYS_CD>")),
            fromStart);

  // Just past the 192 characters that are always accepted: written whole.
  const std::string text193(193, 'y');
  std::string whole = BlankRecord();
  Put(whole, 1615, text193);
  EXPECT_EQ(BuildFromText(Assessment("<H0400>" + text193 + "</H0400>")), whole);

  const std::string longName = "R40" + std::string(100000, 'N');
  EXPECT_EQ(BuildFromText(Assessment("<" + longName + ">20190101</" + longName + ">")),
            BlankRecord());

  Outputs out;
  std::string message;
  const int status = tovrel::GroupXmlText(
      Assessment("<H0400>" + huge + "</H0400>").c_str(), message, out.cmg,
      &out.errorCode, out.motorScore, &out.cogScore, &out.age, out.grouperVersion,
      out.programVersion);
  EXPECT_NE(status, kXmlFailure);
  EXPECT_EQ(status, out.errorCode);
  EXPECT_EQ(message, "");
}

// ---------------------------------------------------------------------------
// Failures: status 99, one line, no output written

struct FailureCase {
  const char* what;
  const char* xml;  // may be null
  std::string line;
};

TEST(XmlText, UnusableDocumentsGiveTheirLineAndTouchNoOutput) {
  const std::vector<FailureCase> cases = {
      {"empty text", "", "Error in : Error document empty.\n"},
      {"null text", nullptr, "Error in : Error document empty.\n"},
      {"only white space", "  \n ", "Error in : Error document empty.\n"},
      {"unclosed element", "<ASSESSMENT><R40>2019",
       "Error in : Error reading Element value.\n"},
      {"mismatched end tag", "<ASSESSMENT><R40>2019</R41></ASSESSMENT>",
       "Error in : Error reading end tag.\n"},
      {"no ASSESSMENT element", "<OTHER><R40>20190101</R40></OTHER>",
       "Error in : No ASSESSMENT element\n"},
      {"ASSESSMENT below the top level", "<ROOT><ASSESSMENT/></ROOT>",
       "Error in : No ASSESSMENT element\n"},
      {"lower-case assessment", "<assessment><R40>20190101</R40></assessment>",
       "Error in : No ASSESSMENT element\n"},
      {"comment only: no root element", "<!-- nothing here -->",
       "Error in : No ASSESSMENT element\n"},
      {"first ASSESSMENT node is a comment",
       "<!--ASSESSMENT-->" "<ASSESSMENT><R40>20190101</R40></ASSESSMENT>",
       "Error in : The first ASSESSMENT node is not an element\n"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Outputs untouched;

    Outputs out;
    testing::internal::CaptureStdout();
    const int status = TOVREL_XML(c.xml, out.cmg, &out.errorCode, out.motorScore,
                                  &out.cogScore, &out.age, out.grouperVersion,
                                  out.programVersion);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line);
    EXPECT_EQ(status, kXmlFailure);
    EXPECT_EQ(out, untouched);

    // The quiet variant hands the same line back and prints nothing.
    Outputs quiet;
    std::string message;
    testing::internal::CaptureStdout();
    EXPECT_EQ(tovrel::GroupXmlText(c.xml, message, quiet.cmg, &quiet.errorCode,
                                   quiet.motorScore, &quiet.cogScore, &quiet.age,
                                   quiet.grouperVersion, quiet.programVersion),
              kXmlFailure);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(message, c.line);
    EXPECT_EQ(quiet, untouched);
  }
}

class XmlFile : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tovrel_xml_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    for (const std::string& f : files_) std::remove(f.c_str());
    rmdir(dir_.c_str());
  }
  std::string Write(const std::string& name, const std::string& content) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    files_.push_back(path);
    return path;
  }
  std::string dir_;
  std::vector<std::string> files_;
};

TEST_F(XmlFile, UnusableFilesGiveTheirLineAndTouchNoOutput) {
  const std::string missing = dir_ + "/no such file.xml";
  const std::string empty = Write("empty.xml", "");
  const std::string broken = Write("broken.xml", "<ASSESSMENT><R40>2019</R41></ASSESSMENT>");
  const std::string other = Write("other.xml", "<OTHER><R40>20190101</R40></OTHER>");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {missing, "Could not load xml file " + missing +
                    ". Error=Failed to open file. Exiting.\n"},
      {empty, "Could not load xml file " + empty +
                  ". Error=Error document empty.. Exiting.\n"},
      {broken, "Could not load xml file " + broken +
                   ". Error=Error reading end tag.. Exiting.\n"},
      {dir_, "Could not load xml file " + dir_ + ". Error=Is a directory. Exiting.\n"},
      {other, "Error in " + other + ": No ASSESSMENT element\n"},
  };
  for (const auto& [path, line] : cases) {
    SCOPED_TRACE(path);
    const Outputs untouched;
    Outputs out;
    testing::internal::CaptureStdout();
    const int status = TOVREL_XML_FILE(path.c_str(), out.cmg, &out.errorCode,
                                       out.motorScore, &out.cogScore, &out.age,
                                       out.grouperVersion, out.programVersion);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), line);
    EXPECT_EQ(status, kXmlFailure);
    EXPECT_EQ(out, untouched);
  }

  Outputs out;
  testing::internal::CaptureStdout();
  EXPECT_EQ(TOVREL_XML_FILE(nullptr, out.cmg, &out.errorCode, out.motorScore,
                            &out.cogScore, &out.age, out.grouperVersion,
                            out.programVersion),
            kXmlFailure);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Could not load xml file . Error=No file name given. Exiting.\n");
  EXPECT_EQ(out, Outputs());
}

TEST_F(XmlFile, FileAndTextBuildTheSameRecord) {
  const std::string xml = Assessment("<R40>20190101</R40><R39AA>123</R39AA>");
  WorkingRecord fromFile;
  std::string message;
  ASSERT_EQ(tovrel::BuildRecordFromXmlFile(Write("a.xml", xml).c_str(), fromFile,
                                           message),
            0)
      << message;
  EXPECT_EQ(std::string(fromFile.data(), kRecordLength), BuildFromText(xml));
}

// ---------------------------------------------------------------------------
// Grouping

// A grouping failure is TOVREL's own status, not an XML failure.
TEST(XmlText, GroupingStatusPassesThroughSilently) {
  Outputs out;
  testing::internal::CaptureStdout();
  const int status = TOVREL_XML(Assessment("").c_str(), out.cmg, &out.errorCode,
                                out.motorScore, &out.cogScore, &out.age,
                                out.grouperVersion, out.programVersion);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  Outputs direct;
  const std::string blank = BlankRecord();
  const int expected =
      TOVREL(blank.c_str(), direct.cmg, &direct.errorCode, direct.motorScore,
             &direct.cogScore, &direct.age, direct.grouperVersion,
             direct.programVersion);
  EXPECT_EQ(status, expected);
  EXPECT_EQ(status, 1);  // a blank system code
  EXPECT_EQ(out, direct);
}

// Each example document and the fixed-width record it describes: the same
// record, and the same seven outputs through every front end.
TEST(XmlExamples, DocumentAndRecordGroupAlike) {
  for (const char* name : {"fim_2_60", "fim_3_10", "gg_4_00"}) {
    SCOPED_TRACE(name);
    const std::string base = std::string(TOVREL_XML_EXAMPLES_DIR) + "/" + name;
    std::string record = ReadFile(base + ".txt");
    ASSERT_EQ(record.size(), static_cast<size_t>(kRecordLength + 1));
    ASSERT_EQ(record.back(), '\n');
    record.pop_back();
    const std::string xml = ReadFile(base + ".xml");

    WorkingRecord built;
    std::string message;
    ASSERT_EQ(tovrel::BuildRecordFromXmlFile((base + ".xml").c_str(), built, message), 0)
        << message;
    EXPECT_EQ(std::string(built.data(), kRecordLength), record);

    Outputs fromRecord, fromText, fromFile;
    EXPECT_EQ(TOVREL(record.c_str(), fromRecord.cmg, &fromRecord.errorCode,
                     fromRecord.motorScore, &fromRecord.cogScore, &fromRecord.age,
                     fromRecord.grouperVersion, fromRecord.programVersion),
              0)
        << fromRecord;
    testing::internal::CaptureStdout();
    EXPECT_EQ(TOVREL_XML(xml.c_str(), fromText.cmg, &fromText.errorCode,
                         fromText.motorScore, &fromText.cogScore, &fromText.age,
                         fromText.grouperVersion, fromText.programVersion),
              0);
    EXPECT_EQ(TOVREL_XML_FILE((base + ".xml").c_str(), fromFile.cmg,
                              &fromFile.errorCode, fromFile.motorScore,
                              &fromFile.cogScore, &fromFile.age,
                              fromFile.grouperVersion, fromFile.programVersion),
              0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(fromText, fromRecord);
    EXPECT_EQ(fromFile, fromRecord);
  }
}

}  // namespace
