#include "cli/commands.h"
#include "cli/options.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct parsed
{
    bool ok = false;
    cliOptions options;
    std::string error;
};

parsed parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "horatab-export");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    parsed result;
    result.ok = parseArguments(int(argv.size()), argv.data(), result.options, result.error);
    return result;
}

TEST(ParseArgumentsTest, HelpAndVersionWinWherever)
{
    EXPECT_EQ(parse({"--help"}).options.mode, cliMode::help);
    EXPECT_EQ(parse({"school.xml", "--list", "teachers", "-h"}).options.mode, cliMode::help);
    EXPECT_EQ(parse({"--version"}).options.mode, cliMode::version);
    EXPECT_EQ(parse({"-V", "--bogus"}).options.mode, cliMode::version);
    EXPECT_TRUE(parse({"--help"}).ok);
}

TEST(ParseArgumentsTest, InspectionCommands)
{
    parsed teachers = parse({"--list", "teachers", "school.xml"});
    ASSERT_TRUE(teachers.ok) << teachers.error;
    EXPECT_EQ(teachers.options.mode, cliMode::listTeachers);
    EXPECT_EQ(teachers.options.input, "school.xml");
    EXPECT_TRUE(teachers.options.teachersOutput.empty());

    parsed students = parse({"school.xml", "--list=students"});
    ASSERT_TRUE(students.ok) << students.error;
    EXPECT_EQ(students.options.mode, cliMode::listStudents);

    parsed teacher = parse({"--show-teacher", "Dvořák Petr", "school.xml"});
    ASSERT_TRUE(teacher.ok) << teacher.error;
    EXPECT_EQ(teacher.options.mode, cliMode::showTeacher);
    EXPECT_EQ(teacher.options.name, "Dvořák Petr");

    // A value is taken as it stands, even one that looks like an option.
    parsed group = parse({"--show-students", "-1.A", "--", "-odd.xml"});
    ASSERT_TRUE(group.ok) << group.error;
    EXPECT_EQ(group.options.mode, cliMode::showStudents);
    EXPECT_EQ(group.options.name, "-1.A");
    EXPECT_EQ(group.options.input, "-odd.xml");
}

TEST(ParseArgumentsTest, WorkbookOptionsAndDefaults)
{
    parsed defaults = parse({"data/school.xml"});
    ASSERT_TRUE(defaults.ok) << defaults.error;
    EXPECT_EQ(defaults.options.mode, cliMode::writeWorkbooks);
    EXPECT_EQ(defaults.options.teachersOutput, "data/school-teachers.xlsx");
    EXPECT_EQ(defaults.options.studentsOutput, "data/school-students.xlsx");
    EXPECT_FALSE(defaults.options.fontGiven);
    EXPECT_FALSE(defaults.options.sizeGiven);

    parsed chosen = parse({"-t", "t.xlsx", "school.xml", "--font", "DejaVu Sans", "--size=12.5"});
    ASSERT_TRUE(chosen.ok) << chosen.error;
    EXPECT_EQ(chosen.options.teachersOutput, "t.xlsx");
    EXPECT_EQ(chosen.options.studentsOutput, "");
    EXPECT_TRUE(chosen.options.fontGiven);
    EXPECT_EQ(chosen.options.fontName, "DejaVu Sans");
    EXPECT_TRUE(chosen.options.sizeGiven);
    EXPECT_DOUBLE_EQ(chosen.options.fontSize, 12.5);

    parsed both = parse({"--students", "s.xlsx", "--teachers=t.xlsx", "school.xml"});
    ASSERT_TRUE(both.ok) << both.error;
    EXPECT_EQ(both.options.teachersOutput, "t.xlsx");
    EXPECT_EQ(both.options.studentsOutput, "s.xlsx");
}

TEST(ParseArgumentsTest, MistakesAreNamed)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no input file given"},
        {{"a.xml", "b.xml"}, "give one input file, not 2"},
        {{"--frobnicate", "a.xml"}, "unknown option --frobnicate"},
        {{"--frob=1", "a.xml"}, "unknown option --frob"},
        {{"a.xml", "--show-teacher"}, "--show-teacher needs a value"},
        {{"--list", "rooms", "a.xml"}, "--list takes teachers or students, not \"rooms\""},
        {{"--list", "teachers", "--show-teacher", "X", "a.xml"},
         "give only one of --list, --show-teacher and --show-students"},
        {{"--list", "teachers", "-t", "t.xlsx", "a.xml"},
         "--list, --show-teacher and --show-students write no workbook; leave out --teachers, --students, "
         "--font and --size"},
        {{"-t", "a.xlsx", "-t", "b.xlsx", "a.xml"}, "--teachers given twice"},
        {{"-s", "", "a.xml"}, "--students needs a non-empty value"},
        {{"--font", "", "a.xml"}, "--font needs a non-empty value"},
        {{"-t", "same.xlsx", "-s", "same.xlsx", "a.xml"}, "the teachers' and the students' workbooks need different files"},
        {{"-t", "a.xml", "a.xml"}, "a workbook would overwrite the input file"},
    };
    for (const auto& c : cases) {
        parsed result = parse(c.first);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, c.second);
    }
    for (const char* size : {"0", "0.5", "410", "abc", "12pt", "nan", "inf", "", "-3"}) {
        parsed result = parse({"--size", size, "a.xml"});
        EXPECT_FALSE(result.ok) << size;
        EXPECT_EQ(result.error, std::string("--size takes a number of points from 1 to 409, not \"") + size + "\"");
    }
}

TEST(DefaultOutputPathTest, ReplacesTheLastExtensionOfTheFileName)
{
    EXPECT_EQ(defaultOutputPath("school.xml", "teachers"), "school-teachers.xlsx");
    EXPECT_EQ(defaultOutputPath("/srv/a.b/school", "students"), "/srv/a.b/school-students.xlsx");
    EXPECT_EQ(defaultOutputPath("x/week.2024.xml", "teachers"), "x/week.2024-teachers.xlsx");
    EXPECT_EQ(defaultOutputPath("x/.hidden", "teachers"), "x/.hidden-teachers.xlsx");
}

TEST(PrintMatrixTest, EveryRowHasEveryColumn)
{
    BaseMatrix<std::string> matrix(3, 3);
    matrix(0, 0) = "hour\\day";
    matrix(0, 1) = "Mo";
    matrix(1, 0) = "1";
    matrix(1, 2) = "1A / Math";
    matrix(2, 1) = "tab\there\nnewline\rreturn";
    std::ostringstream out;
    printMatrix(matrix, out);
    EXPECT_EQ(out.str(), "hour\\day\tMo\t\n1\t\t1A / Math\n\ttab here newline return\t\n");

    std::ostringstream empty;
    printMatrix(BaseMatrix<std::string>(), empty);
    EXPECT_EQ(empty.str(), "");
}

}  // namespace
