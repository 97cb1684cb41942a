// Names from the input reach cells exactly, as text, and sheet titles made
// from them are valid and unique.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exportTestSupport.h"

namespace {

// Adds a teacher with one day of one hour of `group` (and `subject`, `room`
// when not empty).
void addTeacher(timeTable& table, const std::string& name, const std::string& group,
                const std::string& subject = "", const std::string& room = "")
{
    teacher* member = table.insertTeacher(name);
    hour* slot = member->addDay("Mon")->addhour("1st");
    slot->students = table.insertStudents(group);
    if (!subject.empty())
        slot->subject = table.insertSubject(subject);
    if (!room.empty())
        slot->room = table.insertRoom(room);
    member->fixSize();
}

TEST(ExportNamesTest, NamesThatLookLikeFormulasOrMarkupStayExactText)
{
    const std::string teacherName = "Doe & <Sons> \"Jr\"";
    const std::string group = "=HYPERLINK(\"http://example.invalid\",\"go\")";
    const std::string subject = "=1+1";
    const std::string room = "R&D <lab>";
    timeTable table;
    addTeacher(table, teacherName, group, subject, room);

    std::string folder = makeTestFolder();
    ASSERT_TRUE(table.teacherToExcel(folder + "t.xlsx"));
    ASSERT_TRUE(table.studentsToExcel(folder + "s.xlsx"));
    workbookRead teachers = readWorkbook(folder + "t.xlsx");
    workbookRead students = readWorkbook(folder + "s.xlsx");
    ASSERT_TRUE(teachers.ok) << teachers.problem;
    ASSERT_TRUE(students.ok) << students.problem;

    EXPECT_EQ(teachers.names(), (std::vector<std::string>{"All teachers", teacherName}));
    expectExactCells(teachers.sheets[0], {{"B1", "Mon"}, {"B2", "1st"}, {"A3", teacherName}, {"B3", group}});
    expectExactCells(teachers.sheets[1], {{"A1", "hour\\day"}, {"B1", "Mon"}, {"A2", "1st"}, {"B2", group},
                                          {"A5", "hour\\day"}, {"B5", "Mon"}, {"A6", "1st"}, {"B6", subject},
                                          {"A9", "hour\\day"}, {"B9", "Mon"}, {"A10", "1st"}, {"B10", room}});

    EXPECT_EQ(students.names(), (std::vector<std::string>{"All students", "=HYPERLINK(\"http___example.inva"}));
    expectExactCells(students.sheets[0], {{"B1", "Mon"}, {"B2", "1st"}, {"A3", group}, {"B3", subject}});
    expectExactCells(students.sheets[1], {{"A1", "hour\\day"}, {"B1", "Mon"}, {"A2", "1st"}, {"B2", subject},
                                          {"A5", "hour\\day"}, {"B5", "Mon"}, {"A6", "1st"}, {"B6", teacherName},
                                          {"A9", "hour\\day"}, {"B9", "Mon"}, {"A10", "1st"}, {"B10", room}});
}

TEST(ExportNamesTest, ControlCharactersAndInvalidUtf8StillGiveAReadableWorkbook)
{
    timeTable table;
    addTeacher(table, "Tab\there", "Caf\xE9", "Bell\x07Subject", "Line\nbreak");

    std::string folder = makeTestFolder();
    ASSERT_TRUE(table.teacherToExcel(folder + "t.xlsx"));
    ASSERT_TRUE(table.studentsToExcel(folder + "s.xlsx"));
    workbookRead teachers = readWorkbook(folder + "t.xlsx");
    workbookRead students = readWorkbook(folder + "s.xlsx");
    ASSERT_TRUE(teachers.ok) << teachers.problem;
    ASSERT_TRUE(students.ok) << students.problem;

    // Titles lose what sheet names cannot hold; cells keep tabs and line
    // breaks, and an invalid byte becomes U+FFFD.
    EXPECT_EQ(teachers.names(), (std::vector<std::string>{"All teachers", "Tab_here"}));
    EXPECT_EQ(teachers.sheets[0].value("A3"), "Tab\there");
    EXPECT_EQ(teachers.sheets[0].value("B3"), "Caf\xEF\xBF\xBD");
    EXPECT_EQ(teachers.sheets[1].value("B10"), "Line\nbreak");
    EXPECT_EQ(students.names(), (std::vector<std::string>{"All students", "Caf_"}));
    // A control character travels in the spreadsheet's escaped form, which
    // this reader shows as it stands.
    EXPECT_EQ(students.sheets[1].value("B2"), "Bell_x0007_Subject");
}

TEST(ExportNamesTest, SheetTitlesAreCutMadeValidAndUnique)
{
    const std::string long40 = "Abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    const std::string long40b = "Abcdefghijklmnopqrstuvwxyz01234_other";
    std::string accented40;
    for (int i = 0; i < 20; ++i)
        accented40 += "\xC5\xBD";  // Ž, two bytes
    ASSERT_EQ(long40.size(), 40u);
    ASSERT_EQ(accented40.size(), 40u);

    timeTable table;
    const std::vector<std::string> names = {"", "5A/5B", long40, long40b, "All teachers", accented40};
    for (size_t i = 0; i < names.size(); ++i)
        addTeacher(table, names[i], "G" + std::to_string(i));

    std::string path = makeTestFolder() + "t.xlsx";
    ASSERT_TRUE(table.teacherToExcel(path));
    workbookRead book = readWorkbook(path);
    ASSERT_TRUE(book.ok) << book.problem;

    // Teachers in byte order: "", "5A/5B", long40, long40b, "All teachers", accented40.
    EXPECT_EQ(book.names(), (std::vector<std::string>{"All teachers", "Sheet 2", "5A_5B", long40.substr(0, 31),
                                                      long40.substr(0, 27) + " (2)", "All teachers (2)",
                                                      accented40.substr(0, 30)}));
    // Each sheet belongs to its teacher, and the summary keeps the full names.
    const std::vector<std::string> groups = {"G0", "G1", "G2", "G3", "G4", "G5"};
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(book.sheets.at(i + 1).value("B2"), groups[i]) << book.sheets[i + 1].name;
        EXPECT_EQ(book.sheets[0].value(cellRef(int(i) + 3, 0)), names[i]);
    }
}

TEST(ExportNamesTest, GroupNamesDifferingOnlyInCaseGetTwoSheets)
{
    timeTable table;
    addTeacher(table, "Adams", "1a");
    addTeacher(table, "Brown", "1A");
    addTeacher(table, "Clark", "All Students");

    std::string path = makeTestFolder() + "s.xlsx";
    ASSERT_TRUE(table.studentsToExcel(path));
    workbookRead book = readWorkbook(path);
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.names(), (std::vector<std::string>{"All students", "1A", "1a (2)", "All Students (2)"}));
    EXPECT_EQ(book.sheets.at(1).value("B6"), "Brown");
    EXPECT_EQ(book.sheets.at(2).value("B6"), "Adams");
}

}  // namespace
