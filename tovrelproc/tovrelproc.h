// Database binding: the entry points that the external-procedure agent calls,
// and the per-session context behind them.
#ifndef TOVREL_TOVRELPROC_TOVRELPROC_H
#define TOVREL_TOVRELPROC_TOVRELPROC_H

#include <cstdint>

#include "extproc_services.h"

#define TOVREL_EXPORT __attribute__((visibility("default")))

extern "C" {

// Each entry point obtains the session's context, groups one assessment and
// returns the grouper's status; -1 (with database error 20000 raised, no
// output written) when the context cannot be had. Output buffers: cmg >= 6,
// motorScore >= 7, grouperVersion >= 5, programVersion >= 5 bytes.
TOVREL_EXPORT int calltovrel(OCIExtProcContext* context, const char* record,
                             char* cmg, int32_t* errorCode, char* motorScore,
                             int32_t* cogScore, int32_t* age,
                             char* grouperVersion, char* programVersion);
TOVREL_EXPORT int calltovrel_xml(OCIExtProcContext* context,
                                 const char* xmlText, char* cmg,
                                 int32_t* errorCode, char* motorScore,
                                 int32_t* cogScore, int32_t* age,
                                 char* grouperVersion, char* programVersion);
TOVREL_EXPORT int calltovrel_xml_file(OCIExtProcContext* context,
                                      const char* fileName, char* cmg,
                                      int32_t* errorCode, char* motorScore,
                                      int32_t* cogScore, int32_t* age,
                                      char* grouperVersion,
                                      char* programVersion);

}  // extern "C"

// What a database session keeps between calls. Every call overwrites all four
// fields with its own context and handles.
struct myCtx {
  OCIExtProcContext* procContext;
  OCIEnv* environment;
  OCISvcCtx* serviceContext;
  OCIError* errorHandle;
};
static_assert(sizeof(myCtx) == 4 * sizeof(void*), "four pointer-sized fields");

// Every database error the library raises.
constexpr int kApplicationError = 20000;
// Size of the message that raise_application_error formats, terminator
// included; longer messages are cut.
constexpr int kMessageBufferSize = 8192;
// Call memory that lastOciError returns its text in.
constexpr int kOciErrorTextSize = 256;

// The session's record with this call's handles, file I/O started; null after
// database error 20000 has been raised.
myCtx* init(OCIExtProcContext* context);

// Stops the file I/O that init started.
void term(myCtx* ctx);

// Raises database error `number` with the formatted message on the record's
// call.
void raise_application_error(myCtx* ctx, int number, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The text of the last OCI error without its newline, or "unable to retrieve
// message". Lives until the call returns.
const char* lastOciError(myCtx* ctx);

#endif
