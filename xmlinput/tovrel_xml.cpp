// XML assessment input: a document's item elements are written into a
// fixed-width working record, which TOVREL then groups.
#include "tovrel_xml.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include <tinyxml.h>

#include "tovrel.h"
#include "xml_record.h"

namespace tovrel {
namespace {

constexpr const char kAssessment[] = "ASSESSMENT";

std::string ParseFailureLine(const char* documentValue, const char* description) {
  return std::string("Error in ") + documentValue + ": " + description + "\n";
}

std::string LoadFailureLine(const char* fileName, const char* description) {
  return std::string("Could not load xml file ") + fileName + ". Error=" +
         description + ". Exiting.\n";
}

// The item whose name equals `name` over its whole length, or null.
const ItemRow* FindItem(const char* name) {
  const std::string_view wanted(name);
  for (const ItemRow& row : iTems) {
    if (std::string_view(row.name, strnlen(row.name, sizeof row.name)) == wanted)
      return &row;
  }
  return nullptr;
}

// Writes the whole text from the item's position on. A text that would run
// past the last blank position is cut there, so the "%" and the terminator
// always survive, however long the text.
void WriteItem(WorkingRecord& record, const char* text, int32_t position) {
  if (position < 1 || position > kLastWritablePosition) return;
  const size_t room = static_cast<size_t>(kLastWritablePosition - position + 1);
  const size_t length = strnlen(text, room);
  if (length == 0) return;
  FillRecord(record.data(), text, position, static_cast<int32_t>(length));
}

// Finds the assessment element and writes its item elements into `record`.
int FillFromDocument(const TiXmlDocument& document, WorkingRecord& record,
                     std::string& message) {
  const TiXmlNode* node = document.FirstChild(kAssessment);
  if (node == nullptr) {
    message = ParseFailureLine(document.Value(), "No ASSESSMENT element");
    return kXmlFailure;
  }
  const TiXmlElement* assessment = node->ToElement();
  if (assessment == nullptr) {
    message = ParseFailureLine(document.Value(),
                               "The first ASSESSMENT node is not an element");
    return kXmlFailure;
  }
  if (document.RootElement() == nullptr) {
    message = ParseFailureLine(document.Value(), "No root element");
    return kXmlFailure;
  }
  for (const TiXmlElement* item = assessment->FirstChildElement(); item != nullptr;
       item = item->NextSiblingElement()) {
    const ItemRow* row = FindItem(item->Value());
    if (row == nullptr) continue;
    // An element without text (empty, attributes only, or starting with a
    // comment or a child element) leaves the field as it is.
    const char* text = item->GetText();
    if (text == nullptr) continue;
    WriteItem(record, text, row->position);
  }
  return 0;
}

}  // namespace

void ResetWorkingRecord(WorkingRecord& record) {
  record.fill(' ');
  record[kRecordLength - 1] = '%';
  record[kRecordLength] = '\0';
}

int BuildRecordFromXmlText(const char* xmlText, WorkingRecord& record,
                           std::string& message) {
  message.clear();
  ResetWorkingRecord(record);
  try {
    TiXmlDocument document;
    document.Parse(xmlText != nullptr ? xmlText : "", nullptr, TIXML_DEFAULT_ENCODING);
    if (document.Error()) {
      message = ParseFailureLine(document.Value(), document.ErrorDesc());
      return kXmlFailure;
    }
    return FillFromDocument(document, record, message);
  } catch (const std::bad_alloc&) {
    ResetWorkingRecord(record);
    message = ParseFailureLine("", "Out of memory");
    return kXmlFailure;
  }
}

int BuildRecordFromXmlFile(const char* fileName, WorkingRecord& record,
                           std::string& message) {
  message.clear();
  ResetWorkingRecord(record);
  if (fileName == nullptr) {
    message = LoadFailureLine("", "No file name given");
    return kXmlFailure;
  }
  // The parser sizes its buffer from the file's end offset, which for a
  // directory is meaningless and ends in a failed huge allocation.
  struct stat info;
  if (stat(fileName, &info) == 0 && S_ISDIR(info.st_mode)) {
    message = LoadFailureLine(fileName, "Is a directory");
    return kXmlFailure;
  }
  try {
    TiXmlDocument document(fileName);
    if (!document.LoadFile(TIXML_DEFAULT_ENCODING)) {
      message = LoadFailureLine(fileName, document.ErrorDesc());
      return kXmlFailure;
    }
    return FillFromDocument(document, record, message);
  } catch (const std::bad_alloc&) {
    ResetWorkingRecord(record);
    message = LoadFailureLine(fileName, "Out of memory");
    return kXmlFailure;
  }
}

int GroupXmlText(const char* xmlText, std::string& message, char* cmg,
                 int32_t* errorCode, char* motorScore, int32_t* cogScore,
                 int32_t* age, char* grouperVersion, char* programVersion) {
  WorkingRecord record;
  if (BuildRecordFromXmlText(xmlText, record, message) != 0) return kXmlFailure;
  return TOVREL(record.data(), cmg, errorCode, motorScore, cogScore, age,
                grouperVersion, programVersion);
}

int GroupXmlFile(const char* fileName, std::string& message, char* cmg,
                 int32_t* errorCode, char* motorScore, int32_t* cogScore,
                 int32_t* age, char* grouperVersion, char* programVersion) {
  WorkingRecord record;
  if (BuildRecordFromXmlFile(fileName, record, message) != 0) return kXmlFailure;
  return TOVREL(record.data(), cmg, errorCode, motorScore, cogScore, age,
                grouperVersion, programVersion);
}

}  // namespace tovrel

namespace {

void PrintFailureLine(const std::string& message) {
  std::fputs(message.c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

extern "C" {

int TOVREL_XML(const char* xmlText, char* cmg, int32_t* errorCode,
               char* motorScore, int32_t* cogScore, int32_t* age,
               char* grouperVersion, char* programVersion) {
  // No exception may reach a C caller.
  try {
    std::string message;
    const int status = tovrel::GroupXmlText(xmlText, message, cmg, errorCode,
                                            motorScore, cogScore, age,
                                            grouperVersion, programVersion);
    if (!message.empty()) PrintFailureLine(message);
    return status;
  } catch (...) {
    std::fputs("Error in : Out of memory\n", stdout);
    std::fflush(stdout);
    return kXmlFailure;
  }
}

int TOVREL_XML_FILE(const char* fileName, char* cmg, int32_t* errorCode,
                    char* motorScore, int32_t* cogScore, int32_t* age,
                    char* grouperVersion, char* programVersion) {
  try {
    std::string message;
    const int status = tovrel::GroupXmlFile(fileName, message, cmg, errorCode,
                                            motorScore, cogScore, age,
                                            grouperVersion, programVersion);
    if (!message.empty()) PrintFailureLine(message);
    return status;
  } catch (...) {
    std::printf("Could not load xml file %s. Error=Out of memory. Exiting.\n",
                fileName != nullptr ? fileName : "");
    std::fflush(stdout);
    return kXmlFailure;
  }
}

}  // extern "C"
