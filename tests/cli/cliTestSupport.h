#ifndef HORATAB_TESTS_CLI_CLITESTSUPPORT_H
#define HORATAB_TESTS_CLI_CLITESTSUPPORT_H
// Running horatab-export and checking what it prints.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/reader.h"
#include "support/scratch.h"
#include "timetable/timeTable.h"

using support::names;

inline support::ProgramResult runExport(const names& args, const std::string& environment = "")
{
    return support::runProgram(HORATAB_EXPORT_BIN, args, environment);
}

// Writes `bytes` to file `name` in the program's scratch folder; returns its path.
inline std::string cliFile(const std::string& name, const std::string& bytes)
{
    return support::programScratch().write(name, bytes);
}

inline std::string newFolder()
{
    return support::programScratch().newFolder();
}

struct runCase
{
    names args;
    int status;
    std::string out, err;  // an err ending in "..." is a prefix
    std::string environment = "";
};

inline void expectRuns(const std::vector<runCase>& cases)
{
    for (const runCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const support::ProgramResult result = runExport(c.args, c.environment);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, c.out);
        const bool prefix = c.err.size() > 3 && c.err.compare(c.err.size() - 3, 3, "...") == 0;
        EXPECT_EQ(prefix ? result.err.substr(0, c.err.size() - 3) + "..." : result.err, c.err);
    }
}

#endif  // HORATAB_TESTS_CLI_CLITESTSUPPORT_H
