// The command line of horatab-export, and the font it passes to the export.

#include <gtest/gtest.h>

#include "cli/options.h"
#include "cli/workbooks.h"
#include "support/data.h"
#include "support/reader.h"
#include "timetable/timeTable.h"

using support::names;

namespace {

// "mode|input|name|teachers' workbook|groups' workbook|font", or "error: ...".
std::string parsedAs(names args)
{
    args.insert(args.begin(), "horatab-export");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    cliOptions o;
    std::string error;
    if (!parseArguments(int(argv.size()), argv.data(), o, error))
        return "error: " + error;
    timeTable model;
    chooseFont(model, o);
    const char* modes[] = {"help",        "version",      "listTeachers", "listStudents",
                           "showTeacher", "showStudents", "write"};
    return std::string(modes[int(o.mode)]) + "|" + o.input + "|" + o.name + "|" + o.teachersOutput +
           "|" + o.studentsOutput + "|" +
           (model.fontChosen ? model.fontName + " " + std::to_string(model.fontSize) : "none") +
           (o.printReady ? "|print" : "");
}

TEST(ParseArgumentsTest, EveryFormAndEveryMistake)
{
    for (const support::tableRow& row : support::testTable("cli/data/arguments.tsv")) {
        const names args(row.begin() + 1, row.end());
        EXPECT_EQ(parsedAs(args), row[0]) << testing::PrintToString(args);
    }
    for (const std::string size : {"0", "0.5", "410", "abc", "12pt", "nan", "inf", "", "-3"})
        EXPECT_EQ(parsedAs({"--size", size, "a.xml"}),
                  "error: --size takes a number of points from 1 to 409, not \"" + size + "\"");
}

}  // namespace
