// Teachers without hours, timetables with nothing to export, and failed
// saves: the result, the destination and the temporary folder.

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exportTestSupport.h"

namespace {

const char* const twoHours = "<Hour name=\"1st\"><Students name=\"1A\"/><Subject name=\"Math\"/></Hour>"
                             "<Hour name=\"2nd\"><Students name=\"2B\"/><Room name=\"R1\"/></Hour>";

TEST(ExportEdgeTest, TeachersWithoutHoursShowTheirNameAndDayHeadings)
{
    // Aaron sorts first but has no hour to give the summary its hour names.
    timeTable table;
    loadTimetableXml(table, timetableXml(std::string("<Teacher name=\"Aaron\"><Day name=\"X\"/><Day name=\"Y\"/></Teacher>"
                                                     "<Teacher name=\"Adams\"><Day name=\"Mon\">") +
                                         twoHours + "</Day><Day name=\"Tue\">" + twoHours +
                                         "</Day></Teacher><Teacher name=\"Zed\"/>"));
    std::string folder = makeTestFolder();
    ASSERT_TRUE(table.teacherToExcel(folder + "t.xlsx"));
    ASSERT_TRUE(table.studentsToExcel(folder + "s.xlsx"));

    workbookRead book = readWorkbook(folder + "t.xlsx");
    ASSERT_TRUE(book.ok) << book.problem;
    ASSERT_EQ(book.names(), (std::vector<std::string>{"All teachers", "Aaron", "Adams", "Zed"}));
    expectExactCells(book.sheets[0], {{"B1", "Mon"}, {"D1", "Tue"},
                                      {"B2", "1st"}, {"C2", "2nd"}, {"D2", "1st"}, {"E2", "2nd"},
                                      {"A3", "Aaron"},
                                      {"A4", "Adams"}, {"B4", "1A"}, {"C4", "2B"}, {"D4", "1A"}, {"E4", "2B"},
                                      {"A5", "Zed"}});
    // A week of no hours: three heading rows, two empty rows apart.
    expectExactCells(book.sheets[1], {{"A1", "hour\\day"}, {"B1", "X"}, {"C1", "Y"},
                                      {"A4", "hour\\day"}, {"B4", "X"}, {"C4", "Y"},
                                      {"A7", "hour\\day"}, {"B7", "X"}, {"C7", "Y"}});
    expectExactCells(book.sheets[3], {{"A1", "hour\\day"}, {"A4", "hour\\day"}, {"A7", "hour\\day"}});

    workbookRead groups = readWorkbook(folder + "s.xlsx");
    ASSERT_TRUE(groups.ok) << groups.problem;
    EXPECT_EQ(groups.names(), (std::vector<std::string>{"All students", "1A", "2B"}));
}

// Runs both exports of `table` into a fresh folder with TMPDIR pointing at
// an empty private folder; both must fail and leave both folders empty.
void expectNothingExported(timeTable& table)
{
    std::string folder = makeTestFolder();
    privateTempDir temp;
    EXPECT_FALSE(table.teacherToExcel(folder + "t.xlsx"));
    EXPECT_FALSE(table.studentsToExcel(folder + "s.xlsx"));
    EXPECT_TRUE(folderEntries(folder).empty());
    EXPECT_TRUE(temp.entries().empty());
}

TEST(ExportEdgeTest, NothingToExportWritesNothingAndLeavesNoTemporaryFiles)
{
    timeTable empty;
    expectNothingExported(empty);

    timeTable otherRoot;
    loadTimetableXml(otherRoot, "<teachers_timetable><Teacher name=\"A\"><Day name=\"Mon\">" + std::string(twoHours) +
                                    "</Day></Teacher></teachers_timetable>");
    expectNothingExported(otherRoot);

    timeTable noHours;
    loadTimetableXml(noHours, timetableXml("<Teacher name=\"A\"><Day name=\"Mon\"/></Teacher><Teacher name=\"B\"/>"));
    expectNothingExported(noHours);
}

TEST(ExportEdgeTest, HoursWithoutGroupsGiveATeachersWorkbookOnly)
{
    timeTable table;
    loadTimetableXml(table, timetableXml("<Teacher name=\"A\"><Day name=\"Mon\"><Hour name=\"1st\">"
                                         "<Subject name=\"Duty\"/><Room name=\"Hall\"/></Hour></Day></Teacher>"));
    std::string folder = makeTestFolder();
    privateTempDir temp;
    ASSERT_TRUE(table.teacherToExcel(folder + "t.xlsx"));
    EXPECT_FALSE(table.studentsToExcel(folder + "s.xlsx"));
    EXPECT_FALSE(fileExists(folder + "s.xlsx"));
    EXPECT_TRUE(temp.entries().empty());

    // An hour without a group shows nowhere, whatever it holds.
    workbookRead book = readWorkbook(folder + "t.xlsx");
    ASSERT_TRUE(book.ok) << book.problem;
    expectExactCells(book.sheets.at(0), {{"B1", "Mon"}, {"B2", "1st"}, {"A3", "A"}});
}

TEST(ExportEdgeTest, UnwritableDestinationFailsAndKeepsAnExistingFile)
{
    timeTable table;
    loadTimetableXml(table, timetableXml(std::string("<Teacher name=\"A\"><Day name=\"Mon\">") + twoHours +
                                         "</Day></Teacher>"));
    std::string folder = makeTestFolder();
    privateTempDir temp;
    EXPECT_FALSE(table.teacherToExcel(folder + "missing/t.xlsx"));
    EXPECT_FALSE(table.studentsToExcel(folder));
    EXPECT_TRUE(temp.entries().empty());

    // Nothing to export leaves a file already at the destination as it was.
    std::ofstream(folder + "s.xlsx") << "keep me";
    timeTable empty;
    EXPECT_FALSE(empty.studentsToExcel(folder + "s.xlsx"));
    std::ifstream kept(folder + "s.xlsx");
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "keep me");
}

}  // namespace
