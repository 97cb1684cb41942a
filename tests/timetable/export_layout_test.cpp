// The teachers' and the student groups' workbooks of a small hand-made
// timetable, read back cell by cell.

#include "timetableTestSupport.h"

namespace {

// Adams: 3 days of 3 hours; a duty without a group on Tu 1. Brown: fewer days
// and hours, teaches 1A where Adams does (day 1, hour 1) and sorts later.
// Aaron sorts first and has no hour; Zed has no day.
const char* const school =
    "<Teachers_Timetable><T name='Brown'>"
    "<D name='bMo'><H name='b1'><Subject name='Art'/><Students name='1A'/><Room name='S1'/></H>"
    "<H name='b2'><Students name='3C'/><Subject name='Art'/></H></D>"
    "<D name='bTu'><H name='b1'><Students name='1A'/><Subject name='PE'/><Room name='Gym'/></H><H "
    "name='b2'/></D>"
    "</T><T name='Adams'>"
    "<D name='Mo'><H name='1'><Students name='1A'/><Subject name='Math'/><Room name='R1'/></H>"
    "<H name='2'><Students name='2B'/><Subject name='Math'/><Room name='R2'/></H><H name='3'/></D>"
    "<D name='Tu'><H name='1'><Subject name='Duty'/></H><H name='2'><Students name='1A'/><Subject "
    "name='Bio'/>"
    "<Room name='R1'/></H><H name='3'><Students name='2B'/></H></D>"
    "<D name='We'><H name='1'/><H name='2'/><H name='3'><Students name='1A'/><Subject "
    "name='Math'/><Room name='R3'/></H>"
    "</D></T><T name='Aaron'><D name='X'/><D name='Y'/></T><T name='Zed'/></Teachers_Timetable>";

const std::string adamsHeading = "hour\\day\tMo\tTu\tWe\n";
const std::string brownHeading = "hour\\day\tbMo\tbTu\n";
// The summaries: day names over blocks of three hour columns, headings from
// the largest week (Adams, and 1A's week, which takes Adams' headings).
const std::string summaryHeadings = "\tMo\t\t\tTu\t\t\tWe\n\t1\t2\t3\t1\t2\t3\t1\t2\t3\n";

class ExportLayoutTest : public testing::Test
{
protected:
    timeTable table;

    void SetUp() override { readInto(table, school); }

    support::WorkbookRead exported(bool teachers)
    {
        std::string path = newFolder() + "book.xlsx";
        EXPECT_TRUE(teachers ? table.teacherToExcel(path) : table.studentsToExcel(path));
        return support::readWorkbook(path);
    }

    void expectSheets(const support::WorkbookRead& book, const names& sheetNames,
                      const names& grids)
    {
        ASSERT_EQ(book.problem, "");
        ASSERT_EQ(book.sheetNames, sheetNames);
        for (size_t i = 0; i < grids.size(); ++i)
            EXPECT_EQ(book.grids[i], grids[i]) << sheetNames[i];
    }
};

TEST_F(ExportLayoutTest, TeachersWorkbook)
{
    expectSheets(
        exported(true), {"All teachers", "Aaron", "Adams", "Brown", "Zed"},
        {summaryHeadings + "Aaron\nAdams\t1A\t2B\t\t\t1A\t2B\t\t\t1A\nBrown\t1A\t3C\t\t1A\nZed\n",
         threeBlocks("hour\\day\tX\tY\n", "", "", ""),
         threeBlocks(adamsHeading, "1\t1A\n2\t2B\t1A\n3\t\t2B\t1A\n",
                     "1\tMath\tDuty\n2\tMath\tBio\n3\t\t\tMath\n", "1\tR1\n2\tR2\tR1\n3\t\t\tR3\n"),
         threeBlocks(brownHeading, "b1\t1A\t1A\nb2\t3C\n", "b1\tArt\tPE\nb2\tArt\n",
                     "b1\tS1\tGym\nb2\n"),
         threeBlocks("hour\\day\n", "", "", "")});
}

TEST_F(ExportLayoutTest, StudentsWorkbookMergesTeachersAndKeepsBothLessonsOfAClash)
{
    expectSheets(
        exported(false), {"All students", "1A", "2B", "3C"},
        {summaryHeadings + "1A\tMath\\nArt\t\t\tPE\tBio\t\t\t\tMath\n2B\t\tMath\n3C\t\tArt\n",
         threeBlocks(adamsHeading, "1\tMath\\nArt\tPE\n2\t\tBio\n3\t\t\tMath\n",
                     "1\tAdams\\nBrown\tBrown\n2\t\tAdams\n3\t\t\tAdams\n",
                     "1\tR1\\nS1\tGym\n2\t\tR1\n3\t\t\tR3\n"),
         threeBlocks(adamsHeading, "1\n2\tMath\n3\n", "1\n2\tAdams\n3\t\tAdams\n", "1\n2\tR2\n3\n"),
         threeBlocks(brownHeading, "b1\nb2\tArt\n", "b1\nb2\tBrown\n", "b1\nb2\n")});
}

// Without a chosen font no style is added; a chosen one, even the default
// font by name, styles every cell of every sheet, centred.
TEST_F(ExportLayoutTest, TheChosenFontStylesEveryCell)
{
    struct fontCase
    {
        const char* font;
        int size;
        std::string styles, fonts;
    };
    for (const fontCase& c : {fontCase{nullptr, 0, "2", "Calibri 11 None None"},
                              fontCase{"DejaVu Serif", 14, "3", "DejaVu Serif 14 center center"},
                              fontCase{"Calibri", 11, "3", "Calibri 11 center center"}}) {
        if (c.font)
            table.setFontAndSize(c.font, c.size);
        for (bool teachers : {true, false}) {
            support::WorkbookRead book = exported(teachers);
            EXPECT_EQ(book.header["STYLES"], c.styles);
            EXPECT_EQ(book.header["FONTS"], c.fonts);
        }
    }
}

}  // namespace

namespace {

std::string today()
{
    const time_t now = time(nullptr);
    struct tm local;
    char text[16] = "";
    localtime_r(&now, &local);
    strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// The print layout, as an independent reader sees it: title, captions,
// headings on a fill, borders, fitted widths, merged day names, frozen and
// repeated headings, landscape pages with the name and the file.
TEST_F(ExportLayoutTest, PrintReadyLayout)
{
    table.setPrintReady(true, "school & co.xml");
    const std::string teachers = newFolder() + "teachers.xlsx";
    const std::string students = newFolder() + "students.xlsx";
    ASSERT_TRUE(table.teacherToExcel(teachers));
    ASSERT_TRUE(table.studentsToExcel(students));
    const std::string footer = R"("footer": ["school && co.xml", null, ")" + today() + R"("])";
    const std::string thin = R"(["thin", "thin", "thin", "thin"])";
    EXPECT_EQ(support::checkPackage(teachers, R"J({"sheets_count": 5, "sheets": [
        {"name": "All teachers", "merged": ["B1:D1", "E1:G1", "H1:J1"],
         "cells": {"B1": "Mo", "E2": "1", "A4": "Adams", "B4": "1A", "F4": "1A"},
         "styles": {"E1": {"bold": true, "fill": "FFE7E6E6", "border": ["medium", "thin", "thin", "thin"]},
                    "F4": {"bold": false, "fill": null, "border": )J" +
                                                  thin + R"J(}},
         "print": {"orientation": "landscape", "fitToPage": true, "fitToHeight": 0, "frozen": "B3",
                   "titleRows": "$1:$2", "titleCols": "$A:$A", "header": [null, "All teachers", null], )J" +
                                                  footer + R"J(}},
        {"name": "Adams", "merged": ["A1:D1"],
         "cells": {"A1": "Adams", "A2": "Groups", "B3": "Mo", "A4": "1", "B4": "1A", "A7": null,
                   "A8": "Subjects", "B10": "Math", "A14": "Rooms", "D18": "R3"},
         "styles": {"A1": {"bold": true, "size": 15}, "A2": {"bold": true, "border": [null, null, null, null]},
                    "B3": {"bold": true, "fill": "FFE7E6E6", "border": )J" +
                                                  thin + R"J(},
                    "D4": {"bold": false, "fill": null, "wrap": true, "horizontal": "center", "border": )J" +
                                                  thin + R"J(}},
         "widths": {"A": 9.75, "B": 5.75},
         "print": {"orientation": "landscape", "fitToPage": true, "fitToWidth": null, "fitToHeight": null,
                   "centered": [true, true], "titleRows": null, "header": [null, "Adams", null], )J" +
                                                  footer + R"J(}}]})J"),
              "OK");
    EXPECT_EQ(support::checkPackage(students, R"J({"sheets_count": 4, "sheets": [
        {"name": "1A", "cells": {"A1": "1A", "A2": "Subjects", "A8": "Teachers", "A14": "Rooms"}}]})J"),
              "OK");
}

// Without the print layout the workbook keeps its cells and its styles.
TEST_F(ExportLayoutTest, PrintReadyOffLeavesTheDefaultLayout)
{
    table.setPrintReady(true, "school.xml");
    table.setPrintReady(false);
    support::WorkbookRead book = exported(true);
    EXPECT_EQ(book.header["STYLES"], "2");
    EXPECT_EQ(book.grids[1], threeBlocks("hour\\day\tX\tY\n", "", "", ""));
}

}  // namespace
