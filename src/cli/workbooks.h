#ifndef HORATAB_CLI_WORKBOOKS_H
#define HORATAB_CLI_WORKBOOKS_H

#include <ostream>
#include <string>

#include "cli/options.h"

class timeTable;

// Reads the input and writes the workbooks `options` name. Each workbook
// written is reported on `out` with its path; each failure is one line
// "horatab-export: <file>: <reason>" on `err`, and the other workbook is
// still attempted. Returns 0 when every workbook was written, else 1.
int writeWorkbooks(const cliOptions& options, std::ostream& out, std::ostream& err);

// The spreadsheet font the window would pass on: none for the default
// "Calibri" at 11 points, otherwise the name and the size truncated to
// whole points.
void chooseFont(timeTable& model, const cliOptions& options);

// Why a workbook could not go to `path`, found before writing: an empty
// text when the destination looks writable.
std::string destinationProblem(const std::string& path);

#endif  // HORATAB_CLI_WORKBOOKS_H
