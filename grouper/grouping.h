// Steps of TOVREL that tests and tools reach directly.
#ifndef TOVREL_GROUPER_GROUPING_H
#define TOVREL_GROUPER_GROUPING_H

#include <cstdint>

namespace tovrel {

// Motor score text of a total: FIM totals are in tenths and get a point
// before their last digit (7 -> ".7", -5 -> "-.5", 134 -> "13.4"); GG totals
// are whole points ("25"). `out` holds at least 13 bytes.
void MotorScoreText(int32_t total, bool tenths, char* out);

// RIC of the impairment group held in characters 3 to 9 of the nine-character
// R21A copy (blanks removed), or nullptr when the group is unknown.
const char* LookUpRic(const char* r21a);

// CMG code of the first partition row that holds the values, or "0000".
const char* FimCmg(const char* ric, int32_t motorTenths, int32_t cog, int32_t age);
const char* GgCmg(const char* ric, int32_t motorTenths, int32_t age);

}  // namespace tovrel

#endif
