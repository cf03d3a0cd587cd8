// The database's external-procedure and OCI services that the binding calls.
// None of them is linked into the library: the external-procedure agent that
// loads it provides them. Only what the binding passes and relies on is
// declared here; every handle is opaque.
#ifndef TOVREL_TOVRELPROC_EXTPROC_SERVICES_H
#define TOVREL_TOVRELPROC_EXTPROC_SERVICES_H

#include <cstddef>
#include <cstdint>

// The services are resolved from the loading process, so their declarations
// must stay visible even where hidden visibility is the default.
#define TOVREL_PLATFORM_API __attribute__((visibility("default")))

extern "C" {

struct OCIExtProcContext;  // one call from the database
struct OCIEnv;             // environment handle
struct OCISvcCtx;          // service-context handle
struct OCIError;           // error handle

// Result of every service: 0 is success, anything else failure.
typedef int OciStatus;

constexpr OciStatus kOciSuccess = 0;
// Memory durations.
constexpr uint32_t kOciDurationProcess = 5;
constexpr uint32_t kOciDurationSession = 10;
// OCIMemoryAlloc flag: hand back cleared memory.
constexpr uint32_t kOciMemoryClear = 1;
// OCIErrorGet handle type: the handle is an error handle.
constexpr uint32_t kOciHandleTypeError = 2;

// The call's environment, service-context and error handles.
TOVREL_PLATFORM_API OciStatus ociepgoe(OCIExtProcContext* context,
                                       OCIEnv** environment,
                                       OCISvcCtx** serviceContext,
                                       OCIError** errorHandle);

// Raises database error `number` with `message` in the statement that made the
// call. `length` 0 means `message` is NUL-terminated.
TOVREL_PLATFORM_API OciStatus ociepmsg(OCIExtProcContext* context, int number,
                                       const char* message, size_t length);

// `amount` bytes that live until the call returns to the database; null when
// none can be had.
TOVREL_PLATFORM_API void* ociepacm(OCIExtProcContext* context, size_t amount);

// The value stored under `key` in the session's context, or null.
TOVREL_PLATFORM_API OciStatus OCIContextGetValue(OCIEnv* environment,
                                                 OCIError* errorHandle,
                                                 const uint8_t* key,
                                                 uint32_t keyLength,
                                                 void** value);

// Stores `value` under `key` for `duration`.
TOVREL_PLATFORM_API OciStatus OCIContextSetValue(OCIEnv* environment,
                                                 OCIError* errorHandle,
                                                 uint32_t duration,
                                                 const uint8_t* key,
                                                 uint32_t keyLength,
                                                 void* value);

// `size` bytes of database memory that live for `duration`.
TOVREL_PLATFORM_API OciStatus OCIMemoryAlloc(OCIEnv* environment,
                                             OCIError* errorHandle,
                                             void** memory, uint32_t duration,
                                             uint32_t size, uint32_t flags);

TOVREL_PLATFORM_API OciStatus OCIExtractInit(OCIEnv* environment,
                                             OCIError* errorHandle);
TOVREL_PLATFORM_API OciStatus OCIExtractSetNumKeys(OCIEnv* environment,
                                                   OCIError* errorHandle,
                                                   uint32_t keyCount);
TOVREL_PLATFORM_API OciStatus OCIExtractTerm(OCIEnv* environment,
                                             OCIError* errorHandle);

// Start and stop of the file-I/O package.
TOVREL_PLATFORM_API OciStatus OCIFileInit(OCIEnv* environment,
                                          OCIError* errorHandle);
TOVREL_PLATFORM_API OciStatus OCIFileTerm(OCIEnv* environment,
                                          OCIError* errorHandle);

// Copies the text of error record `recordNumber` of `handle` into `buffer`
// (at most `bufferSize` bytes, NUL-terminated, ending in a newline).
TOVREL_PLATFORM_API OciStatus OCIErrorGet(void* handle, uint32_t recordNumber,
                                          char* sqlState, int32_t* errorCode,
                                          char* buffer, uint32_t bufferSize,
                                          uint32_t handleType);

}  // extern "C"

#endif
