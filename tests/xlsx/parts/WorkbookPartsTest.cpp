// The workbook-level parts, read back from saved packages byte for byte.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/MemoryParts.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/XmlStream.h"

#include "../XlsxTest.h"

#include <pugixml.hpp>

#include <regex>

using namespace SimpleXlsx;
using xt::xmlDeclaration;

namespace {

class WorkbookParts : public testing::Test
{
protected:
    // Saves `book` and keeps its path for Part.
    void Save(CWorkbook& book)
    {
        path = scratch.file(std::to_string(++saved) + ".xlsx");
        ASSERT_TRUE(book.Save(path));
    }
    std::string Part(const std::string& name) const { return support::zipEntry(path, name); }

    support::ScratchFolder scratch;
    support::ScopedEnv locale{"LC_ALL", "C"};
    std::string path;
    int saved = 0;
};

void AddTextRow(CWorksheet& sheet, std::vector<CellDataStr> texts)
{
    sheet.AddRow(texts);
}

std::string Rel(const std::string& id, const std::string& type, const std::string& target)
{
    return "<Relationship Id=\"" + id +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "relationships/" +
           type + "\" Target=\"" + target + "\"/>";
}

const std::string workbookRels =
    xmlDeclaration +
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
const std::string workbookHead =
    xmlDeclaration + "<workbook xmlns=\"" + ns_book + "\" xmlns:r=\"" + ns_book_r +
    "\"><fileVersion appName=\"xl\" "
    "lastEdited=\"5\" lowestEdited=\"5\" rupBuild=\"9302\"/><workbookPr codeName=\"ThisWorkbook\" "
    "defaultThemeVersion=\"124226\"/><bookViews><workbookView xWindow=\"270\" yWindow=\"630\" "
    "windowWidth=\"24615\" "
    "windowHeight=\"11445\"/></bookViews>";
const std::string workbookTail = "<calcPr calcId=\"124519\"/></workbook>";

}  // namespace

TEST_F(WorkbookParts, OneSheetPackageByteForByte)
{
    CWorkbook book;
    AddTextRow(book.AddSheet("Smith & Co"), {"Mon"});
    {
        support::ScopedEnv noUser("USERNAME", nullptr);
        Save(book);
    }
    EXPECT_TRUE(xt::Has(
        Part("[Content_Types].xml"),
        R"(<Override PartName="/xl/sharedStrings.xml" ContentType="application)"
        R"(/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/><Override PartName="/xl/worksheets/)"
        R"(sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>)"));
    EXPECT_EQ(Part("xl/_rels/workbook.xml.rels"), xt::Reference("one-sheet-workbook.xml.rels"));
    EXPECT_EQ(Part("xl/workbook.xml"), xt::Reference("one-sheet-workbook.xml"));
    EXPECT_EQ(Part("_rels/.rels"), xt::Reference("one-sheet-root.rels"));
    EXPECT_EQ(Part("xl/styles.xml"), xt::Reference("one-sheet-styles.xml"));
    EXPECT_TRUE(xt::Has(
        Part("docProps/app.xml"),
        R"(<TitlesOfParts><vt:vector size="1" baseType="lpstr"><vt:lpstr>Smith &amp; Co</vt:lpstr>)"));
}

// Both dates of the core properties carry the same UTC timestamp of the save.
TEST_F(WorkbookParts, CorePropertiesCarryTheTimeOfTheSave)
{
    CWorkbook book;
    AddTextRow(book.AddSheet("One"), {"Mon"});
    {
        support::ScopedEnv noUser("USERNAME", nullptr);
        Save(book);
    }
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
        const std::string sheets = Rel("rId3", "worksheet", "worksheets/sheet1.xml") +
                                   Rel("rId4", "worksheet", "worksheets/sheet2.xml") +
                                   Rel("rId5", "worksheet", "worksheets/sheet3.xml");
        const std::string chain = withFormula ? Rel("rId6", "calcChain", "calcChain.xml") : "";
        EXPECT_EQ(Part("xl/_rels/workbook.xml.rels"),
                  workbookRels + Rel("rId1", "styles", "styles.xml") +
                      Rel("rId2", "theme", "theme/theme1.xml") + sheets + chain +
                      Rel(withFormula ? "rId7" : "rId6", "sharedStrings", "sharedStrings.xml") +
                      "</Relationships>");
        EXPECT_EQ(
            Part("xl/workbook.xml"),
            workbookHead +
                R"(<sheets><sheet name="A" sheetId="1" r:id="rId3"/><sheet )"
                R"(name="B" sheetId="2" r:id="rId4"/><sheet name="C" sheetId="3" r:id="rId5"/></sheets>)" +
                workbookTail);
        // The calculation chain names each sheet on its first formula only.
        EXPECT_EQ(Part("xl/calcChain.xml"),
                  withFormula ? xmlDeclaration + "<calcChain xmlns=\"" + ns_book +
                                    R"("><c i="1" r="B2"/><c r="C3"/><c i="3" r="A1"/></calcChain>)"
                              : "<missing>");
        EXPECT_EQ(xt::Count(Part("[Content_Types].xml"), "/xl/calcChain.xml"),
                  withFormula ? 1u : 0u);
    }
    // Shared strings in order of first use; edge whitespace preserved.
    EXPECT_EQ(
        Part("xl/sharedStrings.xml"),
        xmlDeclaration + "<sst xmlns=\"" + ns_book +
            R"(" count="4" uniqueCount="4"><si><t>no )"
            R"(formula</t></si><si><t xml:space="preserve"> lead</t></si><si><t xml:space="preserve">)"
            "trail\t"
            R"(</t></si>)"
            R"(<si><t>R&amp;D &lt;5&gt;</t></si></sst>)");
}

TEST_F(WorkbookParts, WorkbookWithoutSheets)
{
    CWorkbook book;
    Save(book);
    EXPECT_EQ(support::zipEntryNames(path), xt::FixedEntriesAnd({}));
    EXPECT_EQ(Part("xl/workbook.xml"), workbookHead + workbookTail);
    EXPECT_EQ(Part("xl/_rels/workbook.xml.rels"),
              workbookRels + Rel("rId1", "styles", "styles.xml") +
                  Rel("rId2", "theme", "theme/theme1.xml") + "</Relationships>");
    EXPECT_TRUE(xt::Has(Part("docProps/app.xml"),
                        "<TitlesOfParts><vt:vector size=\"0\" baseType=\"lpstr\"/>"));
    EXPECT_FALSE(xt::Has(Part("[Content_Types].xml"), "sharedStrings"));
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
    EXPECT_TRUE(xt::InOrder(
        Part("xl/styles.xml"),
        {"<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"_-* "
         "#,##0.00&quot;&quot;_-;\\-* #,##0.00&quot;"
         "&quot;_-;_-* &quot;-&quot;??&quot;&quot;_-;_-@_-\"/></numFmts><fonts",
         "<font><b/><i/><sz val=\"11\"/><name val=\"Liberation &amp; Sans\"/><charset val=\"204\"/>"
         "<color rgb=\"FF112233\"/></font>",
         "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFFF00\"/><bgColor "
         "rgb=\"FF00FF00\"/></patternFill>",
         "<border diagonalDown=\"1\"><left style=\"thin\"><color "
         "indexed=\"64\"/></left><right/><top/>"
         "<bottom style=\"double\"><color rgb=\"FF0000FF\"/></bottom><diagonal/></border>",
         "<xf numFmtId=\"164\" fontId=\"1\" fillId=\"0\" borderId=\"0\" applyFont=\"1\" "
         "applyNumberFormat=\"1\"/>"
         "<xf numFmtId=\"164\" fontId=\"1\" fillId=\"2\" borderId=\"1\" applyFont=\"1\" "
         "applyFill=\"1\" "
         "applyBorder=\"1\" applyNumberFormat=\"1\"><alignment horizontal=\"center\" "
         "vertical=\"bottom\" "
         "wrapText=\"1\"/></xf><xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
         "applyNumberFormat=\"1\"/></cellXfs>"}))
        << Part("xl/styles.xml");
}

TEST_F(WorkbookParts, ThemeIsFixedAndComplete)
{
    CWorkbook book;
    Save(book);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(Part("xl/theme/theme1.xml").c_str()));
    const pugi::xml_node root = document.child("a:theme");
    EXPECT_STREQ(root.attribute("xmlns:a").value(), ns_a);
    EXPECT_STREQ(root.attribute("name").value(), "Office Theme");
    const std::pair<const char*, size_t> counts[] = {
        {"a:themeElements/a:clrScheme/*", 12},
        {"a:themeElements/a:fontScheme/a:majorFont/*", 29},
        {"a:themeElements/a:fontScheme/a:minorFont/*", 29},
        {"//a:ea[@typeface='']", 2},
        {"//a:font[@script='Geor'][@typeface='Sylfaen']", 2},
        {"//a:fillStyleLst/*", 3},
        {"//a:lnStyleLst/*", 3},
        {"//a:effectStyleLst/*", 3},
        {"//a:bgFillStyleLst/*", 3},
        {"a:themeElements/a:fmtScheme//a:gs", 11},
        {"//a:effectStyle[3]/a:scene3d/a:lightRig/a:rot[@rev='1200000']", 1},
        {"a:objectDefaults", 1},
        {"a:extraClrSchemeLst", 1}};
    for (const auto& [path, count] : counts)
        EXPECT_EQ(root.select_nodes(path).size(), count) << path;
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
// past its threshold it becomes its file, every byte in order across the
// switch. Elsewhere it is a file from the start.
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
        MemoryParts::Taken taken;
        const bool held = MemoryParts::Take(c.folder, name, taken);
        EXPECT_EQ(held, c.inMemory);
        EXPECT_EQ(xt::fs::exists(PartPath(c.folder, name)), !c.inMemory);
        EXPECT_EQ(held ? taken.Bytes() : support::readFile(PartPath(c.folder, name)), expected);
    }
    // A folder dismissed takes no deposit: the part is reported lost.
    PartFile late(admitted, "xl/worksheets/late.xml", 16, PartFile::Keeping::MemoryWhileSmall);
    late.Stream() << "late";
    MemoryParts::Dismiss(admitted);
    EXPECT_FALSE(late.Close());
}
