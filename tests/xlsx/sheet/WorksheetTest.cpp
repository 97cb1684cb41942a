#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <limits>
#include <sstream>

#include "SheetTestSupport.h"
#include "xlsx/PackageVocabulary.h"
#include "xlsx/Worksheet.h"

using namespace SimpleXlsx;
using sheettest::ReadFile;
using sheettest::ScratchDir;
using sheettest::SheetData;

namespace {

std::string SavedPart(CWorksheet& sheet, const ScratchDir& dir, uint32_t index = 1)
{
    EXPECT_TRUE(sheet.Save());
    return ReadFile(dir.File("xl/worksheets/sheet" + std::to_string(index) + ".xml"));
}

class WorksheetInUtc : public testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TZ");
        hadZone = old != nullptr;
        if (hadZone) oldZone = old;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        if (hadZone) setenv("TZ", oldZone.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    bool hadZone = false;
    std::string oldZone;
};

}  // namespace

TEST(Worksheet, IllustratedPartIsWrittenByteForByte)
{
    ScratchDir dir;
    SharedStringTable strings;
    CWorksheet sheet(1, dir.path);
    sheet.SetSharedStr(&strings);
    sheet.BeginRow(0);
    EXPECT_TRUE(sheet.AddCell(CellDataStr("Mon", 2)));
    EXPECT_TRUE(sheet.AddCell(CellDataStr("", 2)));
    const std::string expected =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n") +
        "<worksheet xmlns=\"" + ns_book + "\" xmlns:r=\"" + ns_book_r + "\" xmlns:mc=\"" + ns_mc +
        "\" mc:Ignorable=\"x14ac\" xmlns:x14ac=\"" + ns_x14ac + "\">" +
        "<dimension ref=\"A1\"/><sheetViews><sheetView tabSelected=\"0\" workbookViewId=\"0\"/></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\" x14ac:dyDescent=\"0.25\"/>"
        "<sheetData><row r=\"1\" x14ac:dyDescent=\"0.25\"><c r=\"A1\" s=\"2\" t=\"s\"><v>0</v></c></row></sheetData>"
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
        "<pageSetup paperSize=\"9\" orientation=\"portrait\"/></worksheet>";
    EXPECT_EQ(SavedPart(sheet, dir), expected);
    EXPECT_EQ(strings.size(), 1u);
}

TEST(Worksheet, FrozenPanesAndColumnWidths)
{
    ScratchDir dir;
    CWorksheet both(1, 1, 1, {ColumnWidth(0, 1, 12.5f), ColumnWidth(3, 3, 8.0f)}, dir.path);
    const std::string part = SavedPart(both, dir);
    EXPECT_NE(part.find("<sheetView tabSelected=\"0\" workbookViewId=\"0\">"
                        "<pane xSplit=\"1\" ySplit=\"1\" topLeftCell=\"B2\" activePane=\"bottomRight\" state=\"frozen\"/>"
                        "<selection pane=\"topRight\" activeCell=\"B1\" sqref=\"B1\"/>"
                        "<selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/>"
                        "<selection pane=\"bottomRight\" activeCell=\"B2\" sqref=\"B2\"/></sheetView>"),
              std::string::npos) << part;
    EXPECT_NE(part.find("<cols><col min=\"1\" max=\"2\" width=\"12.5\"/><col min=\"4\" max=\"4\" width=\"8\"/></cols>"),
              std::string::npos) << part;

    CWorksheet rowsOnly(2, 0, 1, dir.path);
    EXPECT_NE(SavedPart(rowsOnly, dir, 2).find(
                  "<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
                  "<selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/></sheetView>"),
              std::string::npos);
    CWorksheet columnsOnly(3, 2, 0, dir.path);
    EXPECT_NE(SavedPart(columnsOnly, dir, 3).find(
                  "<pane xSplit=\"2\" topLeftCell=\"C1\" activePane=\"topRight\" state=\"frozen\"/>"
                  "<selection pane=\"topRight\" activeCell=\"C1\" sqref=\"C1\"/></sheetView>"),
              std::string::npos);
}

TEST(Worksheet, CellReferencesUpToTheLastColumnAndNoOverflow)
{
    const std::pair<uint32_t, const char*> columns[] = {
        {0, "A1"}, {25, "Z1"}, {26, "AA1"}, {51, "AZ1"}, {52, "BA1"}, {701, "ZZ1"}, {702, "AAA1"}, {16383, "XFD1"}};
    for (const auto& [col, ref] : columns) EXPECT_EQ(CWorksheet::GetCellCoord(CellCoord(1, col)), ref);
    EXPECT_EQ(CWorksheet::GetCellCoord(CellCoord(kMaxRows, kMaxColumns - 1)), "XFD1048576");

    char small[4] = "xyz";
    EXPECT_FALSE(CWorksheet::GetCellCoord(CellCoord(100, 0), small));  // "A100" needs 5 bytes
    char exact[4];
    EXPECT_TRUE(CWorksheet::GetCellCoord(CellCoord(99, 0), exact));
    EXPECT_STREQ(exact, "A99");
    EXPECT_FALSE(CWorksheet::GetCellCoord(CellCoord(12345, 0), small));
    EXPECT_STREQ(small, "");
    char widest[CWorksheet::kCellRefBufferSize];
    EXPECT_TRUE(CWorksheet::GetCellCoord(CellCoord(UINT32_MAX, UINT32_MAX), widest));
    EXPECT_EQ(std::string(widest).size(), CWorksheet::kCellRefBufferSize - 1);
}

TEST(Worksheet, CellsBeyondTheSheetAreRefused)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    EXPECT_TRUE(sheet.AddRow(std::vector<CellDataInt>{1, 2}, kMaxColumns - 2));
    EXPECT_FALSE(sheet.AddRow(std::vector<CellDataInt>{1, 2}, kMaxColumns - 1));  // second one is XFE
    for (uint32_t row = 3; row <= kMaxRows; ++row) sheet.BeginRow();
    EXPECT_TRUE(sheet.AddCell(CellDataInt(7)));
    EXPECT_FALSE(sheet.BeginRow());
    EXPECT_FALSE(sheet.AddCell(CellDataInt(8)));
    EXPECT_FALSE(sheet.MergeCells(CellCoord(1, 0), CellCoord(kMaxRows + 1, 0)));
    const std::string part = SavedPart(sheet, dir);
    EXPECT_TRUE(sheettest::IsWellFormedXml(part));
    EXPECT_NE(part.find("<c r=\"XFD2\"><v>1</v></c></row>"), std::string::npos);
    EXPECT_NE(part.find("<c r=\"A1048576\"><v>7</v></c>"), std::string::npos);
    EXPECT_EQ(part.find("XFE"), std::string::npos);
    EXPECT_EQ(part.find("1048577"), std::string::npos);
}

TEST(Worksheet, SharedStringsCountFromZeroAcrossSheetsOfOneTable)
{
    ScratchDir dir;
    SharedStringTable strings;
    CWorksheet first(1, dir.path), second(2, dir.path);
    first.SetSharedStr(&strings);
    second.SetSharedStr(&strings);
    first.AddRow(std::vector<CellDataStr>{"Mon", "Tue", "Mon"});
    second.AddRow(std::vector<CellDataStr>{"Wed", "Tue"});
    EXPECT_EQ(strings.at("Mon"), 0u);
    EXPECT_EQ(strings.at("Tue"), 1u);
    EXPECT_EQ(strings.at("Wed"), 2u);
    EXPECT_NE(SheetData(SavedPart(first, dir)).find("<c r=\"C1\" t=\"s\"><v>0</v></c>"), std::string::npos);
    EXPECT_NE(SheetData(SavedPart(second, dir, 2)).find(
                  "<c r=\"A1\" t=\"s\"><v>2</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"),
              std::string::npos);
}

TEST(Worksheet, RowsBeganAddedEmptyAndWithHeight)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    sheet.BeginRow(20);
    sheet.AddCell(CellDataStr(""));  // writes nothing, takes column A
    sheet.AddCell(CellDataUInt(5));
    sheet.BeginRow();                // closes the first row
    sheet.EndRow();
    sheet.EndRow();                  // nothing open: nothing written
    sheet.AddRow(std::vector<CellDataDbl>{1.5, 2.5, 3.5}, 2);
    sheet.AddRow(std::vector<CellDataInt>{}, 4, 30);
    sheet.BeginRow();
    sheet.AddCell(CellDataFlt(0.25f));
    CellCoord current;
    sheet.GetCurrentCellCoord(current);
    EXPECT_EQ(current.row, 5u);
    EXPECT_EQ(current.col, 1u);
    EXPECT_EQ(SheetData(SavedPart(sheet, dir)),
              "<sheetData><row r=\"1\" x14ac:dyDescent=\"0.25\" ht=\"20\" customHeight=\"1\"><c r=\"B1\"><v>5</v></c></row>"
              "<row r=\"2\" x14ac:dyDescent=\"0.25\"/>"
              "<row r=\"3\" spans=\"3:5\" x14ac:dyDescent=\"0.25\"><c r=\"C3\"><v>1.5</v></c><c r=\"D3\"><v>2.5</v></c>"
              "<c r=\"E3\"><v>3.5</v></c></row>"
              "<row r=\"4\" spans=\"5:5\" x14ac:dyDescent=\"0.25\" ht=\"30\" customHeight=\"1\"/>"
              "<row r=\"5\" x14ac:dyDescent=\"0.25\"><c r=\"A5\"><v>0.25</v></c></row></sheetData>");
}

TEST(Worksheet, NoRowsGiveShortSheetDataAndCellsOutsideRowsAreRefused)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    EXPECT_FALSE(sheet.AddCell(CellDataInt(1)));
    EXPECT_FALSE(sheet.AddCell(CellDataStr("x")));
    EXPECT_NE(SavedPart(sheet, dir).find("<sheetData/><pageMargins"), std::string::npos);

    CWorksheet afterEnd(2, dir.path);
    afterEnd.BeginRow();
    afterEnd.AddCell(CellDataInt(1));
    afterEnd.EndRow();
    EXPECT_FALSE(afterEnd.AddCell(CellDataInt(2)));
    EXPECT_FALSE(afterEnd.AddCell(CellDataTime(0)));
    const std::string part = SavedPart(afterEnd, dir, 2);
    EXPECT_TRUE(sheettest::IsWellFormedXml(part));
    EXPECT_EQ(SheetData(part), "<sheetData><row r=\"1\" x14ac:dyDescent=\"0.25\"><c r=\"A1\"><v>1</v></c></row></sheetData>");
}

TEST(Worksheet, FormulasTextsThatStayTextAndInlineText)
{
    ScratchDir dir;
    SharedStringTable strings;
    CWorksheet sheet(1, dir.path);
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
    EXPECT_EQ(strings.size(), 3u);
    EXPECT_EQ(strings.count("=1+1"), 1u);
    const std::string data = SheetData(SavedPart(sheet, dir));
    EXPECT_NE(data.find("<c r=\"A1\" s=\"3\"><f>SUM(A1:A2)</f></c><c r=\"B1\"><f>A1&amp;\"&lt;x&gt;\"</f></c>"
                        "<c r=\"C1\" t=\"s\"><v>0</v></c><c r=\"D1\" t=\"s\"><v>1</v></c><c r=\"E1\" t=\"s\"><v>2</v></c></row>"),
              std::string::npos) << data;

    CWorksheet noTable(2, dir.path);
    noTable.BeginRow();
    noTable.AddCell(CellDataStr("a<b & c"));
    EXPECT_FALSE(noTable.IsThereFormula());
    EXPECT_NE(SavedPart(noTable, dir, 2).find("<c r=\"A1\"><v>a&lt;b &amp; c</v></c>"), std::string::npos);
}

TEST(Worksheet, OverlongTextIsCutOnACharacterBoundary)
{
    ScratchDir dir;
    SharedStringTable strings;
    CWorksheet sheet(1, dir.path);
    sheet.SetSharedStr(&strings);
    std::string twoByte;
    for (int i = 0; i < 20000; ++i) twoByte += "\xC3\xA9";          // U+00E9, one UTF-16 unit
    std::string fourByte;
    for (int i = 0; i < 20000; ++i) fourByte += "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    sheet.AddRow(std::vector<CellDataStr>{std::string(40000, 'a'), twoByte, fourByte, std::string(32767, 'b')});
    ASSERT_EQ(strings.size(), 4u);
    for (const auto& [text, index] : strings) {
        switch (index) {
        case 0: EXPECT_EQ(text, std::string(32767, 'a')); break;
        case 1: EXPECT_EQ(text, twoByte.substr(0, 2 * 32767)); break;
        case 2: EXPECT_EQ(text, fourByte.substr(0, 4 * 16383)); break;
        default: EXPECT_EQ(text, std::string(32767, 'b'));
        }
    }
    EXPECT_TRUE(sheet.Save());
}

TEST(Worksheet, TitlesAreCutOnACharacterBoundary)
{
    CWorksheet sheet;
    EXPECT_EQ(sheet.GetTitle(), "Sheet 1");
    sheet.SetTitle(std::string(40, 'x'));
    EXPECT_EQ(sheet.GetTitle(), std::string(31, 'x'));
    std::string accents;
    for (int i = 0; i < 16; ++i) accents += "\xC3\xA9";  // 32 bytes
    sheet.SetTitle(accents);
    EXPECT_EQ(sheet.GetTitle(), accents.substr(0, 30));
    sheet.SetTitle("x" + accents);  // 33 bytes: the 31st byte ends a character
    EXPECT_EQ(sheet.GetTitle(), ("x" + accents).substr(0, 31));
}

TEST_F(WorksheetInUtc, TimeCellsSwitchTheSheetTo15Digits)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    sheet.BeginRow();
    sheet.AddCell(CellDataDbl(1.0 / 3.0));
    sheet.AddCell(CellDataTime(0, 4));
    sheet.AddCell(CellDataTime(43200));
    sheet.AddCell(CellDataDbl(1.0 / 3.0));
    sheet.AddCell(CellDataFlt(0.1f));
    EXPECT_EQ(SheetData(SavedPart(sheet, dir)),
              "<sheetData><row r=\"1\" x14ac:dyDescent=\"0.25\"><c r=\"A1\"><v>0.333333</v></c>"
              "<c r=\"B1\" s=\"4\"><v>25569</v></c><c r=\"C1\"><v>25569.5</v></c>"
              "<c r=\"D1\"><v>0.333333333333333</v></c><c r=\"E1\"><v>0.100000001490116</v></c></row></sheetData>");
}

TEST_F(WorksheetInUtc, TimesFrom1900To9999HaveTheirSerialNumbers)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    sheet.BeginRow();
    // Seconds since 1970 and the serial number of that day in the 1900 date system.
    const std::pair<int64_t, const char*> days[] = {
        {-2208988800LL, "1"},      {-2203977600LL, "59"},     {-2203891200LL, "61"},
        {-2147558400LL, "713"},    {2147558400LL, "50425"},   {253402214400LL + 86399, "2958465.99998843"}};
    for (const auto& day : days) EXPECT_TRUE(sheet.AddCell(CellDataTime(static_cast<time_t>(day.first))));
    const std::string data = SheetData(SavedPart(sheet, dir));
    size_t column = 0;
    for (const auto& day : days) {
        const std::string cell = "<c r=\"" + std::string(1, static_cast<char>('A' + column++)) + "1\"><v>" + day.second + "</v>";
        EXPECT_NE(data.find(cell), std::string::npos) << cell << " in " << data;
    }
}

TEST(Worksheet, NumbersAreWrittenAsTheStreamWritesThem)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    const double doubles[] = {0.0, -0.0, 1234.25, 1e-5, 1.5e-4, 123456.0, 1234567.0, 0.1, 2.0 / 3.0, -98765.4321,
                              1e300, 5e-324, 1.7976931348623157e308, 14.03, 100.0, 999999.5, 0.000123456789};
    sheet.BeginRow();
    for (double value : doubles) sheet.AddCell(CellDataDbl(value));
    for (double value : doubles)
        if (std::isfinite(static_cast<float>(value))) sheet.AddCell(CellDataFlt(static_cast<float>(value)));
    sheet.AddCell(CellDataInt(std::numeric_limits<int32_t>::min()));
    sheet.AddCell(CellDataUInt(std::numeric_limits<uint32_t>::max()));
    const std::string data = SheetData(SavedPart(sheet, dir));

    std::ostringstream expected;
    expected.imbue(std::locale::classic());
    for (double value : doubles) expected << "<v>" << value << "</v>";
    for (double value : doubles)
        if (std::isfinite(static_cast<float>(value))) expected << "<v>" << static_cast<float>(value) << "</v>";
    expected << "<v>" << std::numeric_limits<int32_t>::min() << "</v><v>" << std::numeric_limits<uint32_t>::max() << "</v>";
    std::string written;
    for (size_t pos = data.find("<v>"); pos != std::string::npos; pos = data.find("<v>", pos + 1))
        written += data.substr(pos, data.find("</v>", pos) + 4 - pos);
    EXPECT_EQ(written, expected.str());
}

TEST_F(WorksheetInUtc, ManyDoublesMatchTheStreamAtSixAnd15Digits)
{
    ScratchDir dir;
    std::vector<double> values;
    uint64_t state = 88172645463325252ULL;  // xorshift: a fixed, varied sequence
    for (int i = 0; i < 2000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double mantissa = static_cast<double>(state % 100000000000ULL) / 1e6;
        values.push_back((i % 2 ? -mantissa : mantissa) * std::pow(10.0, static_cast<int>(state % 41) - 20));
    }
    for (int precision : {6, 15}) {
        CWorksheet sheet(1, dir.path);
        sheet.BeginRow();
        if (precision == 15) sheet.AddCell(CellDataTime(0));
        std::ostringstream expected;
        expected.imbue(std::locale::classic());
        expected << std::setprecision(precision);
        for (double value : values) {
            sheet.AddCell(CellDataDbl(value));
            expected << "<v>" << value << "</v>";
        }
        std::string data = SheetData(SavedPart(sheet, dir));
        if (precision == 15) data.erase(data.find("<v>25569</v>"), 12);
        std::string written;
        for (size_t pos = data.find("<v>"); pos != std::string::npos; pos = data.find("<v>", pos + 1))
            written += data.substr(pos, data.find("</v>", pos) + 4 - pos);
        EXPECT_EQ(written, expected.str()) << "precision " << precision;
    }
}

TEST(Worksheet, NonFiniteNumbersBecomeErrorValues)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    sheet.BeginRow();
    sheet.AddCell(CellDataDbl(std::numeric_limits<double>::infinity(), 2));
    sheet.AddCell(CellDataFlt(std::nanf("")));
    EXPECT_NE(SheetData(SavedPart(sheet, dir)).find(
                  "<c r=\"A1\" s=\"2\" t=\"e\"><v>#NUM!</v></c><c r=\"B1\" t=\"e\"><v>#NUM!</v></c>"),
              std::string::npos);
}

TEST(Worksheet, MergedRangesInTheOrderAdded)
{
    ScratchDir dir;
    CWorksheet sheet(1, dir.path);
    EXPECT_TRUE(sheet.MergeCells(CellCoord(1, 0), CellCoord(1, 2)));
    EXPECT_FALSE(sheet.MergeCells(CellCoord(0, 0), CellCoord(1, 2)));
    EXPECT_TRUE(sheet.MergeCells(CellCoord(3, 27), CellCoord(2, 1)));
    EXPECT_NE(SavedPart(sheet, dir).find("<sheetData/><mergeCells count=\"2\"><mergeCell ref=\"A1:C1\"/>"
                                         "<mergeCell ref=\"AB3:B2\"/></mergeCells><pageMargins"),
              std::string::npos);
}

TEST(Worksheet, CommentRelationshipsPart)
{
    ScratchDir dir;
    CWorksheet sheet(4, dir.path);
    EXPECT_TRUE(sheet.SaveCommentsRels());
    EXPECT_EQ(ReadFile(dir.File("xl/worksheets/_rels/sheet4.xml.rels")),
              std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n<Relationships xmlns=\"") +
                  ns_relationships + "\"><Relationship Id=\"rId1\" Type=\"" + type_vml +
                  "\" Target=\"../drawings/vmlDrawing4.vml\"/><Relationship Id=\"rId2\" Type=\"" + type_comments +
                  "\" Target=\"../comments4.xml\"/></Relationships>");
}

TEST(Worksheet, DetachedSheetWritesNothingAnywhere)
{
    const bool rootPartBefore = std::filesystem::exists("/xl/worksheets/sheet1.xml");
    CWorksheet sheet;
    EXPECT_FALSE(sheet.IsOk());
    EXPECT_FALSE(sheet.BeginRow());
    EXPECT_FALSE(sheet.AddCell(CellDataStr("x")));
    EXPECT_FALSE(sheet.Save());
    CWorksheet emptyPath(1, std::string());
    EXPECT_FALSE(emptyPath.IsOk());
    EXPECT_FALSE(emptyPath.Save());
    EXPECT_EQ(std::filesystem::exists("/xl/worksheets/sheet1.xml"), rootPartBefore);
}

TEST(Worksheet, PartsThatCannotBeWrittenAreReported)
{
    ScratchDir dir;
    // A regular file where the package folder should be: nothing can be created.
    std::ofstream(dir.File("plain")) << "x";
    CWorksheet blocked(1, dir.File("plain"));
    EXPECT_FALSE(blocked.IsOk());
    EXPECT_FALSE(blocked.BeginRow());
    EXPECT_FALSE(blocked.Save());

    // A part file that takes no data: the device that is always full.
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    std::filesystem::create_directories(dir.File("pkg/xl/worksheets"));
    std::filesystem::create_symlink("/dev/full", dir.File("pkg/xl/worksheets/sheet1.xml"));
    CWorksheet full(1, dir.File("pkg"));
    full.BeginRow();
    full.AddCell(CellDataInt(1));
    EXPECT_FALSE(full.Save());
}
