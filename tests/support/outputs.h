// The seven grouper outputs as a caller holds them, preset to values that no
// grouping writes, so that untouched buffers can be told from written ones.
#ifndef TOVREL_TESTS_SUPPORT_OUTPUTS_H
#define TOVREL_TESTS_SUPPORT_OUTPUTS_H

#include <cstdint>
#include <ostream>
#include <string>

namespace tovrel::test {

struct Outputs {
  char cmg[16] = "cmg?";
  int32_t errorCode = -77;
  char motorScore[16] = "motor?";
  int32_t cogScore = -78;
  int32_t age = -79;
  char grouperVersion[16] = "gv?";
  char programVersion[16] = "pv?";

  bool operator==(const Outputs& o) const {
    return std::string(cmg) == o.cmg && errorCode == o.errorCode &&
           std::string(motorScore) == o.motorScore && cogScore == o.cogScore && age == o.age &&
           std::string(grouperVersion) == o.grouperVersion &&
           std::string(programVersion) == o.programVersion;
  }
  bool operator!=(const Outputs& o) const { return !(*this == o); }
  bool untouched() const { return *this == Outputs(); }
};

inline std::ostream& operator<<(std::ostream& os, const Outputs& o) {
  return os << "{cmg='" << o.cmg << "' errorCode=" << o.errorCode << " motor='" << o.motorScore
            << "' cog=" << o.cogScore << " age=" << o.age << " gv='" << o.grouperVersion
            << "' pv='" << o.programVersion << "'}";
}

}  // namespace tovrel::test

#endif
