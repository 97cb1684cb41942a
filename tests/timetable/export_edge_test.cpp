// Exports that cannot or must not save: nothing is written, no part file is
// left behind, and an existing file stays as it was.

#include "timetableTestSupport.h"
#include "timetable/ExcelWriteWrapper.h"

namespace {

// Both exports to `file` in a new folder fail and leave that folder and
// TMPDIR empty.
void expectNothingSaved(timeTable& table, const std::string& file = "book.xlsx")
{
    std::string folder = newFolder();
    EXPECT_FALSE(table.teacherToExcel(folder + file));
    EXPECT_FALSE(table.studentsToExcel(folder + file));
    EXPECT_EQ(support::entryCount(folder), 0u);
    EXPECT_EQ(temporaryFiles(), 0u);
}

TEST(ExportEdgeTest, NothingToExportOrAFailingStepSavesNothing)
{
    timeTable empty, noHours, goodButUnwritable;
    expectNothingSaved(empty);
    readInto(
        noHours,
        "<Teachers_Timetable><T name='A'><D name='Mon'/></T><T name='B'/></Teachers_Timetable>");
    expectNothingSaved(noHours);

    readInto(goodButUnwritable, "<Teachers_Timetable><T name='A'><D name='Mon'><H name='1st'>"
                                "<Students name='1A'/></H></D></T></Teachers_Timetable>");
    expectNothingSaved(goodButUnwritable, "missing/book.xlsx");
    expectNothingSaved(goodButUnwritable, "");

    // Nothing to export leaves a file already at the destination as it was.
    std::string kept = support::writeFile(newFolder() + "s.xlsx", "keep me");
    EXPECT_FALSE(empty.studentsToExcel(kept));
    EXPECT_EQ(support::readFile(kept), "keep me");

    EXPECT_EQ(temporaryFiles(), 0u);
}

// Progress names every sheet in order; a cancel at any sheet, or while the
// package is saved, leaves an existing file and TMPDIR as they were.
TEST(ExportEdgeTest, ProgressReportsEverySheetAndCancelLeavesNothing)
{
    timeTable table;
    readInto(table, "<Teachers_Timetable><T name='B'><D name='Mon'><H name='1'><Students "
                    "name='1A'/></H></D></T><T name='A'><D name='Mon'><H name='1'><Students "
                    "name='2B'/></H></D></T></Teachers_Timetable>");
    exportProgress progress;
    names reports;
    uint64_t cancelAt = 99;
    progress.sheetStarted = [&](uint64_t done, uint64_t total, const std::string& title) {
        reports.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + title);
        if (done == cancelAt)
            progress.cancelled = true;
    };
    table.setExportProgress(&progress);
    const std::string folder = newFolder();
    ASSERT_TRUE(table.teacherToExcel(folder + "t.xlsx"));
    EXPECT_EQ(reports, (names{"0/3 All teachers", "1/3 A", "2/3 B", "3/3 "}));

    const std::string kept = support::writeFile(folder + "kept.xlsx", "keep me");
    for (cancelAt = 0; cancelAt <= 3; ++cancelAt) {
        progress.cancelled = false;
        reports.clear();
        EXPECT_FALSE(table.studentsToExcel(kept)) << cancelAt;
        EXPECT_EQ(reports.size(), cancelAt + 1);
        EXPECT_EQ(support::readFile(kept), "keep me");
        EXPECT_EQ(temporaryFiles(), 0u);
    }
    EXPECT_EQ(support::entryCount(folder), 2u);
}

TEST(ExcelWriteWrapperTest, WritesNeedAWorksheetAndAWorkbookIsSavedOnce)
{
    std::string path = newFolder() + "book.xlsx";
    ExcelWriteWrapper facade;
    BaseMatrix<std::string> cell(1, 1);
    EXPECT_FALSE(facade.beginRow());
    EXPECT_FALSE(facade.addCell("x"));
    EXPECT_FALSE(facade.endRow());
    EXPECT_FALSE(facade.insertRows(2));
    EXPECT_FALSE(facade.saveTimeTable(cell));
    EXPECT_FALSE(facade.Save(path));
    EXPECT_EQ(facade.lastStatus().Text(), "no worksheet to write to");
    EXPECT_TRUE(facade.insertRows(0));
    EXPECT_TRUE(facade.saveTimeTable(BaseMatrix<std::string>()));
    int32_t style = facade.addStyle("DejaVu Serif", 14);
    EXPECT_GE(style, 0);
    EXPECT_EQ(facade.addStyle("DejaVu Serif", 14), style);

    ASSERT_TRUE(facade.addWorksheet("Sheet"));
    EXPECT_TRUE(facade.saveTimeTable(cell));
    EXPECT_EQ(temporaryFiles(), 1u);
    EXPECT_TRUE(facade.Save(path));
    EXPECT_FALSE(facade.Save(path));
    EXPECT_EQ(facade.lastStatus().Text(), "the workbook was saved already");
    EXPECT_EQ(temporaryFiles(), 0u);

    // A cancelled save leaves the file it would replace.
    ExcelWriteWrapper cancelled;
    const std::atomic<bool> cancel{true};
    cancelled.setCancelFlag(&cancel);
    ASSERT_TRUE(cancelled.addWorksheet("Sheet"));
    ASSERT_TRUE(cancelled.saveTimeTable(cell));
    support::writeFile(path, "keep me");
    EXPECT_FALSE(cancelled.Save(path));
    EXPECT_EQ(cancelled.lastStatus().kind, SimpleXlsx::STATUS_CANCELLED);
    EXPECT_EQ(support::readFile(path), "keep me");
    EXPECT_EQ(temporaryFiles(), 0u);
}

TEST(ExcelWriteWrapperTest, ACellBeyondTheLastColumnSaysSo)
{
    ExcelWriteWrapper facade;
    ASSERT_TRUE(facade.addWorksheet("Wide") && facade.beginRow());
    for (uint32_t column = 0; column < SimpleXlsx::maxColumns; ++column)
        ASSERT_TRUE(facade.addCell("x"));
    EXPECT_FALSE(facade.addCell("x"));
    EXPECT_EQ(facade.lastStatus().Text(),
              "too large for a sheet: more than 16384 columns on the sheet Wide");
    EXPECT_EQ(facade.lastStatus().kind, SimpleXlsx::STATUS_TOO_LARGE);
}

}  // namespace
