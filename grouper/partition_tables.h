// Impairment table and the two CMG partitions. Cells are NUL-terminated text
// of fixed width; numbers are read with NumPrefix; a cell whose first
// character is a blank holds no bound. Row 0 is a placeholder never read.
#ifndef TOVREL_GROUPER_PARTITION_TABLES_H
#define TOVREL_GROUPER_PARTITION_TABLES_H

namespace tovrel {

struct ImpairmentRow {
  char Imp240[10];
  char Ric240[3];
};

struct FimPartitionRow {
  char RicCode[3];
  char MotLow[4];
  char MotHigh[4];
  char CogLow[3];
  char CogHigh[3];
  char AgeLow[4];
  char AgeHigh[4];
  char CMG[5];
};

struct GgPartitionRow {
  char RicCode40[3];
  char MotLow40[4];
  char MotHigh40[5];
  char AgeLow40[4];
  char AgeHigh40[4];
  char CMG40[5];
};

constexpr int kImpairmentRows = 85;
constexpr int kFimPartitionRows = 87;
constexpr int kGgPartitionRows = 95;

extern const ImpairmentRow kImpairment[kImpairmentRows + 1];
extern const FimPartitionRow kFimPartition[kFimPartitionRows + 1];
extern const GgPartitionRow kGgPartition[kGgPartitionRows + 1];

}  // namespace tovrel

#endif
