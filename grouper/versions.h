// Grouper versions and the discharge dates that select them.
#ifndef TOVREL_GROUPER_VERSIONS_H
#define TOVREL_GROUPER_VERSIONS_H

#include <cstdint>

namespace tovrel {

enum Version : int {
  kNoVersion = -1,
  kV240 = 0,
  kV250,
  kV260,
  kV270,
  kV282,
  kV290,
  kV300,
  kV310,
  kV400,
  kVersionCount
};

struct VersionRow {
  const char* text;  // four characters, e.g. "2.82"
  int32_t from;      // first discharge date, YYYYMMDD, inclusive
  int32_t to;        // last discharge date, inclusive
};

// Indexed by Version. "4.00" has no upper bound.
extern const VersionRow kVersions[kVersionCount];

// The version whose range holds `dischargeDate`, or kNoVersion (dates that
// fall between two ranges, such as September 31, select none).
Version SelectVersion(int32_t dischargeDate);

// Up to and including this date the FIM form scores; after it the GG form.
constexpr int32_t kLastFimDate = 20191000;
// Earlier discharge dates are refused.
constexpr int32_t kFirstDischargeDate = 20100701;

}  // namespace tovrel

#endif
