#include "xlsx/Comment.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/PackageSheets.h"

#include "XlsxTest.h"

using namespace SimpleXlsx;
using xt::InOrder;

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

using Comments = xt::Package;

}  // namespace

TEST_F(Comments, TwoWorksheetsAddedForTheSecondFirstReadBackInOrder)
{
    support::ScopedEnv user("USERNAME", "ann");
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
        Save(book);
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
    EXPECT_EQ(Part("xl/drawings/vmlDrawing1.vml"), xt::Reference("two-sheets-comments1.vml"));
    EXPECT_EQ(Part("xl/drawings/vmlDrawing2.vml"), xt::Reference("two-sheets-comments2.vml"));
    EXPECT_EQ(Part("[Content_Types].xml"), xt::Reference("two-sheets-comments-types.xml"));
    for (const char* sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"})
        EXPECT_TRUE(InOrder(Part(sheet), {"<pageSetup ", "<legacyDrawing r:id=\"rId1\"/>"}));
    EXPECT_FALSE(xt::Has(Part("xl/worksheets/sheet3.xml"), "legacyDrawing"));
    EXPECT_EQ(support::checkPackage(path, xt::Reference("two-sheets-comments.json")), "OK");
}

TEST_F(Comments, OneCommentPartsAreWrittenExactly)
{
    support::ScopedEnv user("USERNAME", "ann");
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
    Save(book);
    EXPECT_EQ(Part("xl/comments1.xml"), xt::Reference("one-comment.xml"));
    EXPECT_EQ(Part("xl/drawings/vmlDrawing1.vml"), xt::Reference("one-comment.vml"));
}

// Note boxes are placed, sized and shown as asked; a line feed wraps tight.
TEST_F(Comments, NoteBoxStyleFollowsPlaceSizeVisibilityAndLineFeeds)
{
    CWorkbook book;
    CWorksheet& sheet = book.AddSheet("One");
    for (const Comment& comment :
         {Boxed(1, "placed", 10, 100, 50, true), Boxed(2, "no width, shown", 10, 0, 50, false),
          Boxed(3, "two\nlines", 10, 100, 50, false),
          Boxed(4, "left of the sheet", -1, 100, 50, true),
          Boxed(5, "no height", 0, 100, 0, false)})
        ASSERT_TRUE(sheet.AddComment(comment));
    Save(book);
    EXPECT_EQ(Part("xl/drawings/vmlDrawing1.vml"), xt::Reference("note-boxes.vml"));
}

TEST_F(Comments, AuthorFillColourAndTextAreEscapedOrCut)
{
    std::string accents;
    for (int i = 0; i < 130; ++i)
        accents += "\xC3\xA9";  // 260 bytes: cut to 258 on a boundary
    const std::pair<const char*, std::string> users[] = {{nullptr, "Unknown"},
                                                         {accents.c_str(), accents.substr(0, 258)},
                                                         {"A&B <\"x\">", "A&amp;B &lt;\"x\"&gt;"}};
    for (const auto& [user, written] : users) {
        support::ScopedEnv name("USERNAME", user);
        CWorkbook book;
        // Spaces around a run survive reading only with xml:space.
        Comment comment(CellCoord(1, 0),
                        {{Font(), "1 < 2 & \"3\" > 0 \x01"}, {Font(), " see\nbelow "}});
        comment.fillColor = "#FF\"><evil a=\"";
        ASSERT_TRUE(book.AddSheet("One").AddComment(comment));
        Save(book);
        const std::string part = Part("xl/comments1.xml");
        EXPECT_TRUE(xt::Has(part, "<author>" + written + "</author>"));
        EXPECT_TRUE(xt::Has(Part("docProps/core.xml"), "<dc:creator>" + written +
                                                           "</dc:creator><cp:lastModifiedBy>" +
                                                           written + "</cp:lastModifiedBy>"));
        if (user == nullptr || user == accents.c_str())
            continue;
        EXPECT_TRUE(InOrder(part, {"<t>1 &lt; 2 &amp; \"3\" &gt; 0 _x0001_</t>",
                                   "<t xml:space=\"preserve\"> see\nbelow </t>"}));
        EXPECT_TRUE(xt::Has(Part("xl/drawings/vmlDrawing1.vml"),
                            "fillcolor=\"#FF&quot;&gt;&lt;evil a=&quot;\""));
        EXPECT_EQ(
            support::checkPackage(
                path,
                R"J({"comments": {"One": {"A1": {"text": "1 < 2 & \"3\" > 0 _x0001_ see\nbelow ",
                                                           "author": "A&B <\"x\">"}}}})J"),
            "OK");
    }
}

TEST_F(Comments, AddCommentRefusesWhatCannotBeWritten)
{
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
    Save(book);
    EXPECT_FALSE(sheet.AddComment(CellCoord(2, 0), "after saving"));
    EXPECT_EQ(xt::Count(Part("xl/comments1.xml"), "<comment "), 1u);
    EXPECT_TRUE(xt::Has(Part("xl/drawings/vmlDrawing1.vml"),
                        "<x:Row>1048575</x:Row><x:Column>16383</x:Column>"));
    EXPECT_EQ(support::checkPackage(
                  path, R"J({"comments": {"One": {"XFD1048576": {"text": "last cell"}}}})J"),
              "OK");
}
