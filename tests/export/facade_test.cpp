// ExcelWriteWrapper: rows, matrices, the one style, saving; each workbook is
// read back with the independent reader.

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exportTestSupport.h"
#include "timetable/ExcelWriteWrapper.h"

namespace {

BaseMatrix<std::string> matrixOf(const std::vector<std::vector<std::string>>& rows)
{
    BaseMatrix<std::string> matrix(rows.size(), rows.empty() ? 0 : rows.front().size());
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            matrix(uint32_t(r), uint32_t(c)) = rows[r][c];
    return matrix;
}

TEST(ExcelWriteWrapperTest, WithoutWorksheetEveryWriteAndSaveFails)
{
    std::string path = makeTestFolder() + "never.xlsx";
    ExcelWriteWrapper facade;
    EXPECT_FALSE(facade.beginRow());
    EXPECT_FALSE(facade.addCell("x"));
    EXPECT_FALSE(facade.endRow());
    EXPECT_FALSE(facade.insertRows(2));
    EXPECT_FALSE(facade.saveTimeTable(matrixOf({{"a"}})));
    EXPECT_FALSE(facade.Save(path));
    EXPECT_FALSE(fileExists(path));

    // Nothing to write needs no worksheet.
    EXPECT_TRUE(facade.insertRows(0));
    EXPECT_TRUE(facade.insertRows(-3));
    EXPECT_TRUE(facade.saveTimeTable(BaseMatrix<std::string>()));
}

TEST(ExcelWriteWrapperTest, MatricesGoBelowEachOtherWithEmptyRowsBetween)
{
    std::string path = makeTestFolder() + "rows.xlsx";
    {
        ExcelWriteWrapper facade;
        ASSERT_TRUE(facade.addWorksheet("Rows"));
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"a", "b"}, {"c", "d"}, {"e", "f"}})));
        ASSERT_TRUE(facade.insertRows(2));
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"1", "2", "3"}, {"4", "", "6"}})));
        ASSERT_TRUE(facade.beginRow());
        ASSERT_TRUE(facade.addCell(""));
        ASSERT_TRUE(facade.addCell("last"));
        ASSERT_TRUE(facade.endRow());
        ASSERT_TRUE(facade.Save(path));
    }
    workbookRead book = readWorkbook(path);
    ASSERT_TRUE(book.ok) << book.problem;
    ASSERT_EQ(book.names(), std::vector<std::string>{"Rows"});
    const sheetRead& sheet = book.sheets[0];
    // Text that looks like a number stays text.
    expectExactCells(sheet, {{"A1", "a"}, {"B1", "b"}, {"A2", "c"}, {"B2", "d"}, {"A3", "e"}, {"B3", "f"},
                             {"A6", "1"}, {"B6", "2"}, {"C6", "3"}, {"A7", "4"}, {"B7", ""}, {"C7", "6"},
                             {"A8", ""}, {"B8", "last"}});
    EXPECT_EQ(sheet.rows, 8);
    EXPECT_EQ(sheet.columns, 3);
}

TEST(ExcelWriteWrapperTest, StyleIsRegisteredOnceAndAppliesToLaterCellsOfEverySheet)
{
    std::string path = makeTestFolder() + "style.xlsx";
    {
        ExcelWriteWrapper facade;
        EXPECT_EQ(facade.addStyle("DejaVu Serif", 14), 2);
        EXPECT_EQ(facade.addStyle("DejaVu Serif", 14), 2);
        ASSERT_TRUE(facade.addWorksheet("First"));
        facade.applyStyle(-1);
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"plain"}})));
        facade.applyStyle(2);
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"styled"}})));
        ASSERT_TRUE(facade.addWorksheet("Second"));
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"styled too"}})));
        facade.applyStyle(-1);
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"still styled"}})));
        ASSERT_TRUE(facade.Save(path));
    }
    workbookRead book = readWorkbook(path);
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.cellStyles, 3);
    ASSERT_EQ(book.sheets.size(), 2u);

    const cellRead& plain = book.sheets[0].cells.at("A1");
    EXPECT_EQ(plain.font, "Calibri");
    EXPECT_EQ(plain.size, "11");
    EXPECT_EQ(plain.horizontal, "");
    for (const cellRead* styled :
         {&book.sheets[0].cells.at("A2"), &book.sheets[1].cells.at("A1"), &book.sheets[1].cells.at("A2")}) {
        EXPECT_EQ(styled->font, "DejaVu Serif");
        EXPECT_EQ(styled->size, "14");
        EXPECT_EQ(styled->horizontal, "center");
        EXPECT_EQ(styled->vertical, "center");
    }
}

TEST(ExcelWriteWrapperTest, TextBeginningWithEqualsIsWrittenAsText)
{
    std::string path = makeTestFolder() + "text.xlsx";
    const std::string link = "=HYPERLINK(\"http://example.invalid\",\"x\")";
    {
        ExcelWriteWrapper facade;
        ASSERT_TRUE(facade.addWorksheet("Text"));
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"=1+1", link, "="}})));
        ASSERT_TRUE(facade.Save(path));
    }
    workbookRead book = readWorkbook(path);
    ASSERT_TRUE(book.ok) << book.problem;
    expectExactCells(book.sheets.at(0), {{"A1", "=1+1"}, {"B1", link}, {"C1", "="}});
}

TEST(ExcelWriteWrapperTest, CellPastTheLastColumnIsReportedAsFailure)
{
    ExcelWriteWrapper facade;
    ASSERT_TRUE(facade.addWorksheet("Wide"));
    ASSERT_TRUE(facade.beginRow());
    bool allWritten = true;
    for (uint32_t column = 0; column < SimpleXlsx::kMaxColumns; ++column)
        allWritten = facade.addCell("x") && allWritten;
    EXPECT_TRUE(allWritten);
    EXPECT_FALSE(facade.addCell("one too many"));

    BaseMatrix<std::string> tooWide(1, SimpleXlsx::kMaxColumns + 1);
    ASSERT_TRUE(facade.addWorksheet("Too wide"));
    EXPECT_FALSE(facade.saveTimeTable(tooWide));
}

TEST(ExcelWriteWrapperTest, TemporaryFilesAreRemovedWhetherSavedOrNot)
{
    const std::string path = makeTestFolder() + "saved.xlsx";
    privateTempDir temp;
    {
        ExcelWriteWrapper facade;
        ASSERT_TRUE(facade.addWorksheet("Unsaved"));
        ASSERT_TRUE(facade.saveTimeTable(matrixOf({{"a"}})));
        EXPECT_EQ(temp.entries().size(), 1u);
    }
    EXPECT_TRUE(temp.entries().empty());

    {
        ExcelWriteWrapper facade;
        ASSERT_TRUE(facade.addWorksheet("Saved"));
        ASSERT_TRUE(facade.Save(path));
        EXPECT_TRUE(temp.entries().empty());
        EXPECT_FALSE(facade.Save(path)) << "a workbook is saved once";
    }
    EXPECT_TRUE(fileExists(path));
}

}  // namespace
