#include "versions.h"

#include <limits>

namespace tovrel {

const VersionRow kVersions[kVersionCount] = {
    {"2.40", 20100701, 20100930},
    {"2.50", 20101001, 20110930},
    {"2.60", 20111001, 20140930},
    {"2.70", 20141001, 20150930},
    {"2.82", 20151001, 20160930},
    {"2.90", 20161001, 20170930},
    {"3.00", 20171001, 20180930},
    {"3.10", 20181001, 20190930},
    // "4.00" is open-ended: any date after 20191000.
    {"4.00", 20191001, std::numeric_limits<int32_t>::max()},
};

Version SelectVersion(int32_t dischargeDate) {
  for (int v = 0; v < kVersionCount; ++v) {
    if (dischargeDate >= kVersions[v].from && dischargeDate <= kVersions[v].to) {
      return static_cast<Version>(v);
    }
  }
  return kNoVersion;
}

}  // namespace tovrel
