#ifndef HORATAB_CLI_COMMANDS_H
#define HORATAB_CLI_COMMANDS_H

#include <ostream>
#include <string>

#include "cli/options.h"
#include "timetable/BaseMatrix.h"

// Carries out what `options` ask for. Results go to `out`; a failure is
// one line "horatab-export: <file>: <reason>" on `err`. Returns the exit
// status: 0 on success, 1 on failure.
int runCommand(const cliOptions& options, std::ostream& out, std::ostream& err);

// One matrix row per line, every column present, cells separated by a tab.
// Tabs and line breaks inside a name are printed as spaces so that the
// layout holds.
void printMatrix(const BaseMatrix<std::string>& matrix, std::ostream& out);

#endif  // HORATAB_CLI_COMMANDS_H
