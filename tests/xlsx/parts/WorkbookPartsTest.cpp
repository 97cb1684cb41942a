// The workbook-level parts, read back from saved packages byte for byte.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/MemoryParts.h"
#include "xlsx/internal/PartPacker.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/XmlStream.h"

#include "../XlsxTest.h"

#include <regex>

using namespace SimpleXlsx;
using xt::xmlDeclaration;

namespace {

class WorkbookParts : public xt::Package
{
protected:
    support::ScopedEnv locale{"LC_ALL", "C"};
};

void AddTextRow(CWorksheet& sheet, std::vector<CellDataStr> texts)
{
    sheet.AddRow(texts);
}

}  // namespace

TEST_F(WorkbookParts, OneSheetPackageByteForByte)
{
    CWorkbook book;
    AddTextRow(book.AddSheet("Smith & Co"), {"Mon"});
    {
        support::ScopedEnv noUser("USERNAME", nullptr);
        Save(book);
    }
    EXPECT_EQ(Part("[Content_Types].xml"), xt::Reference("one-sheet-content-types.xml"));
    EXPECT_EQ(Part("xl/_rels/workbook.xml.rels"), xt::Reference("one-sheet-workbook.xml.rels"));
    EXPECT_EQ(Part("xl/workbook.xml"), xt::Reference("one-sheet-workbook.xml"));
    EXPECT_EQ(Part("_rels/.rels"), xt::Reference("one-sheet-root.rels"));
    EXPECT_EQ(Part("xl/styles.xml"), xt::Reference("one-sheet-styles.xml"));
    EXPECT_EQ(Part("docProps/app.xml"), xt::Reference("one-sheet-app.xml"));
    EXPECT_EQ(Part("xl/theme/theme1.xml"), xt::Reference("theme.xml"));
    // Both dates of the core properties carry the same UTC timestamp of the save.
    const std::string core = Part("docProps/core.xml");
    std::smatch stamp;
    ASSERT_TRUE(std::regex_search(core, stamp, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")))
        << core;
    EXPECT_EQ(std::regex_replace(core, std::regex(stamp.str()), "2000-01-01T00:00:00Z"),
              xt::Reference("one-sheet-core.xml"));
}

TEST_F(WorkbookParts, RelationshipIdsCalcChainAndSharedStrings)
{
    for (const bool withFormula : {false, true}) {
        SCOPED_TRACE(withFormula ? "with formula" : "without formula");
        CWorkbook book;
        CWorksheet& first = book.AddSheet("A");
        first.BeginRow();
        first.BeginRow();
        first.AddCell();
        first.AddCell(CellDataStr(withFormula ? "=A1+1" : "Mon"));
        AddTextRow(first, {"", "", withFormula ? "=B2*2" : "Fri"});
        AddTextRow(book.AddSheet("B"), {"no formula", " lead", "no formula", "trail\t", "R&D <5>"});
        AddTextRow(book.AddSheet("C"), {withFormula ? "=PI()" : "Mon"});
        Save(book);
        EXPECT_EQ(Part("xl/_rels/workbook.xml.rels"),
                  xt::Reference(withFormula ? "formula-workbook.xml.rels"
                                            : "three-sheets-workbook.xml.rels"));
        EXPECT_EQ(Part("xl/workbook.xml"), xt::Reference("three-sheets-workbook.xml"));
        // The calculation chain names each sheet on its first formula only.
        EXPECT_EQ(Part("xl/calcChain.xml"),
                  withFormula ? xt::Reference("formula-calc-chain.xml") : "<missing>");
        EXPECT_EQ(xt::Count(Part("[Content_Types].xml"), "/xl/calcChain.xml"),
                  withFormula ? 1u : 0u);
    }
    // Shared strings in order of first use; edge whitespace preserved.
    EXPECT_EQ(Part("xl/sharedStrings.xml"), xt::Reference("three-sheets-shared-strings.xml"));
}

TEST_F(WorkbookParts, WorkbookWithoutSheets)
{
    CWorkbook book;
    Save(book);
    EXPECT_EQ(support::zipEntryNames(path), xt::FixedEntriesAnd({}));
    EXPECT_EQ(Part("xl/workbook.xml"), xt::Reference("no-sheets-workbook.xml"));
    EXPECT_EQ(Part("xl/_rels/workbook.xml.rels"), xt::Reference("no-sheets-workbook.xml.rels"));
    EXPECT_EQ(Part("docProps/app.xml"), xt::Reference("no-sheets-app.xml"));
    EXPECT_EQ(Part("[Content_Types].xml"), xt::Reference("no-sheets-content-types.xml"));
}

TEST_F(WorkbookParts, RegisteredStylesReachTheStylesPart)
{
    CWorkbook book;
    StyleList& styles = book.GetStyleList();
    Style accounting, bordered, date;
    accounting.numFormat.numberStyle = NUMBER_ACCOUNTING;
    accounting.numFormat.showThousandsSeparator = true;
    accounting.font.attributes = FONT_ITALIC | FONT_BOLD;
    accounting.font.theme = false;
    accounting.font.color = "FF112233";
    accounting.font.name = "Liberation & Sans";
    bordered = accounting;
    bordered.border.left.style = BORDER_THIN;
    bordered.border.bottom.style = BORDER_DOUBLE;
    bordered.border.bottom.color = "FF0000FF";
    bordered.border.isDiagonalDown = true;
    bordered.fill.patternType = PATTERN_SOLID;
    bordered.fill.fgColor = "FFFFFF00";
    bordered.fill.bgColor = "FF00FF00";
    bordered.horizAlign = ALIGN_H_CENTER;
    bordered.vertAlign = ALIGN_V_BOTTOM;
    bordered.wrapText = true;
    date.numFormat.id = 14;
    date.numFormat.numberStyle = NUMBER_DATE;
    EXPECT_EQ(styles.Add(accounting), 2u);
    EXPECT_EQ(styles.Add(bordered), 3u);
    EXPECT_EQ(styles.Add(date), 4u);
    Save(book);
    EXPECT_EQ(Part("xl/styles.xml"), xt::Reference("registered-styles.xml"));
}

// Each part that cannot be created fails the save, which leaves nothing behind.
TEST_F(WorkbookParts, PartThatCannotBeCreatedFailsTheSave)
{
    for (const char* part :
         {"docProps/core.xml", "_rels/.rels", "docProps/app.xml", "[Content_Types].xml",
          "xl/theme/theme1.xml", "xl/sharedStrings.xml", "xl/styles.xml", "xl/workbook.xml",
          "xl/_rels/workbook.xml.rels", "xl/calcChain.xml"}) {
        CWorkbook book;
        AddTextRow(book.AddSheet("S"), {"text", "=1+2"});
        xt::fs::create_directories(book.GetTempPath() + "/" +
                                   part);  // a folder where the file goes
        EXPECT_FALSE(book.Save(scratch.file("blocked.xlsx"))) << part;
        EXPECT_FALSE(xt::fs::exists(scratch.file("blocked.xlsx")));
        EXPECT_EQ(scratch.temporaryFiles(), 0u);
    }
}

TEST(MakeDirectory, CreatesEveryFolderAboveTheFile)
{
    support::ScratchFolder scratch;
    const std::string file =
        scratch.file("xlsx_1/xl\\worksheets/sheet1.xml");  // backslashes separate too
    EXPECT_TRUE(MakeDirectory(file));
    EXPECT_TRUE(MakeDirectory(file));  // everything exists already
    EXPECT_TRUE(xt::fs::is_directory(scratch.file("xlsx_1/xl/worksheets")));
    EXPECT_FALSE(xt::fs::exists(scratch.file("xlsx_1/xl/worksheets/sheet1.xml")));
    EXPECT_TRUE(MakeDirectory("no-separator-at-all.xml"));
    EXPECT_FALSE(xt::fs::exists("no-separator-at-all.xml"));
    // A link to nowhere cannot be created as existing, nor below it as missing.
    xt::fs::create_symlink(scratch.file("nowhere"), scratch.file("dangling"));
    EXPECT_FALSE(MakeDirectory(scratch.file("dangling/xl/styles.xml")));
}

TEST(PartFile, WritesThePartOrReportsFailure)
{
    support::ScratchFolder scratch;
    EXPECT_EQ(PartPath("/tmp/x", "xl/styles.xml"), "/tmp/x/xl/styles.xml");
    std::ofstream(scratch.file("plainfile")) << "in the way";
    for (const std::string& folder : {scratch.path(), scratch.file("plainfile"), std::string()}) {
        PartFile part(folder, "xl/theme/theme1.xml", 16);
        {
            xmlw::XmlStream xml(part.Stream());
            xml << xmlw::prolog() << xmlw::tag("a") << xmlw::attr("n") << std::string(100, 'x');
        }
        EXPECT_EQ(part.Close(), folder == scratch.path()) << folder;
    }
    EXPECT_EQ(support::readFile(scratch.file("xl/theme/theme1.xml")),
              xmlDeclaration + "<a n=\"" + std::string(100, 'x') + "\"/>");
    EXPECT_FALSE(
        xt::fs::exists("/xl/theme/theme1.xml"));  // an empty folder writes nothing at the root
}

// A part that may stay in memory does so in an admitted folder while small;
// past its threshold it becomes its file, deflated on the way, and packs
// behind its head with every byte in order across the switch. Elsewhere it
// is a plain file from the start.
TEST(PartFile, KeepsSmallPartsInMemoryAndSpillsLargeOnes)
{
    support::ScratchFolder scratch;
    const std::string admitted = scratch.file("admitted");
    MemoryParts::Admit(admitted);
    const std::string large(MemoryParts::partThreshold / 3, 'L');
    struct Case
    {
        std::string folder;
        int pieces;  // copies of `large` written
        bool inMemory;
    };
    for (const Case& c : {Case{admitted, 1, true}, Case{admitted, 4, false},
                          Case{scratch.file("plain"), 1, false}}) {
        const std::string name = "xl/worksheets/sheet" + std::to_string(c.pieces) + ".xml";
        PartFile part(c.folder, name, 16, PartFile::Keeping::MemoryWhileSmall);
        std::string expected = "head:";
        part.Stream() << "head:";
        for (int piece = 0; piece < c.pieces; ++piece) {
            part.Stream() << large << piece;
            expected += large + std::to_string(piece);
        }
        EXPECT_EQ(part.InMemory(), c.inMemory) << c.folder << " " << c.pieces;
        ASSERT_TRUE(part.Close());
        EXPECT_EQ(xt::fs::exists(PartPath(c.folder, name)), !c.inMemory);
        const std::string archivePath = scratch.file("part.zip");
        zipFile archive = zipOpen64(archivePath.c_str(), APPEND_STATUS_CREATE);
        ASSERT_NE(archive, nullptr);
        EXPECT_TRUE(PackPartFiles(archive, c.folder, {name}, {{name, "<h>"}}));
        EXPECT_EQ(zipClose(archive, nullptr), ZIP_OK);
        EXPECT_TRUE(support::zipEntry(archivePath, name) == "<h>" + expected) << c.pieces;
    }
    // A folder dismissed takes no deposit: the part is reported lost.
    PartFile late(admitted, "xl/worksheets/late.xml", 16, PartFile::Keeping::MemoryWhileSmall);
    late.Stream() << "late";
    MemoryParts::Dismiss(admitted);
    EXPECT_FALSE(late.Close());
}
