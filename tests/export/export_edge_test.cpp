// Exports that cannot or must not save: nothing is written, no part file is
// left behind, and an existing file stays as it was.

#include "exportTestSupport.h"
#include "timetable/ExcelWriteWrapper.h"

namespace {

// Both exports to `file` in a new folder fail and leave that folder and
// TMPDIR empty.
void expectNothingSaved(timeTable& table, const std::string& file = "book.xlsx")
{
    std::string folder = newFolder();
    EXPECT_FALSE(table.teacherToExcel(folder + file));
    EXPECT_FALSE(table.studentsToExcel(folder + file));
    EXPECT_EQ(entryCount(folder), 0u);
    EXPECT_EQ(temporaryFiles(), 0u);
}

TEST(ExportEdgeTest, NothingToExportOrAFailingStepSavesNothing)
{
    const std::string oneHour =
        "<T name='A'><D name='Mon'><H name='1st'><Students name='1A'/></H></D></T>";
    timeTable empty, otherRoot, noHours, tooWide, goodButUnwritable, duties;
    expectNothingSaved(empty);
    loadXml(otherRoot, "<teachers_timetable>" + oneHour + "</teachers_timetable>");
    expectNothingSaved(otherRoot);
    loadXml(
        noHours,
        "<Teachers_Timetable><T name='A'><D name='Mon'/></T><T name='B'/></Teachers_Timetable>");
    expectNothingSaved(noHours);

    // The summary of a week one column wider than a sheet cannot be written.
    teacher* member = tooWide.insertTeacher("A");
    for (uint32_t day = 0; day < SimpleXlsx::maxColumns; ++day)
        member->addDay("d")->addhour("h")->students = tooWide.insertStudents("1A");
    member->fixSize();
    expectNothingSaved(tooWide);

    loadXml(goodButUnwritable, "<Teachers_Timetable>" + oneHour + "</Teachers_Timetable>");
    expectNothingSaved(goodButUnwritable, "missing/book.xlsx");
    expectNothingSaved(goodButUnwritable, "");

    // Nothing to export leaves a file already at the destination as it was.
    std::string kept = writeFile(newFolder() + "s.xlsx", "keep me");
    EXPECT_FALSE(empty.studentsToExcel(kept));
    EXPECT_EQ(readWhole(kept), "keep me");

    // Hours without a group give a teachers' workbook and no groups' one.
    loadXml(duties, "<Teachers_Timetable><T name='A'><D name='Mon'><H name='1st'><Subject "
                    "name='Duty'/></H></D></T>"
                    "</Teachers_Timetable>");
    EXPECT_TRUE(duties.teacherToExcel(kept));
    EXPECT_FALSE(duties.studentsToExcel(kept + ".2"));
    EXPECT_EQ(entryCount(kept.substr(0, kept.rfind('/'))), 1u);
    EXPECT_EQ(temporaryFiles(), 0u);
}

TEST(ExcelWriteWrapperTest, WritesNeedAWorksheetAndAWorkbookIsSavedOnce)
{
    std::string path = newFolder() + "book.xlsx";
    ExcelWriteWrapper facade;
    BaseMatrix<std::string> cell(1, 1);
    EXPECT_FALSE(facade.beginRow() || facade.addCell("x") || facade.endRow() ||
                 facade.insertRows(2) || facade.saveTimeTable(cell) || facade.Save(path));
    EXPECT_TRUE(facade.insertRows(0) && facade.saveTimeTable(BaseMatrix<std::string>()));
    int32_t style = facade.addStyle("DejaVu Serif", 14);
    EXPECT_GE(style, 0);
    EXPECT_EQ(facade.addStyle("DejaVu Serif", 14), style);

    ASSERT_TRUE(facade.addWorksheet("Sheet"));
    EXPECT_TRUE(facade.saveTimeTable(cell));
    EXPECT_EQ(temporaryFiles(), 1u);
    EXPECT_TRUE(facade.Save(path));
    EXPECT_FALSE(facade.Save(path));
    EXPECT_EQ(temporaryFiles(), 0u);
}

}  // namespace
