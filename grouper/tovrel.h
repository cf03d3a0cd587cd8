// Inpatient rehabilitation case-mix grouper: record access and the grouper entry.
#ifndef TOVREL_GROUPER_TOVREL_H
#define TOVREL_GROUPER_TOVREL_H

#include <cstdint>

// Fixed-width assessment record: 2785 characters ("%" last) and a terminator.
constexpr int kRecordLength = 2785;
// The grouper reads nothing past this position.
constexpr int kRecordReadLength = 1615;

// One row of the item table: name (NUL-padded), 1-based position, width.
struct ItemRow {
  char name[16];
  int32_t position;
  int32_t width;
};
constexpr int kItemCount = 66;
extern const ItemRow iTems[kItemCount];

extern "C" {

// Copies `length` characters from 1-based `position` of `record` to `dest`
// and terminates them. No bounds are checked: callers pass fixed fields.
void FillData(const char* record, char* dest, int32_t position, int32_t length);

// Writes the first `length` characters of `value` over `record` from 1-based
// `position`. Writes no terminator.
void FillRecord(char* record, const char* value, int32_t position, int32_t length);

// Removes the blanks from the first 8 characters of `code`, in place.
void Trim_CMRBD(char* code);

// Groups one assessment record. Reads at most the first 1615 characters of
// `record` (a terminator before that ends it; the rest counts as blanks).
// Output buffers: cmg >= 6, motorScore >= 7, grouperVersion >= 5,
// programVersion >= 5 bytes. Returns the status, also left in *errorCode.
int TOVREL(const char* record, char* cmg, int32_t* errorCode, char* motorScore,
           int32_t* cogScore, int32_t* age, char* grouperVersion,
           char* programVersion);

}  // extern "C"

namespace tovrel {

// The integer a text begins with: white space skipped, one sign, then the
// longest run of digits; no digits reads 0. Saturates instead of overflowing.
int32_t NumPrefix(const char* text);

}  // namespace tovrel

#endif
