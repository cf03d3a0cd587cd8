// `tovrel group`: groups assessment records from files or standard input.
#ifndef TOVREL_CLI_GROUP_H
#define TOVREL_CLI_GROUP_H

// argv[0] is "group". Returns the process exit status: 0 when all input was
// read, 1 when some input could not be read, 2 for a usage error.
int GroupCommand(int argc, char** argv);

#endif
