#ifndef HORATAB_CLI_WORKBOOKS_H
#define HORATAB_CLI_WORKBOOKS_H

#include <ostream>
#include <string>

#include "cli/options.h"
#include "xlsx/Status.h"

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

// A new, empty model for this run of the program. It is kept until the
// process ends, which takes its memory back at once: freeing its hundreds
// of thousands of objects one by one would cost a sizeable share of a
// whole export. A second call (as the tests make) frees the model before.
timeTable& freshModel();

// Loads the file into `model`. A file that cannot be read, or that holds
// no teachers, is reported as "horatab-export: <path>: <reason>" on `err`
// and gives false.
bool loadTimetable(const std::string& path, timeTable& model, std::ostream& err);

// The text of `status` for a line that names `file` already.
std::string reasonText(const std::string& file, SimpleXlsx::Status status);

#endif  // HORATAB_CLI_WORKBOOKS_H
