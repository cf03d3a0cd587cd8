// `tovrel tables`: what the comorbidity tier tables hold.
#ifndef TOVREL_CLI_TABLES_H
#define TOVREL_CLI_TABLES_H

// argv[0] is "tables". Returns the process exit status.
int TablesCommand(int argc, char** argv);

#endif
