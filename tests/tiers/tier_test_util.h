// Helpers for building code lists in the tier tests.
#ifndef TOVREL_TESTS_TIERS_TIER_TEST_UTIL_H
#define TOVREL_TESTS_TIERS_TIER_TEST_UTIL_H

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tier.h"

namespace tovrel::test {

// Position 0 is R24A, 9 is R24J, 10 is R24K, 24 is R24Y.
struct Codes {
  CodeList list;
  Codes() { std::memset(list, 0, sizeof list); }
  Codes(std::initializer_list<std::pair<int, std::string>> at) : Codes() {
    for (const auto& [pos, code] : at) Set(pos, code);
  }
  // Codes from R24A on, in order.
  static Codes InOrder(const std::vector<std::string>& codes) {
    Codes c;
    for (size_t i = 0; i < codes.size(); ++i) c.Set(static_cast<int>(i), codes[i]);
    return c;
  }
  Codes& Set(int pos, const std::string& code) {
    std::memset(list[pos], 0, kCodeCell);
    std::memcpy(list[pos], code.data(), std::min<size_t>(code.size(), kCodeCell - 1));
    return *this;
  }
};

inline const char* const kVersionNames[kVersionCount] = {"2.40", "2.50", "2.60", "2.70", "2.82",
                                                         "2.90", "3.00", "3.10", "4.00"};

}  // namespace tovrel::test

#endif
