// Internal to the XML input: building the working record from a document
// without grouping it.
#ifndef TOVREL_XMLINPUT_XML_RECORD_H
#define TOVREL_XMLINPUT_XML_RECORD_H

#include <array>
#include <string>

#include "tovrel.h"

namespace tovrel {

// 2784 blanks, "%" and the terminator.
using WorkingRecord = std::array<char, kRecordLength + 1>;

// Last record position an item value may reach; the "%" and the terminator
// that follow it are never written.
constexpr int kLastWritablePosition = kRecordLength - 1;

void ResetWorkingRecord(WorkingRecord& record);

// Reset `record`, then read the document and write every item element's text
// into it. Returns 0, or 99 with the failure line (newline included) in
// `message`; `message` is cleared on success.
int BuildRecordFromXmlText(const char* xmlText, WorkingRecord& record,
                           std::string& message);
int BuildRecordFromXmlFile(const char* fileName, WorkingRecord& record,
                           std::string& message);

}  // namespace tovrel

#endif
