// Plays the database's external-procedure agent: loads libtovrelproc.so with
// dlopen, resolves the entry points by name and calls them while this program
// provides the OCI services.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_agent.h"
#include "outputs.h"
#include "tovrelproc.h"

namespace {

using EntryPoint = int (*)(OCIExtProcContext*, const char*, char*, int32_t*,
                           char*, int32_t*, int32_t*, char*, char*);

struct Library {
  void* handle = nullptr;
  EntryPoint calltovrel = nullptr;
  EntryPoint calltovrel_xml = nullptr;
  EntryPoint calltovrel_xml_file = nullptr;
  std::string error;
};

// Loaded once per process, as the agent does; RTLD_NOW so that a service the
// library needs but the agent lacks fails the load.
const Library& library() {
  static const Library loaded = [] {
    Library lib;
    lib.handle = dlopen(TOVRELPROC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (lib.handle == nullptr) {
      lib.error = dlerror();
      return lib;
    }
    auto find = [&](const char* name) {
      return reinterpret_cast<EntryPoint>(dlsym(lib.handle, name));
    };
    lib.calltovrel = find("calltovrel");
    lib.calltovrel_xml = find("calltovrel_xml");
    lib.calltovrel_xml_file = find("calltovrel_xml_file");
    return lib;
  }();
  return loaded;
}

// The key the record is stored under: the bytes of a 32-bit 1.
std::string contextKey() {
  const int32_t one = 1;
  return std::string(reinterpret_cast<const char*>(&one), sizeof one);
}

std::string contextKeyHex() {
  std::string key = contextKey();
  return hexBytes(key.data(), key.size());
}

using tovrel::test::Outputs;

enum class Entry { Record, XmlText, XmlFile };

const char* entryName(Entry entry) {
  switch (entry) {
    case Entry::Record: return "calltovrel";
    case Entry::XmlText: return "calltovrel_xml";
    case Entry::XmlFile: return "calltovrel_xml_file";
  }
  return "?";
}

// A record whose system code is wrong: TOVREL ends with status 1.
const char kWrongSystemRecord[] = "IRF-PAX";
// Passes the system code, fails on transaction type "3": status 2. Given to
// TOVREL as a record it would fail the system code instead.
const char kTransactionTypeXml[] =
    "<ASSESSMENT><ASMT_SYS_CD>IRF-PAI</ASMT_SYS_CD>"
    "<TRANS_TYPE_CD>3</TRANS_TYPE_CD></ASSESSMENT>";

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const Library& lib = library();
    ASSERT_NE(lib.handle, nullptr) << lib.error;
    ASSERT_NE(lib.calltovrel, nullptr);
    ASSERT_NE(lib.calltovrel_xml, nullptr);
    ASSERT_NE(lib.calltovrel_xml_file, nullptr);
  }

  EntryPoint entry(Entry which) const {
    switch (which) {
      case Entry::Record: return library().calltovrel;
      case Entry::XmlText: return library().calltovrel_xml;
      case Entry::XmlFile: return library().calltovrel_xml_file;
    }
    return nullptr;
  }

  // One database call of `session`; its service calls are what the log gained.
  int call(int session, Entry which, const char* input, Outputs& out) {
    AgentCall& c = agent.beginCall(session);
    size_t before = agent.log.size();
    int status = entry(which)(&c.context, input, out.cmg, &out.errorCode,
                              out.motorScore, &out.cogScore, &out.age,
                              out.grouperVersion, out.programVersion);
    lastLog.assign(agent.log.begin() + static_cast<long>(before),
                   agent.log.end());
    last = &c;
    return status;
  }
  int call(int session, const char* record, Outputs& out) {
    return call(session, Entry::Record, record, out);
  }

  std::string writeFile(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    files.push_back(path);
    return path;
  }

  void TearDown() override {
    for (const std::string& path : files) std::remove(path.c_str());
  }

  myCtx* storedRecord(int session) const {
    return static_cast<myCtx*>(agent.storedValue(session, contextKey()));
  }

  FakeAgent agent;
  std::vector<std::string> lastLog;
  AgentCall* last = nullptr;
  std::vector<std::string> files;
};

// `mem` is the agent's name for the record's memory block.
std::vector<std::string> firstCallLog(const std::string& n,
                                      const std::string& mem = "mem1") {
  const std::string env = "env" + n, err = "err" + n, key = contextKeyHex();
  return {
      "ociepgoe(ctx" + n + ")",
      "OCIContextGetValue(" + env + ", " + err + ", key " + key + ", 4)",
      "OCIMemoryAlloc(" + env + ", " + err + ", 5, " +
          std::to_string(sizeof(myCtx)) + ", 1)",
      "OCIContextSetValue(" + env + ", " + err + ", 10, key " + key +
          ", 4, " + mem + ")",
      "OCIExtractInit(" + env + ", " + err + ")",
      "OCIExtractSetNumKeys(" + env + ", " + err + ", 3)",
      "OCIExtractTerm(" + env + ", " + err + ")",
      "OCIFileInit(" + env + ", " + err + ")",
      "OCIFileTerm(" + env + ", " + err + ")",
  };
}

std::vector<std::string> laterCallLog(const std::string& n) {
  const std::string env = "env" + n, err = "err" + n;
  return {
      "ociepgoe(ctx" + n + ")",
      "OCIContextGetValue(" + env + ", " + err + ", key " + contextKeyHex() +
          ", 4)",
      "OCIFileInit(" + env + ", " + err + ")",
      "OCIFileTerm(" + env + ", " + err + ")",
  };
}

TEST_F(BindingTest, FirstCallOfSessionCreatesAndStoresRecord) {
  Outputs out;
  EXPECT_EQ(call(1, kWrongSystemRecord, out), 1);
  EXPECT_EQ(lastLog, firstCallLog("1"));
  EXPECT_TRUE(last->raised.empty());
  ASSERT_NE(storedRecord(1), nullptr);
  EXPECT_EQ(agent.nameOf(storedRecord(1)), "mem1");
  EXPECT_EQ(agent.storedDuration(1, contextKey()), kOciDurationSession);
}

TEST_F(BindingTest, LaterCallOfSessionOnlyRefreshesRecord) {
  Outputs first, second;
  call(1, kWrongSystemRecord, first);
  EXPECT_EQ(call(1, kWrongSystemRecord, second), 1);
  EXPECT_EQ(lastLog, laterCallLog("2"));
  EXPECT_TRUE(last->raised.empty());
}

TEST_F(BindingTest, RecordHoldsHandlesOfLatestCall) {
  Outputs out;
  call(1, kWrongSystemRecord, out);
  AgentCall* first = last;
  call(1, kWrongSystemRecord, out);
  AgentCall* second = last;

  myCtx* ctx = storedRecord(1);
  ASSERT_NE(ctx, nullptr);
  EXPECT_EQ(ctx->procContext, &second->context);
  EXPECT_EQ(ctx->environment, &second->environment);
  EXPECT_EQ(ctx->serviceContext, &second->serviceContext);
  EXPECT_EQ(ctx->errorHandle, &second->errorHandle);
  EXPECT_NE(ctx->procContext, &first->context);
}

TEST_F(BindingTest, EachSessionGetsItsOwnRecord) {
  Outputs out;
  call(1, kWrongSystemRecord, out);
  call(2, kWrongSystemRecord, out);
  EXPECT_EQ(lastLog, firstCallLog("2", "mem2"));
  EXPECT_NE(storedRecord(1), storedRecord(2));
}

// A failing step of the context set-up: what fails, and what is raised.
struct FailingStep {
  const char* service;
  bool allocReturnsNull;
  const char* message;
  bool fromOciError;  // raised through the record with the OCI error text
};

void PrintTo(const FailingStep& step, std::ostream* os) {
  *os << step.service << (step.allocReturnsNull ? " (no memory)" : "");
}

class FailingStepTest : public BindingTest,
                        public ::testing::WithParamInterface<FailingStep> {};

TEST_P(FailingStepTest, EndsCallWithMinusOneAndError20000) {
  const FailingStep& step = GetParam();
  agent.failing.insert(step.service);
  agent.allocReturnsNull = step.allocReturnsNull;
  agent.errorText = "ORA-04031: unable to allocate 32 bytes\n";

  Outputs out;
  EXPECT_EQ(call(1, kWrongSystemRecord, out), -1);
  EXPECT_TRUE(out.untouched()) << "no output may be written";

  ASSERT_EQ(last->raised.size(), 1u);
  EXPECT_EQ(last->raised[0].number, 20000);
  EXPECT_EQ(last->raised[0].message, step.message);
  EXPECT_EQ(last->raised[0].length, 0u);

  // The set-up stops at the failing service: after it only the raising runs,
  // on this call's context, and the file I/O is not stopped.
  std::vector<std::string> expectedTail;
  if (step.fromOciError) {
    expectedTail = {"ociepacm(ctx1, 256)", "OCIErrorGet(err1, 1, null, 255, 2)"};
  }
  expectedTail.push_back("ociepmsg(ctx1, 20000, len 0)");
  size_t failedAt = 0;
  while (failedAt < lastLog.size() &&
         lastLog[failedAt].rfind(std::string(step.service) + "(", 0) != 0) {
    ++failedAt;
  }
  ASSERT_LT(failedAt, lastLog.size());
  std::vector<std::string> tail(lastLog.begin() + static_cast<long>(failedAt) + 1,
                                lastLog.end());
  EXPECT_EQ(tail, expectedTail);
  // Everything before the failure is the ordinary first-call order.
  std::vector<std::string> head(lastLog.begin(),
                                lastLog.begin() + static_cast<long>(failedAt) + 1);
  std::vector<std::string> full = firstCallLog("1");
  EXPECT_EQ(head, std::vector<std::string>(full.begin(),
                                           full.begin() + static_cast<long>(head.size())));
}

INSTANTIATE_TEST_SUITE_P(
    InitSteps, FailingStepTest,
    ::testing::Values(
        FailingStep{"ociepgoe", false, "failed to get OCI Connection", false},
        FailingStep{"OCIContextGetValue", false, "failed to get OCI Context", false},
        FailingStep{"OCIMemoryAlloc", false, "failed to get OCI Memory", false},
        FailingStep{"OCIMemoryAlloc", true, "failed to get OCI Memory", false},
        FailingStep{"OCIContextSetValue", false,
                    "ORA-04031: unable to allocate 32 bytes", true},
        FailingStep{"OCIExtractInit", false,
                    "ORA-04031: unable to allocate 32 bytes", true},
        FailingStep{"OCIExtractSetNumKeys", false,
                    "ORA-04031: unable to allocate 32 bytes", true},
        FailingStep{"OCIExtractTerm", false,
                    "ORA-04031: unable to allocate 32 bytes", true},
        FailingStep{"OCIFileInit", false,
                    "ORA-04031: unable to allocate 32 bytes", true}),
    [](const ::testing::TestParamInfo<FailingStep>& info) {
      return std::string(info.param.service) +
             (info.param.allocReturnsNull ? "GivesNoMemory" : "");
    });

TEST_F(BindingTest, FileInitFailureInLaterCallIsRaisedThroughRecord) {
  Outputs out;
  call(1, kWrongSystemRecord, out);
  agent.failing.insert("OCIFileInit");
  agent.errorText = "ORA-29283: invalid file operation\n";
  Outputs second;
  EXPECT_EQ(call(1, kWrongSystemRecord, second), -1);
  EXPECT_TRUE(second.untouched());
  ASSERT_EQ(last->raised.size(), 1u);
  EXPECT_EQ(last->raised[0].message, "ORA-29283: invalid file operation");
  EXPECT_EQ(lastLog.back(), "ociepmsg(ctx2, 20000, len 0)");
  EXPECT_EQ(lastLog[lastLog.size() - 2], "OCIErrorGet(err2, 1, null, 255, 2)");
}

TEST_F(BindingTest, ExtractionFailureIsNotRepeatedByNextCallOfSession) {
  agent.failing.insert("OCIExtractSetNumKeys");
  Outputs first;
  EXPECT_EQ(call(1, kWrongSystemRecord, first), -1);
  ASSERT_EQ(last->raised.size(), 1u);
  EXPECT_EQ(last->raised[0].number, 20000);

  agent.failing.clear();
  Outputs second;
  EXPECT_EQ(call(1, kWrongSystemRecord, second), 1);
  EXPECT_EQ(lastLog, laterCallLog("2"));
  EXPECT_TRUE(last->raised.empty());
  EXPECT_EQ(second.errorCode, 1);
}

TEST_F(BindingTest, StoreFailureMakesNextCallSetUpAgain) {
  agent.failing.insert("OCIContextSetValue");
  Outputs first;
  EXPECT_EQ(call(1, kWrongSystemRecord, first), -1);

  agent.failing.clear();
  Outputs second;
  EXPECT_EQ(call(1, kWrongSystemRecord, second), 1);
  EXPECT_EQ(lastLog, firstCallLog("2", "mem2"));
}

// What OCIErrorGet (or the call memory for it) gives, and what is raised.
struct ErrorTextCase {
  const char* name;
  std::optional<std::string> errorText;
  bool noCallMemory;
  std::string raised;
};

void PrintTo(const ErrorTextCase& c, std::ostream* os) { *os << c.name; }

class ErrorTextTest : public BindingTest,
                      public ::testing::WithParamInterface<ErrorTextCase> {};

TEST_P(ErrorTextTest, RaisesTextOfLastOciError) {
  const ErrorTextCase& c = GetParam();
  agent.errorText = c.errorText;
  agent.failing.insert("OCIFileInit");
  if (c.noCallMemory) agent.failing.insert("ociepacm");

  Outputs out;
  EXPECT_EQ(call(1, kWrongSystemRecord, out), -1);
  ASSERT_EQ(last->raised.size(), 1u);
  EXPECT_EQ(last->raised[0].number, 20000);
  EXPECT_EQ(last->raised[0].message, c.raised);
  if (c.noCallMemory) {
    for (const std::string& entry : lastLog) {
      EXPECT_EQ(entry.rfind("OCIErrorGet(", 0), std::string::npos)
          << "no text area to read the error into";
    }
  }
}

const std::string k300(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    LastOciError, ErrorTextTest,
    ::testing::Values(
        ErrorTextCase{"OciText", "ORA-29280: invalid directory path\n", false,
                      "ORA-29280: invalid directory path"},
        ErrorTextCase{"NoErrorRecord", std::nullopt, false,
                      "unable to retrieve message"},
        ErrorTextCase{"NoCallMemory", "ORA-1\n", true,
                      "unable to retrieve message"},
        ErrorTextCase{"PercentSigns", "ORA-20001: 100% of %s %d %n\n", false,
                      "ORA-20001: 100% of %s %d %n"},
        ErrorTextCase{"EmptyText", "", false, "unable to retrieve message"},
        ErrorTextCase{"OnlyNewline", "\n", false, "unable to retrieve message"},
        ErrorTextCase{"NoNewlineKeepsLastCharacter", "ORA-12345", false,
                      "ORA-12345"},
        ErrorTextCase{"TextFillingTheBuffer", k300, false,
                      std::string(255, 'x')}),
    [](const ::testing::TestParamInfo<ErrorTextCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(BindingTest, GroupingFailureReturnsStatusWithoutRaising) {
  Outputs out;
  EXPECT_EQ(call(1, kWrongSystemRecord, out), 1);
  EXPECT_TRUE(last->raised.empty());
  EXPECT_EQ(out.errorCode, 1);
  EXPECT_STREQ(out.cmg, "     ");
  EXPECT_STREQ(out.programVersion, "4.00");
  EXPECT_EQ(lastLog.back(), "OCIFileTerm(env1, err1)");
}

// Every output arrives in its own parameter: a stroke patient (01.2), FIM
// motor items 4, cognitive items 5, age 69, discharged under "2.60".
TEST_F(BindingTest, GroupedRecordFillsEveryOutput) {
  std::string record(2784, ' ');
  record += '%';
  auto put = [&](size_t position, const std::string& value) {
    record.replace(position - 1, value.size(), value);
  };
  put(1, "IRF-PAI");
  put(11, "1");
  put(657, "19440312");
  put(688, "20130402");
  put(720, "  01.2");
  put(996, "20130420");
  for (size_t p : {882, 888, 894, 900, 906, 912, 918, 924, 930, 936, 948, 956}) {
    put(p, "04");
  }
  for (size_t p : {962, 970, 978, 984, 990}) put(p, "05");

  Outputs out;
  EXPECT_EQ(call(1, record.c_str(), out), 0);
  EXPECT_STREQ(out.cmg, "A0102");
  EXPECT_EQ(out.errorCode, 0);
  EXPECT_STREQ(out.motorScore, "48.0");
  EXPECT_EQ(out.cogScore, 25);
  EXPECT_EQ(out.age, 69);
  EXPECT_STREQ(out.grouperVersion, "2.60");
  EXPECT_STREQ(out.programVersion, "4.00");
  EXPECT_TRUE(last->raised.empty());
}

TEST_F(BindingTest, XmlThatDoesNotParseReturns99WithoutRaising) {
  Outputs out;
  ::testing::internal::CaptureStdout();
  int status = call(1, Entry::XmlText, "<ASSESSMENT><R40>", out);
  std::fflush(stdout);
  std::string printed = ::testing::internal::GetCapturedStdout();

  EXPECT_EQ(status, 99);
  EXPECT_TRUE(last->raised.empty());
  EXPECT_TRUE(out.untouched());
  EXPECT_EQ(lastLog.back(), "OCIFileTerm(env1, err1)");
  EXPECT_EQ(printed.rfind("Error in : ", 0), 0u) << printed;
}

// Each entry point hands its input to its own grouper function and returns
// that function's status; init runs first and term after it.
struct EntryCase {
  Entry entry;
  std::string input;  // for the file entry: the file's content
  int status;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
  *os << entryName(c.entry);
}

class EntryPointTest : public BindingTest,
                       public ::testing::WithParamInterface<EntryCase> {
 protected:
  std::string input(const EntryCase& c) {
    return c.entry == Entry::XmlFile ? writeFile("tovrelproc_entry.xml", c.input)
                                     : c.input;
  }
};

TEST_P(EntryPointTest, GroupsInputAndStopsFileIo) {
  const EntryCase& c = GetParam();
  std::string in = input(c);
  Outputs out;
  EXPECT_EQ(call(1, c.entry, in.c_str(), out), c.status);
  EXPECT_EQ(out.errorCode, c.status);
  EXPECT_STREQ(out.programVersion, "4.00");
  EXPECT_TRUE(last->raised.empty());
  EXPECT_EQ(lastLog, firstCallLog("1"));
}

TEST_P(EntryPointTest, WritesNothingWhenContextFails) {
  const EntryCase& c = GetParam();
  std::string in = input(c);
  agent.failing.insert("OCIContextGetValue");
  Outputs out;
  EXPECT_EQ(call(1, c.entry, in.c_str(), out), -1);
  EXPECT_TRUE(out.untouched());
  ASSERT_EQ(last->raised.size(), 1u);
  EXPECT_EQ(last->raised[0].message, "failed to get OCI Context");
  for (const std::string& entry : lastLog) {
    EXPECT_EQ(entry.rfind("OCIFileTerm(", 0), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryPointTest,
    ::testing::Values(EntryCase{Entry::Record, kWrongSystemRecord, 1},
                      EntryCase{Entry::XmlText, kTransactionTypeXml, 2},
                      EntryCase{Entry::XmlFile, kTransactionTypeXml, 2}),
    [](const ::testing::TestParamInfo<EntryCase>& info) {
      return std::string(entryName(info.param.entry));
    });

TEST_F(BindingTest, XmlFileThatCannotBeLoadedReturns99WithoutRaising) {
  Outputs out;
  ::testing::internal::CaptureStdout();
  int status = call(1, Entry::XmlFile, "/nonexistent/tovrel.xml", out);
  std::fflush(stdout);
  std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(status, 99);
  EXPECT_TRUE(last->raised.empty());
  EXPECT_TRUE(out.untouched());
  EXPECT_EQ(lastLog.back(), "OCIFileTerm(env1, err1)");
  EXPECT_NE(printed.find("/nonexistent/tovrel.xml"), std::string::npos);
}

TEST_F(BindingTest, ShortRecordIsReadOnlyUpToItsEnd) {
  // Exactly 10 characters and the terminator on the heap: a read past them
  // is caught by AddressSanitizer.
  const char text[] = "IRF-PAI   ";  // the system code field alone
  auto record = std::make_unique<char[]>(sizeof text);
  std::memcpy(record.get(), text, sizeof text);

  Outputs out;
  // The blank discharge date reads as 0.
  EXPECT_EQ(call(1, record.get(), out), 3);
  EXPECT_EQ(out.errorCode, 3);
  EXPECT_TRUE(last->raised.empty());
}

TEST_F(BindingTest, NullInputIsGroupedAsEmptyText) {
  Outputs record, xml, file;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(call(1, Entry::Record, nullptr, record), 1);
  EXPECT_EQ(call(1, Entry::XmlText, nullptr, xml), 99);
  EXPECT_EQ(call(1, Entry::XmlFile, nullptr, file), 99);
  std::fflush(stdout);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(record.errorCode, 1);
  EXPECT_TRUE(xml.untouched());
  EXPECT_TRUE(file.untouched());
}

}  // namespace
