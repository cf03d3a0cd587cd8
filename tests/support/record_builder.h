// Builds fixed-width assessment records for tests, by item name.
#ifndef TOVREL_TESTS_SUPPORT_RECORD_BUILDER_H
#define TOVREL_TESTS_SUPPORT_RECORD_BUILDER_H

#include <cstring>
#include <stdexcept>
#include <string>

#include "outputs.h"
#include "tovrel.h"

namespace tovrel::test {

class Record {
 public:
  // 2784 blanks, "%" last.
  Record() : text_(kRecordLength, ' ') { text_.back() = '%'; }

  // Writes `value` at the item's position (it may run past the item's width).
  Record& Set(const std::string& item, const std::string& value) {
    return At(Position(item), value);
  }
  Record& At(int position, const std::string& value) {
    text_.replace(static_cast<size_t>(position - 1), value.size(), value);
    return *this;
  }

  const std::string& text() const { return text_; }
  const char* c_str() const { return text_.c_str(); }

  static int Position(const std::string& item) {
    for (const ItemRow& row : iTems) {
      if (item == row.name) return row.position;
    }
    throw std::invalid_argument("unknown item " + item);
  }

 private:
  std::string text_;
};

// A record that passes every check: stroke (RIC 01), FIM ratings all "04",
// cognition all "05", discharged in version "2.60" (2013), age 69.
inline Record ValidFimRecord() {
  Record r;
  r.Set("ASMT_SYS_CD", "IRF-PAI").Set("TRANS_TYPE_CD", "1").Set("R6", "19440312")
      .Set("R12", "20130402").Set("R21A", "  01.2").Set("R40", "20130420");
  for (const char* item : {"R39AA", "R39BA", "R39CA", "R39DA", "R39EA", "R39FA", "R39GA",
                           "R39HA", "R39IA", "R39JA", "R39LA", "R39MA"}) {
    r.Set(item, "04");
  }
  for (const char* item : {"R39NA", "R39OA", "R39PA", "R39QA", "R39RA"}) r.Set(item, "05");
  return r;
}

// The same patient discharged under "4.00" with GG ratings all "03".
inline Record ValidGgRecord() {
  Record r = ValidFimRecord();
  r.Set("R12", "20200402").Set("R40", "20200420").Set("R6", "19510312");
  for (int i = 48; i <= 63; ++i) r.Set(iTems[i].name, "03");
  r.Set("H0350", "2").Set("H0400", "2");
  return r;
}

// One TOVREL call: its outputs and the status it returned.
struct Grouped : Outputs {
  int status = -77;
};

inline Grouped Group(const char* record) {
  Grouped o;
  o.status = TOVREL(record, o.cmg, &o.errorCode, o.motorScore, &o.cogScore, &o.age,
                    o.grouperVersion, o.programVersion);
  return o;
}
inline Grouped Group(const Record& record) { return Group(record.c_str()); }

}  // namespace tovrel::test

#endif
