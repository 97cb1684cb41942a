#ifndef HORATAB_TESTS_EXPORT_EXPORTTESTSUPPORT_H
#define HORATAB_TESTS_EXPORT_EXPORTTESTSUPPORT_H

// Shared by the export and the command-line tests: private folders, running
// programs, and reading workbooks back through the independent reader
// (dump_workbook.py on openpyxl).

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "timetable/timeTable.h"

typedef std::vector<std::string> names;

// A new folder made from `pattern` ("...XXXXXX").
inline std::string madeFolder(std::string pattern)
{
    return std::string(mkdtemp(&pattern[0])) + "/";
}

// The private folder of this test program, removed when it ends. TMPDIR
// points at its "tmp" folder, where workbooks keep their part files.
inline const std::string& runFolder()
{
    static struct ownedFolder
    {
        std::string path = madeFolder(testing::TempDir() + "horatab-test-XXXXXX");
        ownedFolder()
        {
            std::filesystem::create_directory(path + "tmp");
            setenv("TMPDIR", (path + "tmp").c_str(), 1);
        }
        ~ownedFolder() { std::filesystem::remove_all(path); }
    } folder;
    return folder.path;
}

inline std::string newFolder()
{
    return madeFolder(runFolder() + "XXXXXX");
}

inline size_t entryCount(const std::string& folder)
{
    return size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
}

inline size_t temporaryFiles()
{
    return entryCount(runFolder() + "tmp");
}

inline std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct programResult
{
    int status;  // the exit status, -1 when the program did not exit
    std::string out, err;
};

// Runs `program` with `args` through the shell, `environment` ("NAME=value ")
// put before it.
inline programResult runProgram(const std::string& program, const names& args,
                                const std::string& environment = "")
{
    std::string command = environment + shellQuoted(program);
    for (const std::string& arg : args)
        command += " " + shellQuoted(arg);
    const std::string out = runFolder() + "stdout", err = runFolder() + "stderr";
    int status =
        std::system((command + " >" + shellQuoted(out) + " 2>" + shellQuoted(err)).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readWhole(out), readWhole(err)};
}

struct workbookRead
{
    std::string problem;                        // empty when the reader read the workbook
    std::map<std::string, std::string> header;  // "STYLES", "SHEETS", "FONTS"
    names sheetNames, grids;  // grids[i]: the rows of sheet i, each ending in "\n"
};

// `sheetNumbers` (from 0) reads only those sheets.
inline workbookRead readWorkbook(const std::string& path, const std::vector<int>& sheetNumbers = {})
{
    names args = {HORATAB_WORKBOOK_DUMPER, path};
    for (int number : sheetNumbers)
        args.push_back(std::to_string(number));
    programResult run = runProgram(HORATAB_SYSTEM_PYTHON, args);
    workbookRead book;
    book.problem = run.status == 0 ? "" : run.err + run.out;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        size_t tab = line.find('\t');
        if (line[0] == '|' && !book.grids.empty())
            book.grids.back() += line.substr(1) + "\n";
        else if (line.compare(0, tab, "SHEET") == 0) {
            book.sheetNames.push_back(line.substr(tab + 1));
            book.grids.emplace_back();
        } else
            book.header[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return book;
}

// Reads the XML text into `table` as the import does for a file.
inline void loadXml(timeTable& table, const std::string& xml)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(xml.c_str())) << xml;
    table.parse(document);
}

// A sheet of three blocks under one heading row, two empty rows apart.
inline std::string threeBlocks(const std::string& heading, const std::string& first,
                               const std::string& second, const std::string& third)
{
    return heading + first + "\n\n" + heading + second + "\n\n" + heading + third;
}

#endif  // HORATAB_TESTS_EXPORT_EXPORTTESTSUPPORT_H
