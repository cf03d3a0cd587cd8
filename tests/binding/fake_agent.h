// A stand-in for the database's external-procedure agent: it defines the OCI
// and external-procedure services that libtovrelproc.so leaves undefined,
// keeps a context store per database session, hands out call memory, logs
// every service call with its arguments and fails chosen services on demand.
#ifndef TOVREL_TESTS_BINDING_FAKE_AGENT_H
#define TOVREL_TESTS_BINDING_FAKE_AGENT_H

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "extproc_services.h"

// The agent's handles. Each call gets its own, so a test can tell which
// call's handles a service received.
struct OCIExtProcContext {
  struct AgentCall* call;
};
struct OCIEnv {
  struct AgentCall* call;
};
struct OCISvcCtx {
  struct AgentCall* call;
};
struct OCIError {
  struct AgentCall* call;
};

struct RaisedError {
  int number;
  std::string message;
  size_t length;
};

// One call from the database, in one session.
struct AgentCall {
  int number = 0;
  int session = 0;
  OCIExtProcContext context{this};
  OCIEnv environment{this};
  OCISvcCtx serviceContext{this};
  OCIError errorHandle{this};
  std::vector<RaisedError> raised;
  std::vector<std::unique_ptr<unsigned char[]>> callMemory;  // freed on return
};

struct FakeAgent {
  // Service calls in order, e.g. "OCIFileInit(env2, err2)".
  std::vector<std::string> log;
  // Names of the services that fail: status -1, no memory from ociepacm.
  std::set<std::string> failing;
  // OCIMemoryAlloc reports success but hands back no memory.
  bool allocReturnsNull = false;
  // What OCIErrorGet copies (strncpy-like: a text that does not fit is cut
  // without a terminator); none makes it fail without writing.
  std::optional<std::string> errorText;

  FakeAgent();
  ~FakeAgent();
  FakeAgent(const FakeAgent&) = delete;
  FakeAgent& operator=(const FakeAgent&) = delete;

  // A new call of `session`, numbered from 1 in the order of creation.
  AgentCall& beginCall(int session);

  // Value stored in `session`'s context under `key`, or null.
  void* storedValue(int session, const std::string& key) const;
  // Duration it was stored with.
  uint32_t storedDuration(int session, const std::string& key) const;

  // Log name of a handle or memory block ("ctx1", "env1", "mem1"), "null" or
  // "?" for a pointer the agent never handed out.
  std::string nameOf(const void* pointer) const;
  bool failOn(const char* service) const;
  void record(const std::string& entry) { log.push_back(entry); }

  std::vector<std::unique_ptr<AgentCall>> calls;
  std::vector<std::unique_ptr<unsigned char[]>> processMemory;
  std::map<const void*, std::string> names;
  struct Stored {
    void* value;
    uint32_t duration;
  };
  std::map<int, std::map<std::string, Stored>> sessions;
};

// The agent the services talk to; set while a FakeAgent lives.
extern FakeAgent* currentAgent;

// Key bytes as lower-case hex, as the log prints them.
std::string hexBytes(const void* bytes, size_t length);

#endif
