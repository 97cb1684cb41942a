// horatab-export writing workbooks: outputs, fonts, messages, exit status.

#include <sys/stat.h>
#include <unistd.h>

#include "cliTestSupport.h"

namespace {

const char* const school =
    "<Teachers_Timetable><T name='Novak'><D name='Mon'><H name='1.'><Subject name='Math'/>"
    "<Students name='1.A'/></H><H name='2.'><Students name='2.B'/></H></D></T>"
    "<T name='Idle'><D name='Mon'/></T></Teachers_Timetable>";

std::string written(bool teachers, const std::string& path)
{
    return std::string(teachers ? "Teachers' workbook" : "Student groups' workbook") +
           " written to " + path + "\n";
}

std::string failed(const std::string& file, const std::string& reason)
{
    return "horatab-export: " + file + ": " + reason + "\n";
}

TEST(WorkbooksTest, BothBesideTheInputOrEachWhereItsOptionSays)
{
    const std::string folder = newFolder(),
                      input = support::writeFile(folder + "week.v1.xml", school);
    const std::string t = folder + "week.v1-teachers.xlsx", s = folder + "week.v1-students.xlsx";
    expectRuns({{{input}, 0, written(true, t) + written(false, s), ""}});
    support::WorkbookRead teachers = support::readWorkbook(t), students = support::readWorkbook(s);
    EXPECT_EQ(teachers.sheetNames, (names{"All teachers", "Idle", "Novak"}));
    EXPECT_EQ(teachers.header["STYLES"], "2") << "no font chosen: no style added";
    EXPECT_EQ(students.sheetNames, (names{"All students", "1.A", "2.B"}));

    const std::string other = newFolder(), only = support::writeFile(other + "only.xml", school);
    expectRuns({{{"-t", other + "t.xlsx", only}, 0, written(true, other + "t.xlsx"), ""},
                {{only, "--students", other + "s.xlsx"}, 0, written(false, other + "s.xlsx"), ""}});
    EXPECT_EQ(support::entryCount(other), 3u);

    expectRuns({{{"--font", "DejaVu Sans", "--size", "12.7", "-t", other + "f.xlsx", only},
                 0,
                 written(true, other + "f.xlsx"),
                 ""}});
    support::WorkbookRead font = support::readWorkbook(other + "f.xlsx");
    EXPECT_EQ(font.header["STYLES"], "3");
    EXPECT_EQ(font.header["FONTS"], "DejaVu Sans 12 center center");
}

TEST(WorkbooksTest, EachFailedWorkbookGetsItsOwnLine)
{
    const std::string folder = newFolder(), input = support::writeFile(folder + "in.xml", school);
    const std::string t = folder + "t.xlsx", s = folder + "s.xlsx";
    const std::string otherRoot =
        support::writeFile(folder + "other.xml", "<Rozvrh><Teacher name='A'/></Rozvrh>");
    const std::string idle = support::writeFile(
        folder + "idle.xml", "<Teachers_Timetable><T name='A'><D/></T></Teachers_Timetable>");
    const std::string duties =
        support::writeFile(folder + "duties.xml",
                           "<Teachers_Timetable><T name='A'><D name='Mon'>"
                           "<H name='1.'><Subject name='Duty'/></H></D></T></Teachers_Timetable>");
    const std::string noGroup = "nothing to export: no hour names a student group";
    const std::string plain = support::writeFile(folder + "plain.txt", "x"),
                      tooLong = folder + std::string(300, 'n') + ".xlsx";
    mkdir((folder + "sub").c_str(), 0700);
    mkdir((folder + "locked").c_str(), 0500);
    std::vector<runCase> cases = {
        {{otherRoot, "-t", t, "-s", s},
         1,
         "",
         failed(otherRoot, "the file holds no teachers: its root element is <Rozvrh>, not "
                           "<Teachers_Timetable>")},
        {{idle, "-t", t, "-s", s},
         1,
         "",
         failed(t, "nothing to export: no teacher has an hour") + failed(s, noGroup)},
        // The teachers' workbook is still written when the groups' one fails.
        {{duties, "-t", t, "-s", s}, 1, written(true, t), failed(s, noGroup)},
        {{input, "-t", folder + "missing/t.xlsx", "-s", plain + "/s.xlsx"},
         1,
         "",
         failed(folder + "missing/t.xlsx", "cannot write the file: No such file or directory") +
             failed(plain + "/s.xlsx", "cannot write the file: Not a directory")},
        {{input, "-t", folder + "sub", "-s", folder + "sub/"},
         1,
         "",
         failed(folder + "sub", "cannot write the file: Is a directory") +
             failed(folder + "sub/", "cannot write the file: Is a directory")},
        {{input, "-t", tooLong},
         1,
         "",
         failed(tooLong, "cannot write the file: File name too long")},
        {{input, "-t", t},
         1,
         "",
         failed(t,
                "cannot make a temporary folder in " + folder + "gone: No such file or directory"),
         "TMPDIR=" + support::shellQuoted(folder + "gone") + " "},
        {{folder + "missing.xml"},
         1,
         "",
         failed(folder + "missing.xml", "cannot open the file: No such file or directory")},
    };
    if (geteuid() != 0)  // root may write into any folder
        cases.push_back(
            {{input, "-t", folder + "locked/t.xlsx"},
             1,
             "",
             failed(folder + "locked/t.xlsx", "cannot write the file: Permission denied")});
    expectRuns(cases);
    EXPECT_EQ(support::entryCount(folder), 8u)
        << "in, other, idle, duties, plain, sub, locked and the duties' t.xlsx";
}

// --order alphabet puts the sheets, the summaries' rows and --list in the
// alphabet's order; without it they stay in byte order.
TEST(WorkbooksTest, AlphabetOrdersSheetsSummaryRowsAndLists)
{
    const std::string folder = newFolder();
    const std::string input = support::writeFile(
        folder + "abc.xml",
        "<Teachers_Timetable><T name='Zeman'><D name='Mon'><H name='1.'><Subject name='Math'/>"
        "<Students name='Čtvrtá'/></H></D></T><T name='Černý'><D name='Mon'><H name='1.'>"
        "<Subject name='Art'/><Students name='Cesta'/></H></D></T><T name='Cerny'><D name='Mon'>"
        "<H name='1.'><Subject name='Bio'/><Students name='Zahrada'/></H></D></T>"
        "</Teachers_Timetable>");
    const std::string t = folder + "t.xlsx", s = folder + "s.xlsx";
    expectRuns(
        {{{"--list", "teachers", input}, 0, "Cerny\nZeman\nČerný\n", ""},
         {{"--order=alphabet", "--list", "teachers", input}, 0, "Cerny\nČerný\nZeman\n", ""},
         {{"--list", "students", "--order", "alphabet", input}, 0, "Cesta\nČtvrtá\nZahrada\n", ""},
         {{"--order", "alphabet", "-t", t, "-s", s, input},
          0,
          written(true, t) + written(false, s),
          ""}});
    support::WorkbookRead teachers = support::readWorkbook(t), students = support::readWorkbook(s);
    EXPECT_EQ(teachers.sheetNames, (names{"All teachers", "Cerny", "Černý", "Zeman"}));
    ASSERT_EQ(teachers.grids.size(), 4u);
    EXPECT_EQ(teachers.grids[0], "\tMon\n\t1.\nCerny\tZahrada\nČerný\tCesta\nZeman\tČtvrtá\n");
    EXPECT_EQ(students.sheetNames, (names{"All students", "Cesta", "Čtvrtá", "Zahrada"}));
    ASSERT_EQ(students.grids.size(), 4u);
    EXPECT_EQ(students.grids[0], "\tMon\n\t1.\nCesta\tArt\nČtvrtá\tMath\nZahrada\tBio\n");
    EXPECT_EQ(students.grids[2], "hour\\day\tMon\n1.\tMath\n\n\nhour\\day\tMon\n1.\tZeman\n\n\n"
                                 "hour\\day\tMon\n1.\n");
}

}  // namespace
