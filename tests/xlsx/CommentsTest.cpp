#include "xlsx/Comment.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/PackageSheets.h"

#include "XlsxTest.h"

using namespace SimpleXlsx;
using xt::InOrder;
using xt::xmlDeclaration;

namespace {

// A comment with a box of the given place, size and visibility.
Comment Boxed(uint32_t row, const std::string& text, int32_t x, int32_t width, int32_t height,
              bool hidden)
{
    Comment comment(CellCoord(row, 0), {{Font(), text}});
    comment.x = x;
    comment.y = 20;
    comment.width = width;
    comment.height = height;
    comment.isHidden = hidden;
    return comment;
}

// The "style" attribute of each note box of a drawing.
std::vector<std::string> ShapeStyles(const std::string& drawing)
{
    std::vector<std::string> styles;
    for (size_t at = drawing.find("<v:shape id="); at != std::string::npos;
         at = drawing.find("<v:shape id=", at + 1)) {
        const size_t begin = drawing.find(" style=\"", at) + 8;
        styles.push_back(drawing.substr(begin, drawing.find('"', begin) - begin));
    }
    return styles;
}

}  // namespace

TEST(Comments, TwoWorksheetsAddedForTheSecondFirstReadBackInOrder)
{
    support::ScratchFolder scratch;
    support::ScopedEnv user("USERNAME", "ann");
    const std::string path = scratch.file("comments.xlsx");
    {
        CWorkbook book;
        CWorksheet& data = book.AddSheet("Data");
        CWorksheet& notes = book.AddSheet("Notes");
        book.AddSheet("Plain").AddRow(std::vector<CellDataInt>{1});
        data.AddRow(std::vector<CellDataStr>{"Mon", "Tue"});
        Font bold;
        bold.attributes = FONT_BOLD;
        ASSERT_TRUE(notes.AddComment(CellCoord(2, 1), "on the second sheet"));
        ASSERT_TRUE(data.AddComment(CellCoord(1, 0), {{bold, "Head:"}, {Font(), " first"}}));
        ASSERT_TRUE(data.AddComment(CellCoord(3, 2), "second on the first"));
        ASSERT_TRUE(book.Save(path));
    }
    EXPECT_EQ(scratch.temporaryFiles(), 0u);
    EXPECT_EQ(
        support::zipEntryNames(path),
        xt::FixedEntriesAnd({"xl/comments1.xml", "xl/drawings/vmlDrawing1.vml", "xl/comments2.xml",
                             "xl/drawings/vmlDrawing2.vml", "xl/sharedStrings.xml",
                             "xl/worksheets/sheet1.xml", "xl/worksheets/_rels/sheet1.xml.rels",
                             "xl/worksheets/sheet2.xml", "xl/worksheets/_rels/sheet2.xml.rels",
                             "xl/worksheets/sheet3.xml"}));
    // Note boxes are numbered across the workbook; rows and columns count from 0.
    const std::string first = support::zipEntry(path, "xl/drawings/vmlDrawing1.vml");
    EXPECT_TRUE(InOrder(first, {"id=\"_x0000_s1001\"", "<x:Row>0</x:Row><x:Column>0</x:Column>",
                                "id=\"_x0000_s1002\"", "<x:Row>2</x:Row><x:Column>2</x:Column>"}))
        << first;
    EXPECT_EQ(xt::Count(first, "<v:shape "), 2u);
    EXPECT_TRUE(InOrder(support::zipEntry(path, "xl/drawings/vmlDrawing2.vml"),
                        {"id=\"_x0000_s1003\"", "<x:Row>1</x:Row><x:Column>1</x:Column>"}));
    EXPECT_TRUE(InOrder(
        support::zipEntry(path, "[Content_Types].xml"),
        {"<Default Extension=\"vml\" ContentType=\"application/vnd.openxmlformats-officedocument."
         "vmlDrawing\"/>",
         "\"/xl/comments1.xml\"", "\"/xl/comments2.xml\"", "\"/xl/worksheets/sheet1.xml\""}));
    for (const char* sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"})
        EXPECT_TRUE(InOrder(support::zipEntry(path, sheet),
                            {"<pageSetup ", "<legacyDrawing r:id=\"rId1\"/>"}));
    EXPECT_FALSE(xt::Has(support::zipEntry(path, "xl/worksheets/sheet3.xml"), "legacyDrawing"));
    EXPECT_EQ(support::checkPackage(path, xt::Reference("two-sheets-comments.json")), "OK");
}

TEST(Comments, OneCommentPartsAreWrittenExactly)
{
    support::ScratchFolder scratch;
    support::ScopedEnv user("USERNAME", "ann");
    const std::string path = scratch.file("exact.xlsx");
    CWorkbook book;
    Font tahoma, every, themed;
    tahoma.size = 9;
    tahoma.name = "Tahoma";
    tahoma.attributes = FONT_ITALIC | FONT_BOLD;
    tahoma.theme = false;  // without a colour: the theme colour after all
    every.attributes = 255;
    every.theme = false;
    every.color = "FFFF0000";
    themed.color = "FF00FF00";  // the theme wins over a colour
    Comment comment(CellCoord(1, 0), {{tahoma, "Note"}, {every, "all"}, {themed, "plain"}});
    comment.width = 0;
    comment.isHidden = true;
    ASSERT_TRUE(book.AddSheet("One").AddComment(comment));
    ASSERT_TRUE(book.Save(path));
    EXPECT_EQ(support::zipEntry(path, "xl/comments1.xml"), xt::Reference("one-comment.xml"));
    EXPECT_EQ(support::zipEntry(path, "xl/drawings/vmlDrawing1.vml"),
              xt::Reference("one-comment.vml"));
}

TEST(Comments, NoteBoxStyleFollowsPlaceSizeVisibilityAndLineFeeds)
{
    support::ScratchFolder scratch;
    const std::string path = scratch.file("boxes.xlsx");
    CWorkbook book;
    CWorksheet& sheet = book.AddSheet("One");
    for (const Comment& comment :
         {Boxed(1, "placed", 10, 100, 50, true), Boxed(2, "no width, shown", 10, 0, 50, false),
          Boxed(3, "two\nlines", 10, 100, 50, false),
          Boxed(4, "left of the sheet", -1, 100, 50, true),
          Boxed(5, "no height", 0, 100, 0, false)})
        ASSERT_TRUE(sheet.AddComment(comment));
    ASSERT_TRUE(book.Save(path));
    const std::string drawing = support::zipEntry(path, "xl/drawings/vmlDrawing1.vml");
    const std::string placed =
        "position:absolute; margin-left:10pt;margin-top:20pt;width:100pt;height:50pt; z-index:2";
    EXPECT_EQ(ShapeStyles(drawing), (std::vector<std::string>{placed + ";visibility:hidden", "",
                                                              placed + ";mso-wrap-style:tight",
                                                              ";visibility:hidden", ""}));
    EXPECT_TRUE(
        InOrder(drawing, {"<x:Row>0<", "<x:Row>1<", "<x:Row>2<", "<x:Row>3<", "<x:Row>4<"}));
}

TEST(Comments, AuthorFillColourAndTextAreEscapedOrCut)
{
    std::string accents;
    for (int i = 0; i < 130; ++i)
        accents += "\xC3\xA9";  // 260 bytes: cut to 258 on a boundary
    const std::pair<const char*, std::string> users[] = {{nullptr, "Unknown"},
                                                         {accents.c_str(), accents.substr(0, 258)},
                                                         {"A&B <\"x\">", "A&amp;B &lt;\"x\"&gt;"}};
    for (const auto& [user, written] : users) {
        support::ScratchFolder scratch;
        support::ScopedEnv name("USERNAME", user);
        const std::string path = scratch.file("escaped.xlsx");
        CWorkbook book;
        // Spaces around a run survive reading only with xml:space.
        Comment comment(CellCoord(1, 0),
                        {{Font(), "1 < 2 & \"3\" > 0 \x01"}, {Font(), " see\nbelow "}});
        comment.fillColor = "#FF\"><evil a=\"";
        ASSERT_TRUE(book.AddSheet("One").AddComment(comment));
        ASSERT_TRUE(book.Save(path));
        const std::string part = support::zipEntry(path, "xl/comments1.xml");
        EXPECT_TRUE(xt::Has(part, "<author>" + written + "</author>"));
        EXPECT_TRUE(xt::Has(support::zipEntry(path, "docProps/core.xml"),
                            "<dc:creator>" + written + "</dc:creator><cp:lastModifiedBy>" +
                                written + "</cp:lastModifiedBy>"));
        if (user == nullptr || user == accents.c_str())
            continue;
        EXPECT_TRUE(InOrder(part, {"<t>1 &lt; 2 &amp; \"3\" &gt; 0 _x0001_</t>",
                                   "<t xml:space=\"preserve\"> see\nbelow </t>"}));
        EXPECT_TRUE(xt::Has(support::zipEntry(path, "xl/drawings/vmlDrawing1.vml"),
                            "fillcolor=\"#FF&quot;&gt;&lt;evil a=&quot;\""));
        EXPECT_EQ(
            support::checkPackage(
                path,
                R"J({"comments": {"One": {"A1": {"text": "1 < 2 & \"3\" > 0 _x0001_ see\nbelow ",
                                                           "author": "A&B <\"x\">"}}}})J"),
            "OK");
    }
}

TEST(Comments, AddCommentRefusesWhatCannotBeWritten)
{
    support::ScratchFolder scratch;
    PackageWorksheet detached;
    EXPECT_FALSE(detached.AddComment(CellCoord(1, 0), "no workbook"));
    CWorkbook book;
    CWorksheet& sheet = book.AddSheet("One");
    EXPECT_FALSE(sheet.AddComment(CellCoord(0, 0), "row 0"));
    EXPECT_FALSE(sheet.AddComment(CellCoord(maxRows + 1, 0), "below the sheet"));
    EXPECT_FALSE(sheet.AddComment(CellCoord(1, maxColumns), "right of the sheet"));
    EXPECT_FALSE(sheet.AddComment(CellCoord(1, 0), std::vector<std::pair<Font, std::string>>{}));
    EXPECT_FALSE(sheet.AddComment(CellCoord(1, 0), {{Font(), ""}, {Font(), ""}}));
    EXPECT_FALSE(sheet.IsThereComment());
    Comment last(CellCoord(maxRows, maxColumns - 1), {{Font(), "last cell"}});
    last.sheetIndex = 7;  // replaced by the worksheet's own index
    EXPECT_TRUE(sheet.AddComment(last));
    EXPECT_FALSE(sheet.AddComment(CellCoord(maxRows, maxColumns - 1), "same cell again"));
    const std::string path = scratch.file("refusals.xlsx");
    ASSERT_TRUE(book.Save(path));
    EXPECT_FALSE(sheet.AddComment(CellCoord(2, 0), "after saving"));
    EXPECT_EQ(xt::Count(support::zipEntry(path, "xl/comments1.xml"), "<comment "), 1u);
    EXPECT_TRUE(xt::Has(support::zipEntry(path, "xl/drawings/vmlDrawing1.vml"),
                        "<x:Row>1048575</x:Row><x:Column>16383</x:Column>"));
    EXPECT_EQ(support::checkPackage(
                  path, R"J({"comments": {"One": {"XFD1048576": {"text": "last cell"}}}})J"),
              "OK");
}
