// Comorbidity tier step, called by TOVREL once the CMG is known.
#ifndef TOVREL_GROUPER_TIER_H
#define TOVREL_GROUPER_TIER_H

#include "versions.h"

namespace tovrel {

constexpr int kCodeCount = 25;   // R24A..R24Y
constexpr int kCodeCell = 9;     // eight characters and a terminator

// The code list: the 25 comorbidity fields in order, blanks removed.
using CodeList = char[kCodeCount][kCodeCell];

// Returns the tier letter for the assessment: 'A' when no row qualifies,
// otherwise 'B', 'C' or 'D'. `ric` is the two-digit RIC text. Keeps no state
// between calls and is safe to call from several threads at once.
char TierStep(Version version, const char* ric, const CodeList& codes);

// The same result by scanning every table row in order, as the tier lists
// are defined. Slow; kept to check TierStep against.
char TierStepScan(Version version, const char* ric, const CodeList& codes);

// False when the single-code table that `version` uses holds fewer rows than
// the published list of that version; its tiers may then read "A" where the
// published list would give one. True for kNoVersion (no table is read).
bool TierTablesComplete(Version version);

}  // namespace tovrel

#endif
