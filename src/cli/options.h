#ifndef HORATAB_CLI_OPTIONS_H
#define HORATAB_CLI_OPTIONS_H

#include <ostream>
#include <string>

#include "timetable/nameOrder.h"
#include "timetable/shownText.h"

// What horatab-export was asked to do.
enum class cliMode
{
    help,
    version,
    listTeachers,
    listStudents,
    showTeacher,
    showStudents,
    writeWorkbooks,
};

struct cliOptions
{
    cliMode mode = cliMode::writeWorkbooks;
    std::string input;
    std::string name;  // the teacher or group of --show-teacher / --show-students

    // Workbooks to write; an empty path means that workbook is not written.
    // With neither --teachers nor --students both go beside the input.
    std::string teachersOutput;
    std::string studentsOutput;
    bool fontGiven = false;
    std::string fontName;
    bool sizeGiven = false;
    double fontSize = 0;
    bool printReady = false;  // --print-ready: the print layout
    bool orderGiven = false;
    nameOrder order = nameOrder::bytes;  // --order: of the sheets, summary rows and --list
};

// Reads the command line (argv[0] is the program). On success fills
// `options` and returns true; otherwise returns false with one line in
// `error` that says what is wrong.
bool parseArguments(int argc, const char* const* argv, cliOptions& options, std::string& error);

// "<input name>-<kind>.xlsx" in the folder of `input`.
std::string defaultOutputPath(const std::string& input, const std::string& kind);

const char* usageText();

// The program's name, which begins every line it writes on standard error.
extern const char* const programName;

// Writes the failure line "horatab-export: <subject>: <reason>" to `err`,
// both as terminalText.
void reportFailure(std::ostream& err, const std::string& subject, const std::string& reason);

#endif  // HORATAB_CLI_OPTIONS_H
