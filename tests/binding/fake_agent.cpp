#include "fake_agent.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

FakeAgent* currentAgent = nullptr;

namespace {

constexpr OciStatus kFailure = -1;

FakeAgent& agent() {
  if (currentAgent == nullptr) throw std::logic_error("no agent running");
  return *currentAgent;
}

std::string str(const void* pointer) { return agent().nameOf(pointer); }

}  // namespace

std::string hexBytes(const void* bytes, size_t length) {
  std::string out;
  const auto* p = static_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < length; ++i) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", p[i]);
    out += two;
  }
  return out;
}

FakeAgent::FakeAgent() {
  if (currentAgent != nullptr) throw std::logic_error("one agent at a time");
  currentAgent = this;
}

FakeAgent::~FakeAgent() { currentAgent = nullptr; }

AgentCall& FakeAgent::beginCall(int session) {
  calls.push_back(std::make_unique<AgentCall>());
  AgentCall& call = *calls.back();
  call.number = static_cast<int>(calls.size());
  call.session = session;
  std::string n = std::to_string(call.number);
  names[&call.context] = "ctx" + n;
  names[&call.environment] = "env" + n;
  names[&call.serviceContext] = "svc" + n;
  names[&call.errorHandle] = "err" + n;
  return call;
}

void* FakeAgent::storedValue(int session, const std::string& key) const {
  auto s = sessions.find(session);
  if (s == sessions.end()) return nullptr;
  auto v = s->second.find(key);
  return v == s->second.end() ? nullptr : v->second.value;
}

uint32_t FakeAgent::storedDuration(int session, const std::string& key) const {
  return sessions.at(session).at(key).duration;
}

std::string FakeAgent::nameOf(const void* pointer) const {
  if (pointer == nullptr) return "null";
  auto it = names.find(pointer);
  return it == names.end() ? "?" : it->second;
}

bool FakeAgent::failOn(const char* service) const {
  return failing.count(service) != 0;
}

// The services, as the agent process offers them to the libraries it loads.
extern "C" {

OciStatus ociepgoe(OCIExtProcContext* context, OCIEnv** environment,
                   OCISvcCtx** serviceContext, OCIError** errorHandle) {
  agent().record("ociepgoe(" + str(context) + ")");
  if (agent().failOn("ociepgoe")) return kFailure;
  *environment = &context->call->environment;
  *serviceContext = &context->call->serviceContext;
  *errorHandle = &context->call->errorHandle;
  return kOciSuccess;
}

OciStatus ociepmsg(OCIExtProcContext* context, int number, const char* message,
                   size_t length) {
  agent().record("ociepmsg(" + str(context) + ", " + std::to_string(number) +
                 ", len " + std::to_string(length) + ")");
  std::string text = length == 0 ? std::string(message)
                                 : std::string(message, length);
  context->call->raised.push_back({number, text, length});
  return kOciSuccess;
}

void* ociepacm(OCIExtProcContext* context, size_t amount) {
  agent().record("ociepacm(" + str(context) + ", " + std::to_string(amount) +
                 ")");
  if (agent().failOn("ociepacm")) return nullptr;
  // Exactly the amount asked for, and not cleared, so that a read or write
  // outside it or of bytes never written shows.
  auto block = std::make_unique<unsigned char[]>(amount);
  std::memset(block.get(), 0xA5, amount);
  void* memory = block.get();
  context->call->callMemory.push_back(std::move(block));
  return memory;
}

OciStatus OCIContextGetValue(OCIEnv* environment, OCIError* errorHandle,
                             const uint8_t* key, uint32_t keyLength,
                             void** value) {
  agent().record("OCIContextGetValue(" + str(environment) + ", " +
                 str(errorHandle) + ", key " + hexBytes(key, keyLength) +
                 ", " + std::to_string(keyLength) + ")");
  if (agent().failOn("OCIContextGetValue")) return kFailure;
  *value = agent().storedValue(environment->call->session,
                               std::string(reinterpret_cast<const char*>(key),
                                           keyLength));
  return kOciSuccess;
}

OciStatus OCIContextSetValue(OCIEnv* environment, OCIError* errorHandle,
                             uint32_t duration, const uint8_t* key,
                             uint32_t keyLength, void* value) {
  agent().record("OCIContextSetValue(" + str(environment) + ", " +
                 str(errorHandle) + ", " + std::to_string(duration) +
                 ", key " + hexBytes(key, keyLength) + ", " +
                 std::to_string(keyLength) + ", " + str(value) + ")");
  if (agent().failOn("OCIContextSetValue")) return kFailure;
  agent().sessions[environment->call->session]
                  [std::string(reinterpret_cast<const char*>(key), keyLength)] =
      {value, duration};
  return kOciSuccess;
}

OciStatus OCIMemoryAlloc(OCIEnv* environment, OCIError* errorHandle,
                         void** memory, uint32_t duration, uint32_t size,
                         uint32_t flags) {
  agent().record("OCIMemoryAlloc(" + str(environment) + ", " +
                 str(errorHandle) + ", " + std::to_string(duration) + ", " +
                 std::to_string(size) + ", " + std::to_string(flags) + ")");
  if (agent().failOn("OCIMemoryAlloc")) return kFailure;
  if (agent().allocReturnsNull) {
    *memory = nullptr;
    return kOciSuccess;
  }
  auto block = std::make_unique<unsigned char[]>(size);
  std::memset(block.get(), flags & kOciMemoryClear ? 0 : 0xA5, size);
  *memory = block.get();
  agent().processMemory.push_back(std::move(block));
  agent().names[*memory] = "mem" + std::to_string(agent().processMemory.size());
  return kOciSuccess;
}

#define TOVREL_FAKE_HANDLE_PAIR_SERVICE(name)                              \
  OciStatus name(OCIEnv* environment, OCIError* errorHandle) {             \
    agent().record(#name "(" + str(environment) + ", " + str(errorHandle) + \
                   ")");                                                   \
    return agent().failOn(#name) ? kFailure : kOciSuccess;                 \
  }

TOVREL_FAKE_HANDLE_PAIR_SERVICE(OCIExtractInit)
TOVREL_FAKE_HANDLE_PAIR_SERVICE(OCIExtractTerm)
TOVREL_FAKE_HANDLE_PAIR_SERVICE(OCIFileInit)
TOVREL_FAKE_HANDLE_PAIR_SERVICE(OCIFileTerm)

OciStatus OCIExtractSetNumKeys(OCIEnv* environment, OCIError* errorHandle,
                               uint32_t keyCount) {
  agent().record("OCIExtractSetNumKeys(" + str(environment) + ", " +
                 str(errorHandle) + ", " + std::to_string(keyCount) + ")");
  return agent().failOn("OCIExtractSetNumKeys") ? kFailure : kOciSuccess;
}

OciStatus OCIErrorGet(void* handle, uint32_t recordNumber, char* sqlState,
                      int32_t* errorCode, char* buffer, uint32_t bufferSize,
                      uint32_t handleType) {
  agent().record("OCIErrorGet(" + str(handle) + ", " +
                 std::to_string(recordNumber) + ", " + str(sqlState) + ", " +
                 std::to_string(bufferSize) + ", " +
                 std::to_string(handleType) + ")");
  if (errorCode == nullptr) throw std::logic_error("no error code address");
  if (!agent().errorText) return kFailure;
  *errorCode = 1234;
  std::strncpy(buffer, agent().errorText->c_str(), bufferSize);
  return kOciSuccess;
}

}  // extern "C"
