// Page layout: every element in the schema's place, byte for byte, and as an
// independent reader sees it.

#include "xlsx/Workbook.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/PackageVocabulary.h"

#include "XlsxTest.h"

#include <cmath>

using namespace SimpleXlsx;
using PageLayout = xt::Package;

TEST_F(PageLayout, EveryElementInSchemaOrderByteForByte)
{
    PackageWorksheet sheet(1, scratch.path());
    sheet.SetTitle("It's_x0041_");
    sheet.SetColumnWidths({ColumnWidth(0, 0, 20.5f)});
    sheet.FreezePanes(1, 2);
    sheet.SetPageOrientation(PAGE_LANDSCAPE);
    sheet.SetPaperSize(PAPER_LETTER);
    sheet.SetFitToPages(1, 0);
    EXPECT_TRUE(sheet.SetPageMargins({0.25, 0.25, 0.5, 0.5, 0.2, 0.2}));
    sheet.SetCenterOnPage(true, false);
    sheet.SetPrintGridlines(true);
    EXPECT_TRUE(sheet.SetHeader(HeaderFooterSections(
        "", HeaderFooterFont("Arial", "Bold", 14) + HeaderFooterLiteral("A & <B>"), "")));
    EXPECT_TRUE(sheet.SetFooter(HeaderFooterSections("&F", "", "&P / &N")));
    EXPECT_TRUE(sheet.SetPrintTitleRows(1, 2));
    EXPECT_TRUE(sheet.SetPrintTitleColumns(0, 0));
    sheet.BeginRow(30);
    sheet.AddCell(CellDataInt(1));
    sheet.MergeCells(CellCoord(1, 0), CellCoord(1, 2));
    ASSERT_TRUE(sheet.Save());
    EXPECT_EQ(sheet.HeadOfPart() + support::readFile(scratch.file("xl/worksheets/sheet1.xml")),
              xt::Reference("page-layout-sheet.xml"));
    EXPECT_EQ(sheet.GetPrintTitles(), "'It''s_x005F_x0041_'!$A:$A,'It''s_x005F_x0041_'!$1:$2");
}

TEST_F(PageLayout, RefusedSettingsChangeNothing)
{
    PackageWorksheet sheet(1, scratch.path());
    EXPECT_FALSE(sheet.SetPageMargins({0.7, -0.1, 0.75, 0.75, 0.3, 0.3}));
    EXPECT_FALSE(sheet.SetPageMargins({0.7, 0.7, 0.75, 0.75, 0.3, std::nan("")}));
    EXPECT_FALSE(sheet.SetHeader(std::string(256, 'x')));
    EXPECT_TRUE(sheet.SetFooter(std::string(255, 'x')));
    EXPECT_FALSE(sheet.SetPrintTitleRows(3, 2));
    EXPECT_FALSE(sheet.SetPrintTitleRows(0, 2));
    EXPECT_FALSE(sheet.SetPrintTitleColumns(0, maxColumns));
    EXPECT_EQ(sheet.GetPrintTitles(), "");
    ASSERT_TRUE(sheet.Save());
    EXPECT_EQ(support::readFile(scratch.file("xl/worksheets/sheet1.xml")),
              xt::Reference("default-page-sheet.xml"));
}

// Print titles are local defined names of the workbook, numbered by the
// sheet's position; the reader sees every setting back.
TEST_F(PageLayout, IndependentReaderSeesPageSetupTitlesWidthsAndWrap)
{
    {
        CWorkbook book;
        Style wrapped;
        wrapped.wrapText = true;
        wrapped.border.left.style = BORDER_THIN;
        const int32_t wrap = int32_t(book.GetStyleList().Add(wrapped));
        CWorksheet& plain = book.AddSheet("Plain");
        plain.AddRow(std::vector<CellDataStr>{"x"});
        CWorksheet& week = book.AddSheet("Week & Co");
        week.SetColumnWidths({ColumnWidth(0, 0, 30.0f), ColumnWidth(1, 2, 12.0f)});
        week.FreezePanes(1, 2);
        week.SetPageOrientation(PAGE_LANDSCAPE);
        week.SetFitToPages(1, 0);
        week.SetCenterOnPage(true, true);
        week.SetHeader(HeaderFooterSections("", HeaderFooterLiteral("Week & Co"), ""));
        week.SetFooter(HeaderFooterSections("school.xml", "", "&D"));
        week.SetPrintTitleRows(1, 2);
        week.SetPrintTitleColumns(0, 0);
        week.AddRow(std::vector<CellDataStr>{"Mon"});
        week.AddRow(std::vector<CellDataStr>{CellDataStr("one\ntwo", wrap)}, 0, 32);
        week.MergeCells(CellCoord(1, 0), CellCoord(1, 2));
        Save(book);
    }
    EXPECT_EQ(support::checkPackage(path, xt::Reference("print-layout.json")), "OK");
    EXPECT_EQ(Part("xl/workbook.xml"), xt::Reference("print-layout-workbook.xml"));
}
