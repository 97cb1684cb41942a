// Timetables in the shape real exports have: a byte order mark, activity ids
// and tags, lessons taught to several groups at once, duties without a
// group, classes taught in parallel halves, and teachers whose weeks differ
// in size. Each lesson must reach every week it belongs to, with its
// headings. A file without these shapes must export exactly as before.

#include "cliTestSupport.h"

namespace {

using support::readFile;
using support::runProgram;

const std::string dataFolder = HORATAB_TEST_DATA_DIR;

// A sheet of three blocks under one heading row, two empty rows apart.
std::string threeBlocks(const std::string& heading, const std::string& first,
                        const std::string& second, const std::string& third)
{
    return heading + first + "\n\n" + heading + second + "\n\n" + heading + third;
}

TEST(RealShapesTest, EveryLessonReachesEveryWeekItBelongsTo)
{
    const std::string in = dataFolder + "/real_shapes.xml";
    // Adam (Mo, Tu; 3 hours) teaches 5A and 5B together, has a duty with a
    // room and a meeting without; Berg (Mo to We; 4 hours) teaches 5A and 6A
    // together at the same time as Adam; Adam, Berg and Cole teach halves of
    // 5A on Tu 1. The group weeks take Berg's days and hours.
    const std::string threeDays = "hour\\day\tMo\tTu\tWe\n";
    const std::string fourHours = "2.\t\t\t\n3.\t\t\t\n4.\t\t\t\n";
    expectRuns({
        {{"--list", "students", in}, 0, "5A\n5B\n6A\n", ""},
        {{"--show-teacher", "Adam", in},
         0,
         "hour\\day\tMo\tTu\n1.\t5A, 5B / Math\t5A / English\n2.\t\tMeeting\n3.\tSupervision\t\n",
         ""},
        {{"--show-students", "5A", in},
         0,
         threeDays + "1.\tMath | PE\tEnglish | German\t\n" + fourHours,
         ""},
        {{"--show-students", "5B", in}, 0, threeDays + "1.\tMath\t\tChemistry\n" + fourHours, ""},
        {{"--show-students", "6A", in},
         0,
         threeDays + "1.\tPE\t\t\n2.\t\t\t\n3.\t\t\t\n4.\t\t\tArt\n",
         ""},
    });

    const std::string folder = newFolder(), t = folder + "t.xlsx", s = folder + "s.xlsx";
    ASSERT_EQ(runExport({in, "-t", t, "-s", s}).status, 0);
    const support::WorkbookRead teachers = support::readWorkbook(t),
                                students = support::readWorkbook(s);
    ASSERT_EQ(teachers.problem + students.problem, "");
    ASSERT_EQ(students.sheetNames, (names{"All students", "5A", "5B", "6A"}));
    // Both summaries: Berg's days, and Berg's four hour names under each.
    const std::string summaryHeadings =
        "\tMo\t\t\t\tTu\t\t\t\tWe\n\t1.\t2.\t3.\t4.\t1.\t2.\t3.\t4.\t1.\t2.\t3.\t4.\n";
    EXPECT_EQ(teachers.grids[0],
              summaryHeadings + "Adam\t5A, 5B\t\t\t\t5A\nBerg\t5A, 6A\t\t\t\t5A\t\t\t\t5B\t\t\t6A\n"
                                "Cole\t\t\t\t\t5A\n");
    EXPECT_EQ(teachers.grids[1], threeBlocks("hour\\day\tMo\tTu\n", "1.\t5A, 5B\t5A\n2.\n3.\n",
                                             "1.\tMath\tEnglish\n2.\t\tMeeting\n3.\tSupervision\n",
                                             "1.\tR1\tR1\n2.\n3.\tHall\n"));
    EXPECT_EQ(students.grids[0], summaryHeadings + "5A\tMath\\nPE\t\t\t\tEnglish\\nGerman\n"
                                                   "5B\tMath\t\t\t\t\t\t\t\tChemistry\n"
                                                   "6A\tPE\t\t\t\t\t\t\t\t\t\t\tArt\n");
    const std::string emptyHours = "2.\n3.\n4.\n";
    EXPECT_EQ(students.grids[1],
              threeBlocks(threeDays, "1.\tMath\\nPE\tEnglish\\nGerman\n" + emptyHours,
                          "1.\tAdam\\nBerg\tAdam\\nBerg\\nCole\n" + emptyHours,
                          "1.\tR1\\nGym\tR1\\nR2\\nR3\n" + emptyHours));
    EXPECT_EQ(students.grids[3],
              threeBlocks(threeDays, "1.\tPE\n2.\n3.\n4.\t\t\tArt\n",
                          "1.\tBerg\n2.\n3.\n4.\t\t\tBerg\n", "1.\tGym\n2.\n3.\n4.\t\t\tStudio\n"));
}

// The expected file was written by the version before combined lessons,
// duties, parallel lessons and largest-week headings were read: for a file
// with none of them, every command and both workbooks read alike.
TEST(RealShapesTest, AFileWithoutTheseShapesExportsAsBefore)
{
    const std::string in = dataFolder + "/plain_timetable.xml";
    const std::vector<names> commands = {
        {"--list", "teachers"},          {"--list", "students"},
        {"--show-teacher", "Aaron"},     {"--show-teacher", "Novák Jan"},
        {"--show-teacher", "Černá Eva"}, {"--show-students", "1.A"},
        {"--show-students", "2.B"}};
    std::string seen;
    for (names args : commands) {
        seen += "$";
        for (const std::string& arg : args)
            seen += " " + arg;
        args.push_back(in);
        seen += "\n" + runExport(args).out;
    }
    const std::string folder = newFolder(), t = folder + "t.xlsx", s = folder + "s.xlsx";
    ASSERT_EQ(runExport({in, "-t", t, "-s", s}).status, 0);
    for (const std::string& book : {t, s})
        seen += "$ workbook\n" +
                runProgram(HORATAB_SYSTEM_PYTHON, {HORATAB_WORKBOOK_READER, "dump", book}).out;
    EXPECT_EQ(seen, readFile(dataFolder + "/plain_timetable.expected"));
}

}  // namespace
