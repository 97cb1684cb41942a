#ifndef HORATAB_TESTS_SUPPORT_READER_H
#define HORATAB_TESTS_SUPPORT_READER_H
// Running programs, and reading workbooks back through the independent
// reader (read_workbook.py on openpyxl).

#include <map>
#include <string>
#include <vector>

namespace support {

typedef std::vector<std::string> names;

struct ProgramResult
{
    int status;  // the exit status, -1 when the program did not exit
    std::string out;
    std::string err;
};

// `text` quoted for the shell.
std::string shellQuoted(const std::string& text);

// Runs `program` with `args` through the shell, `environment` ("NAME=value ")
// put before it.
ProgramResult runProgram(const std::string& program, const names& args,
                         const std::string& environment = "");

struct WorkbookRead
{
    std::string problem;                        // empty when the reader read the workbook
    std::map<std::string, std::string> header;  // "STYLES", "SHEETS", "FONTS"
    names sheetNames;
    names grids;  // grids[i]: the rows of sheet i, each ending in "\n"
};

// `sheetNumbers` (from 0) reads only those sheets.
WorkbookRead readWorkbook(const std::string& path, const std::vector<int>& sheetNumbers = {});

// Compares the package with the expectations in `json` (see read_workbook.py):
// "OK" or what the reader found.
std::string checkPackage(const std::string& package, const std::string& json);

}  // namespace support

#endif  // HORATAB_TESTS_SUPPORT_READER_H
