// The command line of horatab-export, and the font it passes to the export.

#include "cli/options.h"
#include "cli/workbooks.h"
#include "cliTestSupport.h"

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
    const std::vector<std::pair<names, std::string>> cases = {
        {{"--help"}, "help|||||none"},
        {{"school.xml", "--list", "teachers", "-h"}, "help|||||none"},
        {{"-V", "--bogus"}, "version|||||none"},
        {{"--list", "teachers", "school.xml"}, "listTeachers|school.xml||||none"},
        {{"school.xml", "--list=students"}, "listStudents|school.xml||||none"},
        {{"--show-teacher", "Dvořák Petr", "school.xml"},
         "showTeacher|school.xml|Dvořák Petr|||none"},
        // A value is taken as it stands, even one that looks like an option.
        {{"--show-students", "-1.A", "--", "-odd.xml"}, "showStudents|-odd.xml|-1.A|||none"},
        // Without -t and -s both workbooks go beside the input, its last extension replaced.
        {{"data/school.xml"},
         "write|data/school.xml||data/school-teachers.xlsx|data/school-students.xlsx|none"},
        {{"/srv/a.b/school"},
         "write|/srv/a.b/school||/srv/a.b/school-teachers.xlsx|/srv/a.b/school-students.xlsx|none"},
        {{"x/.hidden"}, "write|x/.hidden||x/.hidden-teachers.xlsx|x/.hidden-students.xlsx|none"},
        {{"-t", "t.xlsx", "school.xml", "--font", "Serif", "--size=12.5"},
         "write|school.xml||t.xlsx||Serif 12"},
        {{"--students", "s.xlsx", "--teachers=t.xlsx", "school.xml"},
         "write|school.xml||t.xlsx|s.xlsx|none"},
        {{"school.xml", "--print-ready", "-t", "t.xlsx"}, "write|school.xml||t.xlsx||none|print"},
        {{"--order", "alphabet", "--list", "teachers", "a.xml"}, "listTeachers|a.xml||||none"},
        {{"--order", "latin", "a.xml"}, "error: --order takes bytes or alphabet, not \"latin\""},
        {{}, "error: no input file given"},
        {{"a.xml", "b.xml"}, "error: give one input file, not 2"},
        {{"--frob", "a.xml"}, "error: unknown option --frob"},
        {{"--frob=1", "a.xml"}, "error: unknown option --frob"},
        {{"a.xml", "--show-teacher"}, "error: --show-teacher needs a value"},
        {{"--list", "rooms", "a.xml"}, "error: --list takes teachers or students, not \"rooms\""},
        {{"--list", "teachers", "--show-teacher", "X", "a.xml"},
         "error: give only one of --list, --show-teacher and --show-students"},
        {{"--list", "teachers", "-t", "t.xlsx", "a.xml"},
         "error: --list, --show-teacher and --show-students write "
         "no workbook; leave out --teachers, --students, --font, --size and --print-ready"},
        {{"--print-ready", "--list", "teachers", "a.xml"},
         "error: --list, --show-teacher and --show-students write "
         "no workbook; leave out --teachers, --students, --font, --size and --print-ready"},
        {{"-t", "a.xlsx", "-t", "b.xlsx", "a.xml"}, "error: --teachers given twice"},
        {{"-s", "", "a.xml"}, "error: --students needs a non-empty value"},
        {{"--font", "", "a.xml"}, "error: --font needs a non-empty value"},
        {{"-t", "x.xlsx", "-s", "x.xlsx", "a.xml"},
         "error: the teachers' and the students' workbooks need different files"},
        {{"-t", "a.xml", "a.xml"}, "error: a workbook would overwrite the input file"},
        // The window's font rule: only "Calibri" at exactly 11 points means no font; sizes are cut
        // to whole points.
        {{"a", "-t", "t", "--font", "Calibri", "--size", "11"}, "write|a||t||none"},
        {{"a", "-t", "t", "--font", "Calibri"}, "write|a||t||none"},
        {{"a", "-t", "t", "--size", "11.0"}, "write|a||t||none"},
        {{"a", "-t", "t", "--size", "11.5"}, "write|a||t||Calibri 11"},
        {{"a", "-t", "t", "--font", "calibri"}, "write|a||t||calibri 11"},
        {{"a", "-t", "t", "--font", "Liberation Serif", "--size", "9.99"},
         "write|a||t||Liberation Serif 9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parsedAs(c.first), c.second) << testing::PrintToString(c.first);
    for (const std::string size : {"0", "0.5", "410", "abc", "12pt", "nan", "inf", "", "-3"})
        EXPECT_EQ(parsedAs({"--size", size, "a.xml"}),
                  "error: --size takes a number of points from 1 to 409, not \"" + size + "\"");
}

}  // namespace
