// The tier step seen through TOVREL: fields R24A..R24Y, blanks squeezed,
// version chosen by the discharge date, tier letter in front of the CMG.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "record_builder.h"

namespace tovrel::test {
namespace {

struct Case {
  const char* what;
  const char* discharge;   // R40
  const char* impairment;  // R21A: "  01.2" is RIC 01, "  02.1" RIC 03
  std::vector<std::pair<std::string, std::string>> fields;
  char tier;
  const char* version;
};

TEST(TierThroughTovrel, CaseTable) {
  const std::vector<Case> cases = {
      {"2.60, code with blanks squeezed", "20130420", "  01.2", {{"R24A", "V4 4.0  "}}, 'B', "2.60"},
      {"2.60 ignores R24K", "20130420", "  01.2", {{"R24A", "999.1"}, {"R24K", "V44.0"}}, 'D', "2.60"},
      {"2.70 reads R24K", "20150930", "  01.2", {{"R24A", "999.1"}, {"R24K", "V44.0"}}, 'B', "2.70"},
      {"2.40 first day", "20100701", "  01.2", {{"R24J", "488.0"}}, 'D', "2.40"},
      {"2.82 first day", "20151001", "  01.2", {{"R24A", "A04.7^^^"}}, 'C', "2.82"},
      {"3.00 has no A04.7", "20171001", "  01.2", {{"R24A", "A04.7^^^"}}, 'A', "3.00"},
      {"4.00 pair for RIC 01", "20200420", "  01.2",
       {{"R24A", "B39.4^^^"}, {"R24B", "G02.^^^^"}, {"R24C", "^^^^^^^^"}}, 'D', "4.00"},
      {"4.00 pair blocked for RIC 03", "20200420", "  02.1",
       {{"R24A", "B39.4^^^"}, {"R24B", "G02.^^^^"}, {"R24C", "^^^^^^^^"}}, 'A', "4.00"},
      {"4.00 blank R24A, code in R24Y", "20200420", "  01.2", {{"R24Y", "T87.44^^"}}, 'D', "4.00"},
      {"4.00 ^ in R24A ends the walk", "20200420", "  01.2", {{"R24A", "^^^^^^^^"}, {"R24B", "Z99.2^^^"}}, 'A', "4.00"},
      {"between two ranges: no tier step", "20140931", "  01.2", {{"R24A", "V44.0"}}, 'A', "    "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Record record = std::string(c.discharge) >= "2019" ? ValidGgRecord() : ValidFimRecord();
    record.Set("R40", c.discharge).Set("R21A", c.impairment);
    for (const auto& [item, value] : c.fields) record.Set(item, value);
    const Grouped out = Group(record);
    ASSERT_EQ(out.status, 0);
    EXPECT_EQ(std::string(out.grouperVersion), c.version);
    EXPECT_EQ(out.cmg[0], c.tier);
    EXPECT_EQ(std::string(out.cmg).size(), 5u);
  }
}

}  // namespace
}  // namespace tovrel::test
