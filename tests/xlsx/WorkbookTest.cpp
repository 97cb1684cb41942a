#include "xlsx/Workbook.h"

#include "XlsxTest.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>

using namespace SimpleXlsx;
using xt::fs::exists;

namespace {

void FillSmallSheet(CWorksheet& sheet)
{
    sheet.AddRow(std::vector<CellDataStr>{"Mon", "=1+1"});
}

mode_t Mode(const std::string& path)
{
    struct stat info
    {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

using Workbook = xt::Package;

}  // namespace

TEST_F(Workbook, WholeWorkbookReadsBackInAnIndependentReader)
{
    {
        CWorkbook book;
        Style centred, filled;
        centred.font.name = "Arial";
        centred.font.size = 14;
        centred.font.attributes = FONT_BOLD;
        centred.horizAlign = ALIGN_H_CENTER;
        centred.vertAlign = ALIGN_V_CENTER;
        filled.fill.patternType = PATTERN_SOLID;
        filled.fill.fgColor = "FFFFFF00";
        filled.numFormat.formatString = "0.000";
        const int32_t title = int32_t(book.GetStyleList().Add(centred)),
                      yellow = int32_t(book.GetStyleList().Add(filled));

        CWorksheet& summary = book.AddSheet("Summary & <totals>", 1, 1, {ColumnWidth(0, 0, 20.0f)});
        summary.BeginRow(24);
        summary.AddCell(CellDataStr("Week \"A\" & <B>", title));
        summary.MergeCells(CellCoord(1, 0), CellCoord(1, 3));
        summary.AddRow(std::vector<CellDataStr>{"Mon", "Tue", "Mon"});
        summary.BeginRow();
        summary.AddCell(CellDataInt(-7));
        summary.AddCell(CellDataUInt(4000000000u));
        summary.AddCell(CellDataDbl(1234.25, yellow));
        summary.AddCell(CellDataFlt(0.5f));
        summary.AddCell(CellDataStr("=A3+B3"));
        summary.AddTextCell("=not a formula");
        CWorksheet* second = book.AddSheetPtr("a/b");
        ASSERT_NE(second, nullptr);
        second->AddRow(std::vector<CellDataDbl>{1.5, 2.5}, 1);
        second->AddRow(
            std::vector<CellDataStr>{"=SUM(B1:C1)", "Tue", "\xC3\x89t\xC3\xA9 \xE2\x82\xAC"});
        CWorksheet& third =
            book.AddSheet("summary & <TOTALS>", {ColumnWidth(0, 2, 9.0f)});  // a clash
        third.AddRow(std::vector<CellDataStr>{"ctrl\x01"
                                              "char"});
        book.AddSheet("", 0, 2);
        Save(book);
        EXPECT_FALSE(book.Save(scratch.file("again.xlsx")));  // a workbook is saved once
    }
    EXPECT_EQ(scratch.temporaryFiles(), 0u);
    EXPECT_FALSE(exists(scratch.file("again.xlsx")));
    EXPECT_EQ(support::zipEntryNames(path),
              xt::FixedEntriesAnd({"xl/calcChain.xml", "xl/sharedStrings.xml",
                                   "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml",
                                   "xl/worksheets/sheet3.xml", "xl/worksheets/sheet4.xml"}));
    // The control character travels as _x0001_, which this reader shows as it is.
    EXPECT_EQ(support::checkPackage(path, xt::Reference("whole-workbook.json")), "OK");
}

TEST_F(Workbook, PrivateTemporaryFolderFromFirstSheetToSaveOrDestruction)
{
    {
        CWorkbook book;
        EXPECT_TRUE(book.GetTempPath().empty());
        FillSmallSheet(book.AddSheet("One"));
        EXPECT_EQ(book.GetTempPath().rfind(scratch.tmp() + "/xlsx_", 0), 0u) << book.GetTempPath();
        EXPECT_EQ(Mode(book.GetTempPath()), 0700u);
        ASSERT_TRUE(book.Save(scratch.file("one.xlsx")));
        EXPECT_EQ(scratch.temporaryFiles(), 0u);
    }
    {
        CWorkbook unsaved;
        FillSmallSheet(unsaved.AddSheet("One"));
        EXPECT_NE(scratch.temporaryFiles(), 0u);
    }
    EXPECT_EQ(scratch.temporaryFiles(), 0u);
    support::ScopedEnv noTmpdir("TMPDIR", nullptr);
    CWorkbook book;
    FillSmallSheet(book.AddSheet("One"));
    const std::string temp = book.GetTempPath();
    EXPECT_EQ(temp.rfind("/tmp/xlsx_", 0), 0u) << temp;
    ASSERT_TRUE(book.Save(scratch.file("two.xlsx")));
    EXPECT_FALSE(exists(temp));
}

TEST_F(Workbook, MissingTmpdirFolderFailsCleanly)
{
    support::ScratchFolder outside;
    support::ScopedEnv tmpdir("TMPDIR", outside.file("missing").c_str());
    CWorkbook book;
    const std::string reason = "cannot make a temporary folder in " + outside.file("missing") +
                               ": No such file or directory";
    EXPECT_EQ(book.AddSheetPtr("One"), nullptr);
    EXPECT_EQ(book.LastStatus().Text(), reason);
    CWorksheet& detached = book.AddSheet("Two");
    EXPECT_FALSE(detached.IsOk());
    EXPECT_FALSE(detached.BeginRow());
    EXPECT_FALSE(book.Save(outside.file("out.xlsx")));
    EXPECT_EQ(book.LastStatus().Text(), reason) << "the sheet's reason fails the save";
    EXPECT_FALSE(book.Save(outside.file("out.xlsx")));
    EXPECT_EQ(book.LastStatus().kind, STATUS_INVALID_USE);
    EXPECT_EQ(support::entryCount(outside.path()), 1u);  // its own "tmp" only
}

// Tests run as root, who may write almost anywhere: these destinations fail
// for reasons that hold for root as well.
TEST_F(Workbook, FailedSavesLeaveNoPartialFileAndExistingFilesUntouched)
{
    std::ofstream(scratch.file("plain")) << "x";
    std::ofstream(scratch.file("precious.xlsx")) << "precious";
    // Each destination with the start of the system's reason its failure gives. A missing
    // folder, a folder as the destination and an over-long name are among the export's faults.
    const std::pair<std::string, std::string> destinations[] = {
        {scratch.file("plain/out.xlsx"), "Not a directory"},  // a path through a regular file
        {"/proc/horatab-out.xlsx", ""},       // a file system that takes no new files
        {scratch.file("precious.xlsx"), ""},  // a part disappears before packing
    };
    for (const auto& [destination, reason] : destinations) {
        CWorkbook book;
        FillSmallSheet(book.AddSheet("One"));
        if (destination == scratch.file("precious.xlsx")) {
            // Large enough to be written to its file, which then goes.
            CWorksheet& large = book.AddSheet("Large");
            for (int row = 0; row < 100000; ++row)
                large.AddRow(std::vector<CellDataInt>{row});
            ASSERT_TRUE(xt::fs::remove(book.GetTempPath() + "/xl/worksheets/sheet2.xml"));
        }
        EXPECT_FALSE(book.Save(destination)) << destination.substr(0, 80);
        const std::string text = destination == scratch.file("precious.xlsx")
                                     ? "cannot read "
                                     : "cannot write the file " + destination + ": " + reason;
        EXPECT_EQ(book.LastStatus().Text().substr(0, text.size()), text);
        EXPECT_EQ(scratch.temporaryFiles(), 0u);
    }
    EXPECT_FALSE(exists("/proc/horatab-out.xlsx"));
    EXPECT_EQ(support::readFile(scratch.file("precious.xlsx")), "precious");
    EXPECT_EQ(std::distance(xt::fs::directory_iterator(scratch.path()), {}),
              3);  // "plain", "precious.xlsx", "tmp"

    CWorkbook book;  // a successful save replaces the file, with the mode of a new file
    FillSmallSheet(book.AddSheet("One"));
    ASSERT_TRUE(book.Save(scratch.file("precious.xlsx")));
    EXPECT_EQ(support::checkPackage(scratch.file("precious.xlsx"),
                                    R"J({"sheets": [{"name": "One", "cells": {"A1": "Mon"}}]})J"),
              "OK");
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(Mode(scratch.file("precious.xlsx")), 0666u & ~mask);
}

TEST_F(Workbook, LongTemporaryAndDestinationPathsWork)
{
    support::ScratchFolder outside;
    std::string deep = outside.path();
    for (char c : {'a', 'b', 'c', 'd'})
        deep += "/" + std::string(90, c);
    xt::fs::create_directories(deep);
    support::ScopedEnv tmpdir("TMPDIR", deep.c_str());
    for (const std::string& name :
         {std::string(200, 'w'), std::string(250, 'v')}) {  // the last near NAME_MAX
        CWorkbook book;
        FillSmallSheet(book.AddSheet("One"));
        ASSERT_TRUE(book.Save(deep + "/" + name + ".xlsx"));
        EXPECT_EQ(support::zipEntryNames(deep + "/" + name + ".xlsx").size(), 11u);
    }
    size_t folders = 0;
    for (const auto& entry : xt::fs::directory_iterator(deep))
        folders += entry.is_directory();
    EXPECT_EQ(folders, 0u);  // no temporary folder left
}

TEST_F(Workbook, TwoWorkbooksAliveAtOnceKeepApart)
{
    CWorkbook first, second;
    first.AddSheet("First").AddRow(std::vector<CellDataStr>{"one"});
    second.AddSheet("Second").AddRow(std::vector<CellDataStr>{"two", "three"});
    first.AddSheet("More").AddRow(std::vector<CellDataStr>{"three"});
    EXPECT_NE(first.GetTempPath(), second.GetTempPath());
    ASSERT_TRUE(second.Save(scratch.file("second.xlsx")));
    ASSERT_TRUE(first.Save(scratch.file("first.xlsx")));
    EXPECT_EQ(support::checkPackage(scratch.file("first.xlsx"),
                                    R"J({"sheets": [{"name": "First", "cells": {"A1": "one"}},
        {"name": "More", "cells": {"A1": "three"}}]})J"),
              "OK");
    EXPECT_EQ(support::zipEntry(scratch.file("second.xlsx"), "xl/sharedStrings.xml"),
              xt::Reference("two-workbooks-shared-strings.xml"));
    EXPECT_EQ(scratch.temporaryFiles(), 0u);
}

// Far more sheets than the process may keep files open, with rows going back
// to an earlier sheet after later ones were added, and the end and the head
// of two earlier sheets changed then.
TEST_F(Workbook, ManyMoreSheetsThanOpenFilesSaveCompletely)
{
    path = scratch.file("many.xlsx");
    rlimit original{}, low{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
    low = {48, original.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    bool saved = false;
    {
        CWorkbook book;
        CWorksheet* first = book.AddSheetPtr("First");
        bool allAdded =
            first != nullptr && first->BeginRow() && first->AddCell(CellDataStr("before"));
        std::vector<CWorksheet*> sheets;
        for (int i = 2; allAdded && i <= 300; ++i) {
            sheets.push_back(book.AddSheetPtr("Sheet " + std::to_string(i)));
            allAdded =
                sheets.back() != nullptr && sheets.back()->AddRow(std::vector<CellDataInt>{i});
        }
        ASSERT_TRUE(allAdded && first->AddCell(CellDataStr("after")));
        EXPECT_TRUE(sheets[0]->MergeCells(CellCoord(1, 0), CellCoord(1, 1)));
        sheets[1]->SetFitToPages(1, 1);
        saved = book.Save(path);
    }
    setrlimit(RLIMIT_NOFILE, &original);
    ASSERT_TRUE(saved);
    EXPECT_EQ(support::zipEntryNames(path).size(), 8u + 1u + 300u);
    EXPECT_EQ(support::checkPackage(path, R"J({"sheets_count": 300, "sheets": [
        {"name": "First", "cells": {"A1": "before", "B1": "after"}},
        {"name": "Sheet 2", "cells": {"A1": 2}}, {"name": "Sheet 300", "cells": {"A1": 300}}]})J"),
              "OK");
    EXPECT_TRUE(xt::Has(Part("xl/worksheets/sheet2.xml"), "<mergeCell ref=\"A1:B1\"/>"));
    EXPECT_TRUE(xt::Has(Part("xl/worksheets/sheet3.xml"), "<pageSetUpPr fitToPage=\"1\"/>"));
    EXPECT_EQ(scratch.temporaryFiles(), 0u);
}

// A sheet is handed over to be deflated ahead when the next one is added.
// Whatever changes its frame afterwards (layout, printing, merged cells,
// comments) still reaches its part: it is saved as if it had been changed
// before the next sheet came.
TEST_F(Workbook, LayoutChangedAfterTheNextSheetIsAddedIsSaved)
{
    const std::vector<std::function<void(CWorksheet&)>> changes = {
        [](CWorksheet& s) { s.SetColumnWidths({ColumnWidth(0, 1, 20.5f)}); },
        [](CWorksheet& s) { s.FreezePanes(1, 1); },
        [](CWorksheet& s) { s.SetPageOrientation(PAGE_LANDSCAPE); },
        [](CWorksheet& s) { s.SetPaperSize(PAPER_A3); },
        [](CWorksheet& s) { s.SetFitToPages(1, 0); },
        [](CWorksheet& s) {
            s.SetPageMargins(PageMargins{1, 1, 1, 1, 0.5, 0.5});
        },
        [](CWorksheet& s) { s.SetCenterOnPage(true, false); },
        [](CWorksheet& s) { s.SetPrintGridlines(true); },
        [](CWorksheet& s) { s.SetHeader("&CTimetable"); },
        [](CWorksheet& s) { s.SetFooter("&P"); },
        [](CWorksheet& s) { s.MergeCells(CellCoord(1, 0), CellCoord(1, 1)); },
        [](CWorksheet& s) { s.AddComment(CellCoord(1, 0), "note"); },
    };
    const auto firstSheet = [this](const std::function<void(CWorksheet&)>& change,
                                   bool changeAfterNext) {
        CWorkbook book;
        CWorksheet& sheet = book.AddSheet("First");
        FillSmallSheet(sheet);
        if (change && !changeAfterNext)
            change(sheet);
        FillSmallSheet(book.AddSheet("Second"));
        if (change && changeAfterNext)
            change(sheet);
        Save(book);
        return Part("xl/worksheets/sheet1.xml");
    };
    const std::string unchanged = firstSheet(nullptr, false);
    for (size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE("change " + std::to_string(i));
        const std::string changedBefore = firstSheet(changes[i], false);
        EXPECT_NE(changedBefore, unchanged);
        EXPECT_EQ(firstSheet(changes[i], true), changedBefore);
    }
}
