#include "tables.h"

#include <cstdio>

int TablesCommand(int, char**) {
  std::fputs("tovrel: tables: not available in this build\n", stderr);
  return 1;
}
