// tovrel: the grouper as a batch command.
#include <cstdio>
#include <cstring>

#include "group.h"
#include "tables.h"

namespace {

const char kHelp[] =
    "usage: tovrel group [--format csv|jsonl] [--xml] [FILE ...]\n"
    "       tovrel tables [...]\n"
    "       tovrel --help | --version\n"
    "\n"
    "group   Groups inpatient rehabilitation assessments into their case-mix\n"
    "        group (CMG) and comorbidity tier. Reads fixed-width assessment\n"
    "        records, one per line (LF or CRLF); no FILE, or '-', reads\n"
    "        standard input. Writes one result per record to standard output,\n"
    "        in input order: file,line,status,cmg,motor_score,cog_score,age,\n"
    "        grouper_version,program_version (CSV with a header, or one JSON\n"
    "        object per line). Status 0 is a grouped assessment; 1, 2, 3, 5,\n"
    "        6, 7 and 9 name the check the record failed.\n"
    "        --xml: each FILE (or standard input) is one XML assessment, an\n"
    "        ASSESSMENT element whose child elements are the record items;\n"
    "        its row has no line number. A document that cannot be read or\n"
    "        parsed gives status 99 with empty results; the reason goes to\n"
    "        standard error.\n"
    "tables  Shows the comorbidity tier tables and how complete they are.\n"
    "\n"
    "Exit status: 0 when all input was read, 1 when a file could not be read\n"
    "(or, with --xml, a document could not be parsed),\n"
    "2 for a usage error.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("tovrel: missing command (try 'tovrel --help')\n", stderr);
    return 2;
  }
  const char* command = argv[1];
  if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0 ||
      std::strcmp(command, "help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (std::strcmp(command, "--version") == 0) {
    std::puts("tovrel 4.00 (grouper versions 2.40 to 4.00)");
    return 0;
  }
  if (std::strcmp(command, "group") == 0) return GroupCommand(argc - 1, argv + 1);
  if (std::strcmp(command, "tables") == 0) return TablesCommand(argc - 1, argv + 1);
  std::fprintf(stderr, "tovrel: unknown command '%s' (try 'tovrel --help')\n", command);
  return 2;
}
