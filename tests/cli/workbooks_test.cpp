// horatab-export writing workbooks: outputs, fonts, messages, exit status.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../export/workbookReader.h"
#include "cli/options.h"
#include "cli/workbooks.h"
#include "runProgram.h"
#include "timetable/timeTable.h"

namespace {

const char* const school =
    "<Teachers_Timetable>\n"
    "  <Teacher name=\"Novak\">\n"
    "    <Day name=\"Mon\"><Hour name=\"1.\"><Subject name=\"Math\"/><Students name=\"1.A\"/></Hour>"
    "<Hour name=\"2.\"><Subject name=\"=1+1\"/><Students name=\"2.B\"/></Hour></Day>\n"
    "    <Day name=\"Tue\"><Hour name=\"1.\"/></Day>\n"
    "  </Teacher>\n"
    "  <Teacher name=\"Idle\"><Day name=\"Mon\"/></Teacher>\n"
    "</Teachers_Timetable>\n";

std::string failureLine(const std::string& file, const std::string& reason)
{
    return "horatab-export: " + file + ": " + reason + "\n";
}

std::string writtenLine(bool teachers, const std::string& path)
{
    return std::string(teachers ? "Teachers' workbook" : "Student groups' workbook") + " written to " + path + "\n";
}

class WorkbooksRunTest : public testing::Test
{
protected:
    std::string folder = cliTestFolder();
    std::string input = writeCliFile("week.v1.xml", school);
};

TEST_F(WorkbooksRunTest, WithoutOutputOptionsBothWorkbooksGoBesideTheInput)
{
    programResult result = runExport({input});
    const std::string teachers = folder + "week.v1-teachers.xlsx";
    const std::string students = folder + "week.v1-students.xlsx";
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, writtenLine(true, teachers) + writtenLine(false, students));

    workbookRead teachersBook = readWorkbook(teachers);
    ASSERT_TRUE(teachersBook.ok) << teachersBook.problem;
    EXPECT_EQ(teachersBook.names(), (std::vector<std::string>{"All teachers", "Idle", "Novak"}));
    EXPECT_EQ(teachersBook.cellStyles, 2) << "no font chosen: the default style";
    EXPECT_EQ(teachersBook.sheets[2].cells.at("B8").value, "=1+1");
    EXPECT_EQ(teachersBook.sheets[2].cells.at("B8").type, "s");

    workbookRead studentsBook = readWorkbook(students);
    ASSERT_TRUE(studentsBook.ok) << studentsBook.problem;
    EXPECT_EQ(studentsBook.names(), (std::vector<std::string>{"All students", "1.A", "2.B"}));
}

TEST_F(WorkbooksRunTest, EachOutputOptionWritesOnlyItsWorkbook)
{
    const std::string only = writeCliFile("only.xml", school);
    const std::string teachers = folder + "only-t.xlsx";
    programResult result = runExport({"-t", teachers, only});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, writtenLine(true, teachers));

    const std::string students = folder + "only-s.xlsx";
    result = runExport({only, "--students", students});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, writtenLine(false, students));

    EXPECT_TRUE(readWorkbook(teachers).ok);
    EXPECT_TRUE(readWorkbook(students).ok);
    EXPECT_NE(access((folder + "only-teachers.xlsx").c_str(), F_OK), 0);
    EXPECT_NE(access((folder + "only-students.xlsx").c_str(), F_OK), 0);
}

TEST_F(WorkbooksRunTest, FontAndSizeStyleEveryCell)
{
    const std::string path = folder + "font.xlsx";
    ASSERT_EQ(runExport({"--font", "DejaVu Sans", "--size", "12.7", "-t", path, input}).status, 0);
    workbookRead book = readWorkbook(path);
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.cellStyles, 3);
    for (const sheetRead& sheet : book.sheets)
        for (const auto& cell : sheet.cells) {
            EXPECT_EQ(cell.second.font, "DejaVu Sans") << sheet.name << "!" << cell.first;
            EXPECT_EQ(cell.second.size, "12") << sheet.name << "!" << cell.first;
            EXPECT_EQ(cell.second.horizontal, "center") << sheet.name << "!" << cell.first;
        }
}

// The window's rule: only "Calibri" at exactly 11 points means no font.
TEST(ChooseFontTest, OnlyTheDefaultCalibri11KeepsTheDefaultStyle)
{
    struct fontCase
    {
        std::vector<const char*> args;
        bool chosen;
        std::string name;
        int32_t size;
    };
    const std::vector<fontCase> cases = {
        {{}, false, "", 0},
        {{"--font", "Calibri", "--size", "11"}, false, "", 0},
        {{"--font", "Calibri"}, false, "", 0},
        {{"--size", "11.0"}, false, "", 0},
        {{"--size", "11.5"}, true, "Calibri", 11},
        {{"--font", "calibri"}, true, "calibri", 11},
        {{"--font", "Liberation Serif", "--size", "9.99"}, true, "Liberation Serif", 9},
    };
    for (const fontCase& c : cases) {
        std::vector<const char*> argv = {"horatab-export", "in.xml"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        cliOptions options;
        std::string error;
        ASSERT_TRUE(parseArguments(int(argv.size()), argv.data(), options, error)) << error;
        timeTable model;
        chooseFont(model, options);
        EXPECT_EQ(model.fontChosen, c.chosen) << testing::PrintToString(c.args);
        if (c.chosen) {
            EXPECT_EQ(model.fontName, c.name);
            EXPECT_EQ(model.fontSize, c.size);
        }
    }
}

TEST_F(WorkbooksRunTest, NothingToExportIsReportedPerWorkbook)
{
    const std::string t = folder + "t.xlsx";
    const std::string s = folder + "s.xlsx";

    std::string otherRoot = writeCliFile("other.xml", "<Rozvrh><Teacher name='A'/></Rozvrh>");
    programResult result = runExport({otherRoot, "-t", t, "-s", s});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    const std::string noTeachers =
        "nothing to export: " + otherRoot + " holds no teachers (its root element is <Rozvrh>, not <Teachers_Timetable>)";
    EXPECT_EQ(result.err, failureLine(t, noTeachers) + failureLine(s, noTeachers));

    std::string idle = writeCliFile("idle.xml", "<Teachers_Timetable><T name='A'><D name='Mon'/></T></Teachers_Timetable>");
    result = runExport({idle, "-t", t, "-s", s});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, failureLine(t, "nothing to export: no teacher has an hour") +
                              failureLine(s, "nothing to export: no hour names a student group"));

    // The teachers' workbook is still written when only the groups' fails.
    std::string duties = writeCliFile("duties.xml", "<Teachers_Timetable><T name='A'><D name='Mon'><H name='1.'>"
                                                    "<Subject name='Duty'/></H></D></T></Teachers_Timetable>");
    result = runExport({duties, "-t", t, "-s", s});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, writtenLine(true, t));
    EXPECT_EQ(result.err, failureLine(s, "nothing to export: no hour names a student group"));
    EXPECT_NE(access(s.c_str(), F_OK), 0);
}

TEST_F(WorkbooksRunTest, UnusableDestinationsAreReported)
{
    const std::string missing = folder + "missing/t.xlsx";
    const std::string file = writeCliFile("plain.txt", "x");
    const std::string underFile = file + "/s.xlsx";
    programResult result = runExport({input, "-t", missing, "-s", underFile});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, failureLine(missing, "the folder " + folder + "missing does not exist") +
                              failureLine(underFile, file + " is not a folder"));

    mkdir((folder + "sub").c_str(), 0700);
    result = runExport({input, "-t", folder + "sub", "-s", folder + "sub/"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, failureLine(folder + "sub", "is a folder, not a file name") +
                              failureLine(folder + "sub/", "is a folder, not a file name"));

    // A name longer than the file system allows passes the checks and fails
    // when the workbook is put in place.
    const std::string tooLong = folder + std::string(300, 'n') + ".xlsx";
    result = runExport({input, "-t", tooLong});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, failureLine(tooLong, "the workbook could not be written"));
}

TEST_F(WorkbooksRunTest, ReadOnlyFolderIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write into any folder";
    const std::string locked = folder + "locked";
    mkdir(locked.c_str(), 0500);
    programResult result = runExport({input, "-t", locked + "/t.xlsx"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, failureLine(locked + "/t.xlsx", "the folder " + locked + " is not writable"));
}

TEST_F(WorkbooksRunTest, MissingTemporaryFolderIsReported)
{
    const std::string gone = folder + "no-such-tmp";
    setenv("TMPDIR", gone.c_str(), 1);
    programResult result = runExport({input, "-t", folder + "t.xlsx"});
    unsetenv("TMPDIR");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, failureLine(folder + "t.xlsx", "the temporary folder " + gone +
                                                             " (TMPDIR) is missing or not writable"));
}

TEST_F(WorkbooksRunTest, UnreadableInputIsReportedOnce)
{
    const std::string missing = folder + "missing.xml";
    programResult result = runExport({missing});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, failureLine(missing, "cannot open the file: No such file or directory"));
}

}  // namespace
