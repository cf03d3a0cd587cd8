// XML assessment input: builds the fixed-width record from an XML document
// and groups it with TOVREL.
#ifndef TOVREL_XMLINPUT_TOVREL_XML_H
#define TOVREL_XMLINPUT_TOVREL_XML_H

#include <cstdint>
#include <string>

// Status for a document that cannot be parsed, loaded or used.
constexpr int kXmlFailure = 99;

extern "C" {

// Groups the assessment held in the XML text. On failure returns 99, prints
// one line on standard output and leaves every output untouched.
int TOVREL_XML(const char* xmlText, char* cmg, int32_t* errorCode,
               char* motorScore, int32_t* cogScore, int32_t* age,
               char* grouperVersion, char* programVersion);

// The same for the XML file named by `fileName`.
int TOVREL_XML_FILE(const char* fileName, char* cmg, int32_t* errorCode,
                    char* motorScore, int32_t* cogScore, int32_t* age,
                    char* grouperVersion, char* programVersion);

}  // extern "C"

namespace tovrel {

// As TOVREL_XML / TOVREL_XML_FILE, but nothing is printed: on status 99 the
// failure line (with its newline) is stored in `message`; otherwise `message`
// is left empty.
int GroupXmlText(const char* xmlText, std::string& message, char* cmg,
                 int32_t* errorCode, char* motorScore, int32_t* cogScore,
                 int32_t* age, char* grouperVersion, char* programVersion);
int GroupXmlFile(const char* fileName, std::string& message, char* cmg,
                 int32_t* errorCode, char* motorScore, int32_t* cogScore,
                 int32_t* age, char* grouperVersion, char* programVersion);

}  // namespace tovrel

#endif
