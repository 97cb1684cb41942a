#include "WorkbookPartsAccess.h"

#include "xlsx/XmlStream.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>

using namespace SimpleXlsx;
using Access = WorkbookPartsAccess;
using testsupport::declaration;

namespace
{

class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        const char* previous = std::getenv(name);
        hadValue = previous != nullptr;
        if (hadValue)
            saved = previous;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (hadValue)
            setenv(name, saved.c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    bool hadValue = false;
    std::string saved;
};

// Every workbook of a test keeps its temporary directory in a scratch folder.
class WorkbookParts : public testing::Test
{
protected:
    WorkbookParts() : tmpdir("TMPDIR", scratch.path.c_str()), locale("LC_ALL", "C") {}

    // A workbook without sheets has no temporary directory of its own yet.
    void GiveTempDir(CWorkbook& book) { Access::SetTempPath(book, scratch.path + "/nosheets"); }

    testsupport::ScratchDir scratch;
    ScopedEnv tmpdir;
    ScopedEnv locale;
};

void AddTextRow(CWorksheet& sheet, std::initializer_list<const char*> texts)
{
    sheet.BeginRow();
    for (const char* text : texts)
        sheet.AddCell(CellDataStr(text));
    sheet.EndRow();
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size()))
        ++count;
    return count;
}

std::string Rel(const std::string& id, const char* type, const std::string& target)
{
    return "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
}

std::string Override(const std::string& part, const char* type)
{
    return "<Override PartName=\"" + part + "\" ContentType=\"" + type + "\"/>";
}

const std::string workbookHead = std::string("<workbook xmlns=\"") + ns_book + "\" xmlns:r=\"" + ns_book_r +
                                 "\"><fileVersion appName=\"xl\" lastEdited=\"5\" lowestEdited=\"5\" "
                                 "rupBuild=\"9302\"/><workbookPr codeName=\"ThisWorkbook\" "
                                 "defaultThemeVersion=\"124226\"/><bookViews><workbookView xWindow=\"270\" "
                                 "yWindow=\"630\" windowWidth=\"24615\" windowHeight=\"11445\"/></bookViews>";
const std::string workbookTail = "<calcPr calcId=\"124519\"/></workbook>";

} // namespace

TEST_F(WorkbookParts, WorkbookAndRelationshipsOfOneSheetWithSharedStrings)
{
    CWorkbook book;
    CWorksheet& sheet = book.AddSheet("Sheet 1");
    AddTextRow(sheet, {"Mon"});
    ASSERT_TRUE(Access::SaveWorkbook(book));

    EXPECT_EQ(Access::ReadPart(book, "xl/_rels/workbook.xml.rels"),
              declaration + "<Relationships xmlns=\"" + ns_relationships + "\">" +
                  Rel("rId1", type_style, "styles.xml") + Rel("rId2", type_theme, "theme/theme1.xml") +
                  Rel("rId3", type_sheet, "worksheets/sheet1.xml") +
                  Rel("rId4", type_sharedStr, "sharedStrings.xml") + "</Relationships>");
    EXPECT_EQ(Access::ReadPart(book, "xl/workbook.xml"),
              declaration + workbookHead + "<sheets><sheet name=\"Sheet 1\" sheetId=\"1\" r:id=\"rId3\"/></sheets>" +
                  workbookTail);
}

TEST_F(WorkbookParts, RelationshipIdsWithAndWithoutFormulas)
{
    CWorkbook plain;
    AddTextRow(plain.AddSheet("A"), {"x"});
    plain.AddSheet("B");
    ASSERT_TRUE(Access::SaveWorkbook(plain));
    const std::string plainRels = Access::ReadPart(plain, "xl/_rels/workbook.xml.rels");
    EXPECT_NE(plainRels.find(Rel("rId4", type_sheet, "worksheets/sheet2.xml") +
                             Rel("rId5", type_sharedStr, "sharedStrings.xml") + "</Relationships>"),
              std::string::npos)
        << plainRels;
    EXPECT_EQ(Count(plainRels, type_chain), 0u);

    CWorkbook withFormula;
    AddTextRow(withFormula.AddSheet("A"), {"x"});
    AddTextRow(withFormula.AddSheet("B"), {"=A1*2"});
    ASSERT_TRUE(Access::SaveWorkbook(withFormula));
    const std::string rels = Access::ReadPart(withFormula, "xl/_rels/workbook.xml.rels");
    EXPECT_NE(rels.find(Rel("rId3", type_sheet, "worksheets/sheet1.xml") +
                        Rel("rId4", type_sheet, "worksheets/sheet2.xml") + Rel("rId5", type_chain, "calcChain.xml") +
                        Rel("rId6", type_sharedStr, "sharedStrings.xml") + "</Relationships>"),
              std::string::npos)
        << rels;
    const std::string workbook = Access::ReadPart(withFormula, "xl/workbook.xml");
    EXPECT_NE(workbook.find("<sheets><sheet name=\"A\" sheetId=\"1\" r:id=\"rId3\"/><sheet name=\"B\" sheetId=\"2\" "
                            "r:id=\"rId4\"/></sheets>"),
              std::string::npos)
        << workbook;
}

TEST_F(WorkbookParts, NoSheetsAndNoSharedStrings)
{
    CWorkbook book;
    GiveTempDir(book);
    ASSERT_TRUE(Access::SaveWorkbook(book));
    ASSERT_TRUE(Access::SaveApp(book));
    ASSERT_TRUE(Access::SaveContentType(book));
    ASSERT_TRUE(Access::SaveSharedStrings(book));
    EXPECT_EQ(Access::ReadPart(book, "xl/workbook.xml"), declaration + workbookHead + workbookTail);
    EXPECT_EQ(Access::ReadPart(book, "xl/_rels/workbook.xml.rels"),
              declaration + "<Relationships xmlns=\"" + ns_relationships + "\">" +
                  Rel("rId1", type_style, "styles.xml") + Rel("rId2", type_theme, "theme/theme1.xml") +
                  "</Relationships>");
    const std::string app = Access::ReadPart(book, "docProps/app.xml");
    EXPECT_NE(app.find("<TitlesOfParts><vt:vector size=\"0\" baseType=\"lpstr\"/></TitlesOfParts>"), std::string::npos)
        << app;
    EXPECT_NE(app.find("<vt:i4>0</vt:i4>"), std::string::npos) << app;
    EXPECT_EQ(Count(Access::ReadPart(book, "[Content_Types].xml"), "sharedStrings"), 0u);
    EXPECT_TRUE(Access::ReadPart(book, "xl/sharedStrings.xml").empty());
    const auto& files = Access::ContentFiles(book);
    EXPECT_EQ(std::count(files.begin(), files.end(), "xl/sharedStrings.xml"), 0);
}

TEST_F(WorkbookParts, ContentTypesListEveryPart)
{
    CWorkbook book;
    AddTextRow(book.AddSheet("One"), {"a"});
    AddTextRow(book.AddSheet("Two"), {"=1+1"});
    ASSERT_TRUE(Access::SaveContentType(book));
    EXPECT_EQ(Access::ReadPart(book, "[Content_Types].xml"),
              declaration + "<Types xmlns=\"" + ns_content_types + "\">" +
                  "<Default Extension=\"rels\" ContentType=\"" + content_rels + "\"/>" +
                  "<Default Extension=\"xml\" ContentType=\"" + content_xml + "\"/>" +
                  Override("/xl/workbook.xml", content_book) + Override("/xl/theme/theme1.xml", content_theme) +
                  Override("/xl/styles.xml", content_styles) + Override("/docProps/core.xml", content_core) +
                  Override("/docProps/app.xml", content_app) +
                  Override("/xl/sharedStrings.xml", content_sharedStr) +
                  Override("/xl/worksheets/sheet1.xml", content_sheet) +
                  Override("/xl/worksheets/sheet2.xml", content_sheet) +
                  Override("/xl/calcChain.xml", content_chain) + "</Types>");
    // The calculation chain is written along and listed for packing.
    const auto& files = Access::ContentFiles(book);
    EXPECT_EQ(std::count(files.begin(), files.end(), "xl/calcChain.xml"), 1);
    EXPECT_EQ(Access::ReadPart(book, "xl/calcChain.xml"),
              declaration + "<calcChain xmlns=\"" + ns_book + "\"><c i=\"2\" r=\"A1\"/></calcChain>");
}

TEST_F(WorkbookParts, CalcChainNamesTheSheetOnItsFirstCell)
{
    CWorkbook book;
    CWorksheet& first = book.AddSheet("First");
    first.BeginRow();
    first.BeginRow();
    first.AddCell();
    first.AddCell(CellDataStr("=A1+1"));
    first.BeginRow();
    first.AddCell();
    first.AddCell();
    first.AddCell(CellDataStr("=B2*2"));
    first.EndRow();
    AddTextRow(book.AddSheet("Second"), {"no formula"});
    AddTextRow(book.AddSheet("Third"), {"=PI()"});
    ASSERT_TRUE(Access::SaveChain(book));
    EXPECT_EQ(Access::ReadPart(book, "xl/calcChain.xml"),
              declaration + "<calcChain xmlns=\"" + ns_book +
                  "\"><c i=\"1\" r=\"B2\"/><c r=\"C3\"/><c i=\"3\" r=\"A1\"/></calcChain>");
}

TEST_F(WorkbookParts, SharedStringsInOrderOfFirstUse)
{
    CWorkbook book;
    AddTextRow(book.AddSheet("A"), {"Mon", "Fri", "Mon"});
    AddTextRow(book.AddSheet("B"), {"Fri", " lead", "trail\t", "in side", "R&D <5> \"q\""});
    ASSERT_TRUE(Access::SaveSharedStrings(book));
    EXPECT_EQ(Access::ReadPart(book, "xl/sharedStrings.xml"),
              declaration + "<sst xmlns=\"" + ns_book + "\" count=\"6\" uniqueCount=\"6\">" +
                  "<si><t>Mon</t></si><si><t>Fri</t></si>" +
                  "<si><t xml:space=\"preserve\"> lead</t></si><si><t xml:space=\"preserve\">trail\t</t></si>" +
                  "<si><t>in side</t></si><si><t>R&amp;D &lt;5&gt; \"q\"</t></si></sst>");
    const auto& files = Access::ContentFiles(book);
    EXPECT_EQ(std::count(files.begin(), files.end(), "xl/sharedStrings.xml"), 1);
}

TEST_F(WorkbookParts, AppPropertiesListTheTitles)
{
    CWorkbook book;
    book.AddSheet("Summary");
    book.AddSheet("Smith & Co");
    ASSERT_TRUE(Access::SaveApp(book));
    EXPECT_EQ(Access::ReadPart(book, "docProps/app.xml"),
              declaration + "<Properties xmlns=\"" + ns_doc_prop + "\" xmlns:vt=\"" + ns_vt + "\">" +
                  "<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity>"
                  "<ScaleCrop>false</ScaleCrop><HeadingPairs><vt:vector size=\"2\" baseType=\"variant\">"
                  "<vt:variant><vt:lpstr>Worksheets</vt:lpstr></vt:variant><vt:variant><vt:i4>2</vt:i4></vt:variant>"
                  "</vt:vector></HeadingPairs><TitlesOfParts><vt:vector size=\"2\" baseType=\"lpstr\">"
                  "<vt:lpstr>Summary</vt:lpstr><vt:lpstr>Smith &amp; Co</vt:lpstr></vt:vector></TitlesOfParts>"
                  "<Company></Company><LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
                  "<HyperlinksChanged>false</HyperlinksChanged><AppVersion>14.03</AppVersion></Properties>");
}

TEST_F(WorkbookParts, CorePropertiesAndPackageRelationships)
{
    CWorkbook book;
    book.AddSheet("S");
    {
        ScopedEnv noUser("USERNAME", nullptr);
        ASSERT_TRUE(Access::SaveCore(book));
    }
    const std::string core = Access::ReadPart(book, "docProps/core.xml");
    const std::string head = declaration + "<cp:coreProperties xmlns:cp=\"" + ns_cp + "\" xmlns:dc=\"" + ns_dc +
                             "\" xmlns:dcterms=\"" + ns_dcterms + "\" xmlns:dcmitype=\"" + ns_dcmitype +
                             "\" xmlns:xsi=\"" + ns_xsi +
                             "\"><dc:creator>Unknown</dc:creator><cp:lastModifiedBy>Unknown</cp:lastModifiedBy>"
                             "<dcterms:created xsi:type=\"dcterms:W3CDTF\">";
    ASSERT_EQ(core.compare(0, head.size(), head), 0) << core;
    // Both dates carry the same UTC timestamp, as in 2026-12-05T17:34:17Z.
    const std::string stamp = core.substr(head.size(), 20);
    EXPECT_EQ(stamp.size(), 20u);
    EXPECT_EQ(stamp[4], '-');
    EXPECT_EQ(stamp[10], 'T');
    EXPECT_EQ(stamp[19], 'Z');
    EXPECT_EQ(core.substr(head.size() + 20),
              "</dcterms:created><dcterms:modified xsi:type=\"dcterms:W3CDTF\">" + stamp +
                  "</dcterms:modified></cp:coreProperties>");

    EXPECT_EQ(Access::ReadPart(book, "_rels/.rels"),
              declaration + "<Relationships xmlns=\"" + ns_relationships + "\">" +
                  Rel("rId3", type_app, "docProps/app.xml") + Rel("rId2", type_core, "docProps/core.xml") +
                  Rel("rId1", type_book, "xl/workbook.xml") + "</Relationships>");
}

TEST_F(WorkbookParts, AuthorIsEscapedAndCutOnACharacterBoundary)
{
    CWorkbook book;
    book.AddSheet("S");
    {
        ScopedEnv user("USERNAME", "<Smith & Jones>");
        ASSERT_TRUE(Access::SaveCore(book));
    }
    EXPECT_NE(Access::ReadPart(book, "docProps/core.xml").find("<dc:creator>&lt;Smith &amp; Jones&gt;</dc:creator>"),
              std::string::npos);

    // 258 bytes and a two-byte character: 260 bytes, cut before the character.
    const std::string longName = std::string(258, 'a') + "\xC3\xA9";
    {
        ScopedEnv user("USERNAME", longName.c_str());
        ASSERT_TRUE(Access::SaveCore(book));
    }
    EXPECT_NE(Access::ReadPart(book, "docProps/core.xml")
                  .find("<cp:lastModifiedBy>" + std::string(258, 'a') + "</cp:lastModifiedBy>"),
              std::string::npos);
}

TEST_F(WorkbookParts, DefaultStylesPart)
{
    CWorkbook book;
    book.AddSheet("S");
    ASSERT_TRUE(Access::SaveStyles(book));
    EXPECT_EQ(Access::ReadPart(book, "xl/styles.xml"),
              declaration + "<styleSheet xmlns=\"" + ns_book + "\" xmlns:mc=\"" + ns_mc +
                  "\" mc:Ignorable=\"x14ac\" xmlns:x14ac=\"" + ns_x14ac + "\">" +
                  "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><charset val=\"204\"/>"
                  "<color theme=\"1\"/></font></fonts>"
                  "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
                  "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
                  "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
                  "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
                  "</cellStyleXfs><cellXfs><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
                  "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"1\" borderId=\"0\" applyFill=\"1\"/></cellXfs>"
                  "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
                  "<dxfs count=\"0\"/><tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium2\" "
                  "defaultPivotStyle=\"PivotStyleLight16\"/><extLst>"
                  "<ext uri=\"{EB79DEF2-80B8-43e5-95BD-54CBDDF9020C}\" xmlns:x14=\"" + ns_x14 + "\">"
                  "<x14:slicerStyles defaultSlicerStyle=\"SlicerStyleLight1\"/></ext></extLst></styleSheet>");
}

TEST_F(WorkbookParts, RegisteredStylesReachTheStylesPart)
{
    CWorkbook book;
    book.AddSheet("S");
    StyleList& styles = book.GetStyleList();

    Style accounting;
    accounting.numFormat.numberStyle = NUMBER_ACCOUNTING;
    accounting.numFormat.showThousandsSeparator = true;
    accounting.font.attributes = FONT_ITALIC | FONT_BOLD;
    accounting.font.theme = false;
    accounting.font.color = "FF112233";
    accounting.font.name = "Liberation & Sans";
    EXPECT_EQ(styles.Add(accounting), 2u);

    Style bordered = accounting;
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
    EXPECT_EQ(styles.Add(bordered), 3u);

    Style date;
    date.numFormat.id = 14;
    date.numFormat.numberStyle = NUMBER_DATE;
    EXPECT_EQ(styles.Add(date), 4u);

    ASSERT_TRUE(Access::SaveStyles(book));
    const std::string part = Access::ReadPart(book, "xl/styles.xml");
    auto contains = [&](const std::string& text) { return part.find(text) != std::string::npos; };

    EXPECT_TRUE(contains("<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"_-* #,##0.00&quot;&quot;_-;"
                         "\\-* #,##0.00&quot;&quot;_-;_-* &quot;-&quot;??&quot;&quot;_-;_-@_-\"/></numFmts><fonts"))
        << part;
    EXPECT_TRUE(contains("<font><b/><i/><sz val=\"11\"/><name val=\"Liberation &amp; Sans\"/><charset val=\"204\"/>"
                         "<color rgb=\"FF112233\"/></font>"))
        << part;
    EXPECT_TRUE(contains("<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFFF00\"/>"
                         "<bgColor rgb=\"FF00FF00\"/></patternFill></fill>"))
        << part;
    EXPECT_TRUE(contains("<border diagonalDown=\"1\"><left style=\"thin\"><color indexed=\"64\"/></left><right/>"
                         "<top/><bottom style=\"double\"><color rgb=\"FF0000FF\"/></bottom><diagonal/></border>"))
        << part;
    EXPECT_TRUE(contains("<xf numFmtId=\"164\" fontId=\"1\" fillId=\"0\" borderId=\"0\" applyFont=\"1\" "
                         "applyNumberFormat=\"1\"/>"
                         "<xf numFmtId=\"164\" fontId=\"1\" fillId=\"2\" borderId=\"1\" applyFont=\"1\" "
                         "applyFill=\"1\" applyBorder=\"1\" applyNumberFormat=\"1\"><alignment horizontal=\"center\" "
                         "vertical=\"bottom\" wrapText=\"1\"/></xf>"
                         "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" applyNumberFormat=\"1\"/>"
                         "</cellXfs>"))
        << part;
    EXPECT_EQ(Count(part, "<numFmt "), 1u);
}

TEST_F(WorkbookParts, ThemeIsFixedAndComplete)
{
    CWorkbook first;
    first.AddSheet("S");
    CWorkbook second;
    AddTextRow(second.AddSheet("Other"), {"x"});
    ASSERT_TRUE(Access::SaveTheme(first));
    ASSERT_TRUE(Access::SaveTheme(second));
    const std::string theme = Access::ReadPart(first, "xl/theme/theme1.xml");
    EXPECT_EQ(theme, Access::ReadPart(second, "xl/theme/theme1.xml"));

    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(theme.c_str()));
    const pugi::xml_node root = document.child("a:theme");
    EXPECT_STREQ(root.attribute("xmlns:a").value(), ns_a);
    EXPECT_STREQ(root.attribute("name").value(), "Office Theme");
    const pugi::xml_node elements = root.child("a:themeElements");
    EXPECT_EQ(std::distance(elements.child("a:clrScheme").begin(), elements.child("a:clrScheme").end()), 12);
    for (const char* fontList : {"a:majorFont", "a:minorFont"})
    {
        const pugi::xml_node fonts = elements.child("a:fontScheme").child(fontList);
        EXPECT_EQ(std::distance(fonts.begin(), fonts.end()), 29) << fontList;
        EXPECT_FALSE(fonts.child("a:ea").attribute("typeface").empty());
        EXPECT_STREQ(fonts.child("a:ea").attribute("typeface").value(), "");
        EXPECT_STREQ(fonts.child("a:cs").attribute("typeface").value(), "");
        EXPECT_STREQ(fonts.find_child_by_attribute("a:font", "script", "Geor").attribute("typeface").value(),
                     "Sylfaen");
    }
    const pugi::xml_node formats = elements.child("a:fmtScheme");
    for (const char* list : {"a:fillStyleLst", "a:lnStyleLst", "a:effectStyleLst", "a:bgFillStyleLst"})
        EXPECT_EQ(std::distance(formats.child(list).begin(), formats.child(list).end()), 3) << list;
    EXPECT_EQ(formats.select_nodes(".//a:gs").size(), 3u + 3u + 3u + 2u);
    EXPECT_STREQ(formats.select_node("a:bgFillStyleLst/a:gradFill[1]/a:path/a:fillToRect").node().attribute("t").value(),
                 "-80000");
    EXPECT_STREQ(formats.select_node("a:lnStyleLst/a:ln[1]/a:solidFill/a:schemeClr/a:shade").node().attribute("val").value(),
                 "95000");
    EXPECT_STREQ(formats.select_node("a:effectStyleLst/a:effectStyle[3]/a:scene3d/a:lightRig/a:rot").node()
                     .attribute("rev").value(),
                 "1200000");
    const std::string ending = "</a:themeElements><a:objectDefaults/><a:extraClrSchemeLst/></a:theme>";
    ASSERT_GT(theme.size(), ending.size());
    EXPECT_EQ(theme.substr(theme.size() - ending.size()), ending);
}

TEST_F(WorkbookParts, PartThatCannotBeCreatedFails)
{
    CWorkbook book;
    AddTextRow(book.AddSheet("S"), {"text", "=1+2"});
    std::ofstream(scratch.path + "/blocker") << "a file where a directory should be";
    Access::SetTempPath(book, scratch.path + "/blocker");
    EXPECT_FALSE(Access::SaveCore(book));
    EXPECT_FALSE(Access::SaveApp(book));
    EXPECT_FALSE(Access::SaveContentType(book));
    EXPECT_FALSE(Access::SaveWorkbook(book));
    EXPECT_FALSE(Access::SaveStyles(book));
    EXPECT_FALSE(Access::SaveSharedStrings(book));
    EXPECT_FALSE(Access::SaveChain(book));
    EXPECT_FALSE(Access::SaveTheme(book));
}
