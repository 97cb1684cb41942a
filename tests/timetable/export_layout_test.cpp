// The teachers' and the student groups' workbooks of a small hand-made
// timetable, read back cell by cell.

#include "timetableTestSupport.h"

namespace {

// small_school.xml: Adams has 3 days of 3 hours and a duty without a group
// on Tu 1. Brown has fewer days and hours, teaches 1A where Adams does (day
// 1, hour 1) and sorts later. Aaron sorts first and has no hour; Zed has no
// day. The summaries take their headings from the largest week (Adams; 1A's
// week takes Adams' headings too).
class ExportLayoutTest : public testing::Test
{
protected:
    timeTable table;

    void SetUp() override { readInto(table, dataFile("small_school.xml")); }

    support::WorkbookRead exported(bool teachers)
    {
        std::string path = newFolder() + "book.xlsx";
        EXPECT_TRUE(teachers ? table.teacherToExcel(path) : table.studentsToExcel(path));
        return support::readWorkbook(path);
    }
};

// Every sheet of both workbooks, cell by cell: the students' one merges
// the teachers' weeks and keeps both lessons of a clash.
TEST_F(ExportLayoutTest, BothWorkbooksCellByCell)
{
    EXPECT_EQ(sheetsText(exported(true)),
              support::testFile("timetable/reference/small-school-teachers.txt"));
    EXPECT_EQ(sheetsText(exported(false)),
              support::testFile("timetable/reference/small-school-students.txt"));
}

// A chosen font, even the default font by name, styles every cell of every
// sheet, centred. (Without one no style is added: the CLI's workbooks session.)
TEST_F(ExportLayoutTest, TheChosenFontStylesEveryCell)
{
    struct fontCase
    {
        const char* font;
        int size;
        std::string styles, fonts;
    };
    for (const fontCase& c : {fontCase{"DejaVu Serif", 14, "3", "DejaVu Serif 14 center center"},
                              fontCase{"Calibri", 11, "3", "Calibri 11 center center"}}) {
        table.setFontAndSize(c.font, c.size);
        for (bool teachers : {true, false}) {
            support::WorkbookRead book = exported(teachers);
            EXPECT_EQ(book.header["STYLES"], c.styles);
            EXPECT_EQ(book.header["FONTS"], c.fonts);
        }
    }
}

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
    std::string expected = support::testFile("timetable/reference/print-ready-teachers.json");
    for (size_t at = expected.find("@TODAY@"); at != std::string::npos;
         at = expected.find("@TODAY@"))
        expected.replace(at, 7, today());
    EXPECT_EQ(support::checkPackage(teachers, expected), "OK");
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
    EXPECT_EQ(sheetsText(book), support::testFile("timetable/reference/small-school-teachers.txt"));
}

}  // namespace
