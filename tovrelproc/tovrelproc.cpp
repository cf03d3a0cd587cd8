#include "tovrelproc.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "tovrel.h"
#include "tovrel_xml.h"

namespace {

// The session's record is stored under the four bytes of a 32-bit 1, in the
// machine's byte order.
const int32_t kContextKeyValue = 1;
constexpr uint32_t kContextKeyLength = sizeof kContextKeyValue;

const uint8_t* contextKey() {
  return reinterpret_cast<const uint8_t*>(&kContextKeyValue);
}

constexpr uint32_t kExtractKeyCount = 3;
constexpr uint32_t kFirstErrorRecord = 1;

const char kNoOciMessage[] = "unable to retrieve message";
const char kNoFormattedMessage[] = "unable to format message";

// Used before any record holds the call's context.
void raiseOnCall(OCIExtProcContext* context, const char* message) {
  ociepmsg(context, kApplicationError, message, 0);
}

void raiseLastOciError(myCtx* ctx) {
  // "%s" keeps any "%" in the OCI text as it is.
  raise_application_error(ctx, kApplicationError, "%s", lastOciError(ctx));
}

void fill(myCtx* ctx, OCIExtProcContext* context, OCIEnv* environment,
          OCISvcCtx* serviceContext, OCIError* errorHandle) {
  ctx->procContext = context;
  ctx->environment = environment;
  ctx->serviceContext = serviceContext;
  ctx->errorHandle = errorHandle;
}

using Grouper = int (*)(const char*, char*, int32_t*, char*, int32_t*,
                        int32_t*, char*, char*);

int groupOnce(Grouper group, OCIExtProcContext* context, const char* input,
              char* cmg, int32_t* errorCode, char* motorScore,
              int32_t* cogScore, int32_t* age, char* grouperVersion,
              char* programVersion) {
  myCtx* ctx = init(context);
  if (ctx == nullptr) return -1;
  // A database NULL may arrive as a null pointer: group it as empty text.
  if (input == nullptr) input = "";
  int status = group(input, cmg, errorCode, motorScore, cogScore, age,
                     grouperVersion, programVersion);
  term(ctx);
  return status;
}

}  // namespace

myCtx* init(OCIExtProcContext* context) {
  OCIEnv* environment = nullptr;
  OCISvcCtx* serviceContext = nullptr;
  OCIError* errorHandle = nullptr;
  if (ociepgoe(context, &environment, &serviceContext, &errorHandle) !=
      kOciSuccess) {
    raiseOnCall(context, "failed to get OCI Connection");
    return nullptr;
  }

  void* stored = nullptr;
  if (OCIContextGetValue(environment, errorHandle, contextKey(),
                         kContextKeyLength, &stored) != kOciSuccess) {
    raiseOnCall(context, "failed to get OCI Context");
    return nullptr;
  }

  myCtx* ctx = static_cast<myCtx*>(stored);
  if (ctx != nullptr) {
    fill(ctx, context, environment, serviceContext, errorHandle);
  } else {
    // First call of the session (or storing failed before): the record lives
    // as long as the process and is never freed.
    void* memory = nullptr;
    if (OCIMemoryAlloc(environment, errorHandle, &memory, kOciDurationProcess,
                       sizeof(myCtx), kOciMemoryClear) != kOciSuccess ||
        memory == nullptr) {
      raiseOnCall(context, "failed to get OCI Memory");
      return nullptr;
    }
    ctx = new (memory) myCtx{};
    fill(ctx, context, environment, serviceContext, errorHandle);
    if (OCIContextSetValue(environment, errorHandle, kOciDurationSession,
                           contextKey(), kContextKeyLength,
                           ctx) != kOciSuccess) {
      raiseLastOciError(ctx);
      return nullptr;
    }
    // Once per session: the record is stored by now, so a failure here is not
    // repeated by the session's later calls.
    if (OCIExtractInit(environment, errorHandle) != kOciSuccess ||
        OCIExtractSetNumKeys(environment, errorHandle, kExtractKeyCount) !=
            kOciSuccess ||
        OCIExtractTerm(environment, errorHandle) != kOciSuccess) {
      raiseLastOciError(ctx);
      return nullptr;
    }
  }

  if (OCIFileInit(ctx->environment, ctx->errorHandle) != kOciSuccess) {
    raiseLastOciError(ctx);
    return nullptr;
  }
  return ctx;
}

void term(myCtx* ctx) {
  // Nothing useful can be done about a failed stop.
  (void)OCIFileTerm(ctx->environment, ctx->errorHandle);
}

void raise_application_error(myCtx* ctx, int number, const char* format, ...) {
  char message[kMessageBufferSize];
  va_list values;
  va_start(values, format);
  // A longer message is cut, never written past the buffer.
  int written = std::vsnprintf(message, sizeof message, format, values);
  va_end(values);
  if (written < 0) {
    std::memcpy(message, kNoFormattedMessage, sizeof kNoFormattedMessage);
  }
  (void)ociepmsg(ctx->procContext, number, message, 0);
}

const char* lastOciError(myCtx* ctx) {
  char* text = static_cast<char*>(ociepacm(ctx->procContext, kOciErrorTextSize));
  if (text == nullptr) return kNoOciMessage;

  std::snprintf(text, kOciErrorTextSize, "%s\n", kNoOciMessage);
  int32_t errorCode = 0;
  (void)OCIErrorGet(ctx->errorHandle, kFirstErrorRecord, nullptr, &errorCode,
                    text, kOciErrorTextSize - 1, kOciHandleTypeError);
  // A text that fills the whole buffer still ends inside the area.
  text[kOciErrorTextSize - 1] = '\0';

  // The OCI text ends in a newline; drop it, and only it.
  size_t length = std::strlen(text);
  if (length > 0 && text[length - 1] == '\n') text[--length] = '\0';
  if (length == 0) {
    std::memcpy(text, kNoOciMessage, sizeof kNoOciMessage);
  }
  return text;
}

extern "C" {

int calltovrel(OCIExtProcContext* context, const char* record, char* cmg,
               int32_t* errorCode, char* motorScore, int32_t* cogScore,
               int32_t* age, char* grouperVersion, char* programVersion) {
  return groupOnce(TOVREL, context, record, cmg, errorCode, motorScore,
                   cogScore, age, grouperVersion, programVersion);
}

int calltovrel_xml(OCIExtProcContext* context, const char* xmlText, char* cmg,
                   int32_t* errorCode, char* motorScore, int32_t* cogScore,
                   int32_t* age, char* grouperVersion, char* programVersion) {
  return groupOnce(TOVREL_XML, context, xmlText, cmg, errorCode, motorScore,
                   cogScore, age, grouperVersion, programVersion);
}

int calltovrel_xml_file(OCIExtProcContext* context, const char* fileName,
                        char* cmg, int32_t* errorCode, char* motorScore,
                        int32_t* cogScore, int32_t* age, char* grouperVersion,
                        char* programVersion) {
  return groupOnce(TOVREL_XML_FILE, context, fileName, cmg, errorCode,
                   motorScore, cogScore, age, grouperVersion, programVersion);
}

}  // extern "C"
