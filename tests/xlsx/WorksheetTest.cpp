#include "xlsx/Worksheet.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/SharedStringTable.h"

#include "XlsxTest.h"

#include <pugixml.hpp>

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

using namespace SimpleXlsx;

namespace {

// Worksheets written straight into a scratch folder, in UTC.
class Worksheet : public testing::Test
{
protected:
    Worksheet() { tzset(); }

    // The whole part: its head, then its file.
    std::string Saved(PackageWorksheet& sheet)
    {
        return sheet.Save()
                   ? sheet.HeadOfPart() +
                         support::readFile(dir.file("xl/worksheets/sheet" +
                                                    std::to_string(sheet.GetIndex()) + ".xml"))
                   : "<not saved><sheetData></sheetData>";
    }
    // From "<sheetData" to the end of the sheet data.
    std::string SavedData(PackageWorksheet& sheet)
    {
        const std::string part = Saved(sheet);
        return part.substr(part.find("<sheetData"),
                           part.find("</sheetData>") + 12 - part.find("<sheetData"));
    }
    // The <v> elements of the sheet data, one after another.
    static std::string Values(const std::string& data)
    {
        std::string values;
        for (size_t at = data.find("<v>"); at != std::string::npos; at = data.find("<v>", at + 1))
            values += data.substr(at, data.find("</v>", at) + 4 - at);
        return values;
    }

    struct ZoneReset
    {
        ~ZoneReset() { tzset(); }  // after TZ is restored
    } zoneReset;
    support::ScopedEnv tz{"TZ", "UTC"};
    support::ScratchFolder dir;
};

const std::string firstRowStart = "<row r=\"1\" x14ac:dyDescent=\"0.25\">";

}  // namespace

TEST_F(Worksheet, IllustratedPartByteForByte)
{
    SharedStringTable strings;
    PackageWorksheet sheet(1, dir.path());
    sheet.SetSharedStr(&strings);
    sheet.BeginRow(0);
    EXPECT_TRUE(sheet.AddCell(CellDataStr("Mon", 2)));
    EXPECT_TRUE(sheet.AddCell(CellDataStr("", 2)));  // writes nothing
    EXPECT_EQ(Saved(sheet), xt::Reference("illustrated-sheet.xml"));
    EXPECT_EQ(strings.size(), 1u);
}

TEST_F(Worksheet, FrozenPanesAndColumnWidths)
{
    PackageWorksheet both(1, 1, 1, {ColumnWidth(0, 1, 12.5f), ColumnWidth(3, 3, 8.0f)}, dir.path());
    PackageWorksheet rows(2, 0, 1, dir.path()), columns(3, 2, 0, dir.path());
    const std::pair<PackageWorksheet*, const char*> cases[] = {
        {&both, "frozen-both.xml"}, {&rows, "frozen-rows.xml"}, {&columns, "frozen-columns.xml"}};
    for (const auto& [sheet, reference] : cases)
        EXPECT_TRUE(xt::Has(Saved(*sheet), xt::Reference(reference))) << reference;
}

// The declared used range runs from the first to the last cell written;
// blank text cells and empty rows are not cells.
TEST_F(Worksheet, DimensionIsTheUsedRange)
{
    const std::pair<std::vector<std::pair<uint32_t, std::vector<CellDataStr>>>, const char*>
        cases[] = {{{}, "A1"},
                   {{{0, {""}}, {0, {}}}, "A1"},
                   {{{1, {"", "x"}}}, "C1"},
                   {{{0, {"a"}}, {0, {}}, {3, {"b", "c"}}}, "A1:E3"},
                   {{{2, {"a", "", "b"}}, {1, {"c"}}}, "B1:E2"}};
    uint32_t index = 1;
    for (const auto& [rows, ref] : cases) {
        PackageWorksheet sheet(index++, dir.path());
        for (const auto& [offset, cells] : rows)
            sheet.AddRow(cells, offset);
        EXPECT_TRUE(xt::Has(Saved(sheet), std::string("<dimension ref=\"") + ref + "\"/>")) << ref;
    }
    PackageWorksheet wide(index, dir.path());
    for (uint32_t row = 1; row <= 31; ++row)
        wide.AddRow(std::vector<CellDataInt>(6, CellDataInt(int32_t(row))));
    EXPECT_TRUE(xt::Has(Saved(wide), "<dimension ref=\"A1:F31\"/>"));
}

TEST_F(Worksheet, CellReferencesUpToTheLastColumn)
{
    for (const support::tableRow& row : support::testTable("xlsx/data/cell-references.tsv")) {
        const CellCoord coord(uint32_t(std::stoul(row[0])), uint32_t(std::stoul(row[1])));
        EXPECT_EQ(CWorksheet::GetCellCoord(coord), row[2]);
    }
    char small[4] = "xyz";
    EXPECT_TRUE(CWorksheet::GetCellCoord(CellCoord(99, 0), small));
    EXPECT_STREQ(small, "A99");
    EXPECT_FALSE(CWorksheet::GetCellCoord(CellCoord(100, 0), small));  // "A100" needs 5 bytes
    EXPECT_STREQ(small, "");
    char widest[CWorksheet::cellRefBufferSize];
    EXPECT_TRUE(CWorksheet::GetCellCoord(CellCoord(UINT32_MAX, UINT32_MAX), widest));
    EXPECT_EQ(std::strlen(widest), CWorksheet::cellRefBufferSize - 1);
}

TEST_F(Worksheet, CellsBeyondTheSheetAreRefused)
{
    PackageWorksheet sheet(1, dir.path());
    EXPECT_TRUE(sheet.AddRow(std::vector<CellDataInt>{1, 2}, maxColumns - 2));
    EXPECT_FALSE(
        sheet.AddRow(std::vector<CellDataInt>{1, 2}, maxColumns - 1));  // the second is XFE
    for (uint32_t row = 3; row <= maxRows; ++row)
        sheet.BeginRow();
    EXPECT_TRUE(sheet.AddCell(CellDataInt(7)));
    EXPECT_FALSE(sheet.BeginRow());
    EXPECT_FALSE(sheet.AddCell(CellDataInt(8)));
    EXPECT_FALSE(sheet.MergeCells(CellCoord(1, 0), CellCoord(maxRows + 1, 0)));
    EXPECT_FALSE(sheet.MergeCells(CellCoord(0, 0), CellCoord(1, 2)));
    const std::string part = Saved(sheet);
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(part.c_str()));
    EXPECT_TRUE(
        xt::InOrder(part, {"<c r=\"XFD2\"><v>1</v></c></row>", "<c r=\"A1048576\"><v>7</v></c>"}));
    EXPECT_FALSE(xt::Has(part, "XFE"));
    EXPECT_FALSE(xt::Has(part, "1048577"));
    EXPECT_FALSE(xt::Has(part, "<mergeCell"));
}

TEST_F(Worksheet, RowsSpansOffsetsHeightsAndMergedRanges)
{
    PackageWorksheet sheet(1, dir.path());
    sheet.BeginRow(20);
    sheet.AddCell(CellDataStr(""));  // nothing written, column A taken
    sheet.AddCell(CellDataUInt(5));
    sheet.BeginRow();  // closes the first row
    sheet.EndRow();
    sheet.EndRow();  // nothing open: nothing written
    sheet.AddRow(std::vector<CellDataDbl>{1.5, 2.5, 3.5}, 2);
    sheet.AddRow(std::vector<CellDataInt>{}, 4, 30);
    sheet.BeginRow();
    sheet.AddCell(CellDataFlt(0.25f));
    CellCoord current;
    sheet.GetCurrentCellCoord(current);
    EXPECT_EQ(current.row, 5u);
    EXPECT_EQ(current.col, 1u);
    EXPECT_TRUE(sheet.MergeCells(CellCoord(1, 0), CellCoord(1, 2)));
    EXPECT_TRUE(sheet.MergeCells(CellCoord(3, 27), CellCoord(2, 1)));
    EXPECT_TRUE(xt::Has(Saved(sheet), xt::Reference("rows-spans-merges.xml")));
}

TEST_F(Worksheet, CellsWithoutAnOpenRowAreRefused)
{
    PackageWorksheet empty(1, dir.path()), ended(2, dir.path());
    EXPECT_FALSE(empty.AddCell(CellDataInt(1)));
    EXPECT_FALSE(empty.AddCell(CellDataStr("x")));
    EXPECT_TRUE(xt::Has(Saved(empty), "<sheetData/><pageMargins"));
    ended.BeginRow();
    ended.AddCell(CellDataInt(1));
    ended.EndRow();
    EXPECT_FALSE(ended.AddCell(CellDataInt(2)));
    EXPECT_FALSE(ended.AddCell(CellDataTime(0)));
    EXPECT_EQ(SavedData(ended),
              "<sheetData>" + firstRowStart + "<c r=\"A1\"><v>1</v></c></row></sheetData>");
}

TEST_F(Worksheet, FormulasAlwaysTextCellsAndInlineText)
{
    SharedStringTable strings;
    PackageWorksheet sheet(1, dir.path());
    sheet.SetSharedStr(&strings);
    sheet.BeginRow();
    sheet.AddCell(CellDataStr("=SUM(A1:A2)", 3));
    sheet.AddCell(CellDataStr("=A1&\"<x>\""));
    sheet.AddCell(CellDataStr("=1+1", 0, true));
    sheet.AddTextCell("=2+2");
    sheet.AddCell(CellDataStr("="));  // a lone "=" is no formula
    EXPECT_TRUE(sheet.IsThereFormula());
    std::vector<std::string> chain;
    sheet.GetCalcChain(chain);
    EXPECT_EQ(chain, (std::vector<std::string>{"A1", "B1"}));
    EXPECT_EQ(strings, (SharedStringTable{{"=1+1", 0}, {"=2+2", 1}, {"=", 2}}));
    EXPECT_EQ(SavedData(sheet), xt::Reference("formula-cells-data.xml"));
    PackageWorksheet noTable(2, dir.path());  // text without a table is written in place
    noTable.BeginRow();
    noTable.AddCell(CellDataStr("a<b & c"));
    EXPECT_FALSE(noTable.IsThereFormula());
    EXPECT_TRUE(xt::Has(Saved(noTable), "<c r=\"A1\"><v>a&lt;b &amp; c</v></c>"));
}

TEST_F(Worksheet, OverlongTextAndTitlesAreCutOnACharacterBoundary)
{
    SharedStringTable strings;
    PackageWorksheet sheet(1, dir.path());
    sheet.SetSharedStr(&strings);
    std::string twoByte, fourByte;
    for (int i = 0; i < 20000; ++i) {
        twoByte += "\xC3\xA9";           // 1 UTF-16 unit
        fourByte += "\xF0\x9F\x98\x80";  // 2 UTF-16 units
    }
    sheet.AddRow(std::vector<CellDataStr>{std::string(40000, 'a'), twoByte, fourByte,
                                          std::string(32767, 'b')});
    EXPECT_EQ(strings, (SharedStringTable{{std::string(32767, 'a'), 0},
                                          {twoByte.substr(0, 2 * 32767), 1},
                                          {fourByte.substr(0, 4 * 16383), 2},
                                          {std::string(32767, 'b'), 3}}));
    EXPECT_EQ(sheet.GetTitle(), "Sheet 1");
    const std::string x32 = "x" + twoByte.substr(0, 32);  // 33 bytes: the 31st ends a character
    const std::pair<std::string, std::string> titles[] = {
        {std::string(40, 'x'), std::string(31, 'x')},
        {twoByte.substr(0, 32), twoByte.substr(0, 30)},
        {x32, x32.substr(0, 31)}};
    for (const auto& [title, cut] : titles) {
        sheet.SetTitle(title);
        EXPECT_EQ(sheet.GetTitle(), cut);
    }
}

TEST_F(Worksheet, TimesFrom1900To9999AndThen15Digits)
{
    PackageWorksheet sheet(1, dir.path());
    sheet.BeginRow();
    sheet.AddCell(CellDataDbl(1.0 / 3.0));  // 6 digits before the first time cell
    sheet.AddCell(CellDataTime(0, 4));
    std::string expected = "<v>0.333333</v><v>25569</v>";
    for (const support::tableRow& row : support::testTable("xlsx/data/time-serials.tsv")) {
        EXPECT_TRUE(sheet.AddCell(CellDataTime(static_cast<time_t>(std::stoll(row[0])))));
        expected += "<v>" + row[1] + "</v>";
    }
    sheet.AddCell(CellDataDbl(1.0 / 3.0));
    sheet.AddCell(CellDataFlt(0.1f));
    // Every cell type; non-finite numbers become error values.
    sheet.AddRow(std::vector<CellDataDbl>{-0.0, 1e-5, 1234567.0, 2.0 / 3.0});
    sheet.AddRow(std::vector<CellDataInt>{INT32_MIN});
    sheet.AddRow(std::vector<CellDataUInt>{UINT32_MAX});
    sheet.BeginRow();
    sheet.AddCell(CellDataDbl(std::numeric_limits<double>::infinity(), 2));
    sheet.AddCell(CellDataFlt(std::nanf("")));
    const std::string data = SavedData(sheet);
    EXPECT_EQ(Values(data),
              expected + "<v>0.333333333333333</v><v>0.100000001490116</v><v>-0</v><v>1e-05</v>"
                         "<v>1234567</v><v>0.666666666666667</v><v>-2147483648</v><v>4294967295</"
                         "v><v>#NUM!</v><v>#NUM!</v>");
    EXPECT_TRUE(xt::Has(data, "<c r=\"B1\" s=\"4\"><v>25569</v>"));
    EXPECT_TRUE(
        xt::Has(data, R"(<c r="A5" s="2" t="e"><v>#NUM!</v></c><c r="B5" t="e"><v>#NUM!</v></c>)"));
}

TEST_F(Worksheet, DetachedOrUnwritableSheetsReportFailure)
{
    PackageWorksheet detached, emptyPath(1, std::string());
    std::ofstream(dir.file("plain")) << "x";
    PackageWorksheet blocked(1, dir.file("plain"));  // a file where the package folder should be
    for (PackageWorksheet* sheet : {&detached, &emptyPath, &blocked}) {
        EXPECT_FALSE(sheet->IsOk());
        EXPECT_FALSE(sheet->BeginRow());
        EXPECT_FALSE(sheet->AddCell(CellDataStr("x")));
        EXPECT_FALSE(sheet->Save());
    }
    EXPECT_FALSE(xt::fs::exists("/xl/worksheets/sheet1.xml"));
    // A part file that takes no data: the device that is always full.
    xt::fs::create_directories(dir.file("pkg/xl/worksheets"));
    xt::fs::create_symlink("/dev/full", dir.file("pkg/xl/worksheets/sheet1.xml"));
    PackageWorksheet full(1, dir.file("pkg"));
    full.AddRow(std::vector<CellDataInt>{1});
    EXPECT_FALSE(full.Save());
}
