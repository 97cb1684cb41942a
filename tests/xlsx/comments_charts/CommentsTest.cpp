#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PackageReading.h"
#include "xlsx/Comment.h"
#include "xlsx/Workbook.h"

using namespace SimpleXlsx;
using namespace cctest;

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";
const std::string kVmlHead =
    "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
    "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" "
    "data=\"1\"/></o:shapelayout><v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" "
    "path=\"m,l,21600r21600,l21600,xe\"><v:stroke joinstyle=\"miter\"/><v:path gradientshapeok=\"t\" "
    "o:connecttype=\"rect\"/></v:shapetype>";

std::vector<std::pair<Font, std::string>> OneRun(const std::string& text) { return {{Font(), text}}; }

// A comment with a box of the given place and size.
Comment Boxed(CellCoord cell, const std::string& text, int32_t x, int32_t y, int32_t width, int32_t height,
              bool hidden)
{
    Comment comment(cell, OneRun(text));
    comment.x = x;
    comment.y = y;
    comment.width = width;
    comment.height = height;
    comment.isHidden = hidden;
    return comment;
}

// The "style" attribute of the n-th note box (from 0) of a drawing.
std::string ShapeStyle(const std::string& drawing, size_t n)
{
    size_t at = 0;
    for (size_t i = 0; i <= n; ++i) {
        at = drawing.find("<v:shape id=", at);
        if (at == std::string::npos) return "<no shape>";
        at += 1;
    }
    const size_t begin = drawing.find(" style=\"", at) + 8;
    return drawing.substr(begin, drawing.find('"', begin) - begin);
}

}  // namespace

TEST(Comments, TwoWorksheetsAddedForTheSecondFirstReadBackInOrder)
{
    PackageScratch scratch;
    ScopedEnv user("USERNAME", "ann");
    const std::string path = scratch.Output("comments.xlsx");
    {
        CWorkbook book;
        CWorksheet& data = book.AddSheet("Data");
        CWorksheet& notes = book.AddSheet("Notes");
        data.AddRow(std::vector<CellDataStr>{"Mon", "Tue"});
        notes.AddRow(std::vector<CellDataInt>{1, 2});

        Font bold;
        bold.attributes = FONT_BOLD;
        ASSERT_TRUE(notes.AddComment(CellCoord(2, 1), "on the second sheet"));
        ASSERT_TRUE(data.AddComment(CellCoord(1, 0), {{bold, "Head:"}, {Font(), " first"}}));
        ASSERT_TRUE(data.AddComment(CellCoord(3, 2), "second on the first"));
        ASSERT_TRUE(book.Save(path));
    }
    EXPECT_TRUE(scratch.TemporaryFilesRemoved());
    EXPECT_EQ(EntryNames(path),
              FixedEntriesAnd({"xl/comments1.xml", "xl/drawings/vmlDrawing1.vml", "xl/comments2.xml",
                               "xl/drawings/vmlDrawing2.vml", "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml",
                               "xl/worksheets/_rels/sheet1.xml.rels", "xl/worksheets/sheet2.xml",
                               "xl/worksheets/_rels/sheet2.xml.rels"}));

    // Note boxes are numbered across the whole workbook.
    const std::string first = ReadEntry(path, "xl/drawings/vmlDrawing1.vml");
    const std::string second = ReadEntry(path, "xl/drawings/vmlDrawing2.vml");
    EXPECT_TRUE(AppearInOrder(first, {"id=\"_x0000_s1001\"", "<x:Row>0</x:Row><x:Column>0</x:Column>",
                                      "id=\"_x0000_s1002\"", "<x:Row>2</x:Row><x:Column>2</x:Column>"}))
        << first;
    EXPECT_EQ(CountOf(first, "<v:shape "), 2u);
    EXPECT_TRUE(AppearInOrder(second, {"id=\"_x0000_s1003\"", "<x:Row>1</x:Row><x:Column>1</x:Column>"})) << second;
    EXPECT_EQ(CountOf(second, "<v:shape "), 1u);

    const std::string types = ReadEntry(path, "[Content_Types].xml");
    EXPECT_TRUE(AppearInOrder(
        types, {"<Default Extension=\"vml\" ContentType=\"application/vnd.openxmlformats-officedocument.vmlDrawing\"/>",
                "<Override PartName=\"/xl/comments1.xml\"", "<Override PartName=\"/xl/comments2.xml\"",
                "<Override PartName=\"/xl/worksheets/sheet1.xml\""}))
        << types;
    for (const char* sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"})
        EXPECT_TRUE(AppearInOrder(ReadEntry(path, sheet), {"<pageSetup ", "<legacyDrawing r:id=\"rId1\"/>"}));
    EXPECT_NE(ReadEntry(path, "xl/worksheets/_rels/sheet2.xml.rels")
                  .find("Target=\"../drawings/vmlDrawing2.vml\"/><Relationship Id=\"rId2\""),
              std::string::npos);

    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "Data", "cells": {"A1": "Mon"}}, {"name": "Notes"}],
        "comments": {"Data": {"A1": {"text": "Head: first", "author": "ann"},
                              "C3": {"text": "second on the first", "author": "ann"}},
                     "Notes": {"B2": {"text": "on the second sheet", "author": "ann"}}}})J"),
              "OK");
}

TEST(Comments, OneCommentPartsAreWrittenExactly)
{
    PackageScratch scratch;
    ScopedEnv user("USERNAME", "ann");
    const std::string path = scratch.Output("exact.xlsx");
    CWorkbook book;
    CWorksheet& sheet = book.AddSheet("One");
    Font font;
    font.size = 9;
    font.name = "Tahoma";
    font.attributes = FONT_ITALIC | FONT_BOLD;
    font.theme = false;  // without a colour: the theme colour after all
    Comment comment(CellCoord(1, 0), {{font, "Note"}});
    comment.width = 0;
    comment.isHidden = true;
    ASSERT_TRUE(sheet.AddComment(comment));
    ASSERT_TRUE(book.Save(path));

    EXPECT_EQ(ReadEntry(path, "xl/comments1.xml"),
              kDeclaration +
                  "<comments xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><authors>"
                  "<author>ann</author></authors><commentList><comment ref=\"A1\" authorId=\"0\"><text><r><rPr>"
                  "<b/><i/><sz val=\"9\"/><rFont val=\"Tahoma\"/><charset val=\"1\"/><color theme=\"1\"/></rPr>"
                  "<t>Note</t></r></text></comment></commentList></comments>");
    EXPECT_EQ(ReadEntry(path, "xl/drawings/vmlDrawing1.vml"),
              kVmlHead +
                  "<v:shape id=\"_x0000_s1001\" type=\"#_x0000_t202\" style=\";visibility:hidden\" "
                  "fillcolor=\"#FFFFE1\" o:insetmode=\"auto\"><v:fill color2=\"#FFFFE1\"/><v:shadow on=\"t\" "
                  "color=\"black\" obscured=\"t\"/><v:path o:connecttype=\"none\"/><v:textbox "
                  "style=\"mso-direction-alt:auto\"><div style=\"text-align:left\"/></v:textbox><x:ClientData "
                  "ObjectType=\"Note\"><x:MoveWithCells/><x:SizeWithCells/><x:AutoFill>False</x:AutoFill>"
                  "<x:Row>0</x:Row><x:Column>0</x:Column></x:ClientData></v:shape></xml>");
    EXPECT_EQ(ReadEntry(path, "xl/worksheets/_rels/sheet1.xml.rels"),
              kDeclaration +
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing\" "
                  "Target=\"../drawings/vmlDrawing1.vml\"/><Relationship Id=\"rId2\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments\" "
                  "Target=\"../comments1.xml\"/></Relationships>");
}

TEST(Comments, RunPropertiesFollowTheFontAttributesAndColour)
{
    PackageScratch scratch;
    const std::string path = scratch.Output("runs.xlsx");
    CWorkbook book;
    Font every;
    every.attributes = 255;
    every.theme = false;
    every.color = "FFFF0000";
    Font themed;
    themed.color = "FF00FF00";  // theme wins over a colour
    ASSERT_TRUE(book.AddSheet("One").AddComment(CellCoord(1, 0), {{every, "all"}, {themed, "plain"}}));
    ASSERT_TRUE(book.Save(path));
    const std::string part = ReadEntry(path, "xl/comments1.xml");
    EXPECT_NE(part.find("<rPr><b/><i/><u/><strike/><outline/><shadow/><condense/><extend/><sz val=\"11\"/>"
                        "<rFont val=\"Calibri\"/><charset val=\"1\"/><color rgb=\"FFFF0000\"/></rPr><t>all</t>"),
              std::string::npos)
        << part;
    EXPECT_NE(part.find("<rPr><sz val=\"11\"/><rFont val=\"Calibri\"/><charset val=\"1\"/><color theme=\"1\"/></rPr>"
                        "<t>plain</t>"),
              std::string::npos)
        << part;
}

TEST(Comments, NoteBoxStyleFollowsPlaceSizeVisibilityAndLineFeeds)
{
    PackageScratch scratch;
    const std::string path = scratch.Output("boxes.xlsx");
    CWorkbook book;
    CWorksheet& sheet = book.AddSheet("One");
    ASSERT_TRUE(sheet.AddComment(Boxed(CellCoord(1, 0), "placed", 10, 20, 100, 50, true)));
    ASSERT_TRUE(sheet.AddComment(Boxed(CellCoord(2, 0), "no width, shown", 10, 20, 0, 50, false)));
    ASSERT_TRUE(sheet.AddComment(Boxed(CellCoord(3, 0), "two\nlines", 10, 20, 100, 50, false)));
    ASSERT_TRUE(sheet.AddComment(Boxed(CellCoord(4, 0), "left of the sheet", -1, 20, 100, 50, true)));
    ASSERT_TRUE(sheet.AddComment(Boxed(CellCoord(5, 0), "no height", 0, 0, 100, 0, false)));
    ASSERT_TRUE(book.Save(path));
    const std::string drawing = ReadEntry(path, "xl/drawings/vmlDrawing1.vml");
    const std::string placed = "position:absolute; margin-left:10pt;margin-top:20pt;width:100pt;height:50pt; z-index:2";
    EXPECT_EQ(ShapeStyle(drawing, 0), placed + ";visibility:hidden");
    EXPECT_EQ(ShapeStyle(drawing, 1), "");
    EXPECT_EQ(ShapeStyle(drawing, 2), placed + ";mso-wrap-style:tight");
    EXPECT_EQ(ShapeStyle(drawing, 3), ";visibility:hidden");
    EXPECT_EQ(ShapeStyle(drawing, 4), "");
    // Comments of one worksheet keep the order in which they were added.
    EXPECT_TRUE(AppearInOrder(drawing, {"<x:Row>0<", "<x:Row>1<", "<x:Row>2<", "<x:Row>3<", "<x:Row>4<"}));
}

TEST(Comments, NewCommentGetsAHiddenBoxBesideItsCellAndSortsBySheetOnly)
{
    const Comment comment(CellCoord(3, 2), OneRun("x"));
    EXPECT_EQ(comment.fillColor, "#FFFFE1");
    EXPECT_TRUE(comment.isHidden);
    EXPECT_EQ(comment.width, 108);
    EXPECT_EQ(comment.height, 60);
    EXPECT_EQ(comment.x, 3 * 48 + 12);  // right of column C
    EXPECT_EQ(comment.y, 2 * 15 - 4);   // a little above row 3
    EXPECT_EQ(Comment(CellCoord(1, 0), OneRun("x")).y, 0);

    Comment low(CellCoord(9, 9), OneRun("x")), high(CellCoord(1, 0), OneRun("x"));
    low.sheetIndex = 1;
    high.sheetIndex = 2;
    EXPECT_TRUE(low < high);
    EXPECT_FALSE(high < low);
    high.sheetIndex = 1;
    EXPECT_FALSE(low < high);  // the cell does not count
}

TEST(Comments, AuthorFillColourAndTextAreEscaped)
{
    PackageScratch scratch;
    ScopedEnv user("USERNAME", "A&B <\"x\">");
    const std::string path = scratch.Output("escaped.xlsx");
    CWorkbook book;
    // Spaces around a run survive reading only with xml:space.
    Comment comment(CellCoord(1, 0), {{Font(), "1 < 2 & \"3\" > 0 \x01"}, {Font(), " see\nbelow "}});
    comment.fillColor = "#FF\"><evil a=\"";
    ASSERT_TRUE(book.AddSheet("One").AddComment(comment));
    ASSERT_TRUE(book.Save(path));
    const std::string part = ReadEntry(path, "xl/comments1.xml");
    const std::string drawing = ReadEntry(path, "xl/drawings/vmlDrawing1.vml");
    EXPECT_TRUE(IsWellFormedXml(part)) << part;
    EXPECT_TRUE(IsWellFormedXml(drawing)) << drawing;
    EXPECT_NE(part.find("<author>A&amp;B &lt;\"x\"&gt;</author>"), std::string::npos) << part;
    EXPECT_NE(part.find("<t>1 &lt; 2 &amp; \"3\" &gt; 0 _x0001_</t>"), std::string::npos) << part;
    EXPECT_NE(part.find("<t xml:space=\"preserve\"> see\nbelow </t>"), std::string::npos) << part;
    EXPECT_NE(drawing.find("fillcolor=\"#FF&quot;&gt;&lt;evil a=&quot;\""), std::string::npos) << drawing;
    EXPECT_EQ(CheckPackage(path, R"J({"comments": {"One": {"A1": {"text": "1 < 2 & \"3\" > 0 _x0001_ see\nbelow ",
                                                             "author": "A&B <\"x\">"}}}})J"),
              "OK");
}

TEST(Comments, AuthorIsUnknownWithoutUsernameAndLongNamesAreCut)
{
    PackageScratch scratch;
    {
        ScopedEnv user("USERNAME", nullptr);
        const std::string path = scratch.Output("unknown.xlsx");
        CWorkbook book;
        ASSERT_TRUE(book.AddSheet("One").AddComment(CellCoord(1, 0), "x"));
        ASSERT_TRUE(book.Save(path));
        EXPECT_NE(ReadEntry(path, "xl/comments1.xml").find("<author>Unknown</author>"), std::string::npos);
    }
    // 129 two-byte characters and one more: cut to 259 bytes on a boundary.
    std::string name;
    for (int i = 0; i < 130; ++i) name += "\xC3\xA9";
    ScopedEnv user("USERNAME", name.c_str());
    const std::string path = scratch.Output("long.xlsx");
    CWorkbook book;
    ASSERT_TRUE(book.AddSheet("One").AddComment(CellCoord(1, 0), "x"));
    ASSERT_TRUE(book.Save(path));
    EXPECT_NE(ReadEntry(path, "xl/comments1.xml").find("<author>" + name.substr(0, 258) + "</author>"),
              std::string::npos);
}

TEST(Comments, AddCommentRefusesWhatCannotBeWritten)
{
    PackageScratch scratch;
    CWorksheet detached;
    EXPECT_FALSE(detached.AddComment(CellCoord(1, 0), "no workbook"));
    EXPECT_FALSE(detached.IsThereComment());

    CWorkbook book;
    CWorksheet& sheet = book.AddSheet("One");
    EXPECT_FALSE(sheet.AddComment(CellCoord(0, 0), "row 0"));
    EXPECT_FALSE(sheet.AddComment(CellCoord(kMaxRows + 1, 0), "below the sheet"));
    EXPECT_FALSE(sheet.AddComment(CellCoord(1, kMaxColumns), "right of the sheet"));
    EXPECT_FALSE(sheet.AddComment(CellCoord(1, 0), std::vector<std::pair<Font, std::string>>{}));
    EXPECT_FALSE(sheet.AddComment(CellCoord(1, 0), {{Font(), ""}, {Font(), ""}}));
    EXPECT_FALSE(sheet.IsThereComment());

    Comment elsewhere(CellCoord(kMaxRows, kMaxColumns - 1), OneRun("last cell"));
    elsewhere.sheetIndex = 7;  // replaced by the worksheet's own index
    EXPECT_TRUE(sheet.AddComment(elsewhere));
    EXPECT_TRUE(sheet.IsThereComment());
    EXPECT_FALSE(sheet.AddComment(CellCoord(kMaxRows, kMaxColumns - 1), "same cell again"));

    const std::string path = scratch.Output("refusals.xlsx");
    ASSERT_TRUE(book.Save(path));
    EXPECT_FALSE(sheet.AddComment(CellCoord(2, 0), "after saving"));
    EXPECT_EQ(EntryNames(path), FixedEntriesAnd({"xl/comments1.xml", "xl/drawings/vmlDrawing1.vml",
                                                 "xl/worksheets/sheet1.xml", "xl/worksheets/_rels/sheet1.xml.rels"}));
    const std::string part = ReadEntry(path, "xl/comments1.xml");
    EXPECT_EQ(CountOf(part, "<comment "), 1u);
    EXPECT_NE(part.find("<comment ref=\"XFD1048576\""), std::string::npos);
    EXPECT_NE(ReadEntry(path, "xl/drawings/vmlDrawing1.vml").find("<x:Row>1048575</x:Row><x:Column>16383</x:Column>"),
              std::string::npos);
    EXPECT_EQ(CheckPackage(path, R"J({"comments": {"One": {"XFD1048576": {"text": "last cell"}}}})J"), "OK");
}

TEST(Comments, OnlyTheWorksheetsWithCommentsGetCommentParts)
{
    PackageScratch scratch;
    const std::string plainPath = scratch.Output("plain.xlsx");
    CWorkbook plain;
    plain.AddSheet("One").AddRow(std::vector<CellDataInt>{1});
    ASSERT_TRUE(plain.Save(plainPath));
    EXPECT_EQ(EntryNames(plainPath), FixedEntriesAnd({"xl/worksheets/sheet1.xml"}));
    EXPECT_EQ(ReadEntry(plainPath, "[Content_Types].xml").find("vml"), std::string::npos);
    EXPECT_EQ(ReadEntry(plainPath, "xl/worksheets/sheet1.xml").find("legacyDrawing"), std::string::npos);

    const std::string path = scratch.Output("some.xlsx");
    CWorkbook book;
    book.AddSheet("One");
    CWorksheet& two = book.AddSheet("Two");
    book.AddSheet("Three");
    ASSERT_TRUE(two.AddComment(CellCoord(1, 0), "only here"));
    ASSERT_TRUE(book.Save(path));
    EXPECT_EQ(EntryNames(path), FixedEntriesAnd({"xl/comments2.xml", "xl/drawings/vmlDrawing2.vml",
                                                 "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml",
                                                 "xl/worksheets/_rels/sheet2.xml.rels", "xl/worksheets/sheet3.xml"}));
    const std::string types = ReadEntry(path, "[Content_Types].xml");
    EXPECT_EQ(CountOf(types, "/xl/comments"), 1u);
    EXPECT_NE(types.find("\"/xl/comments2.xml\""), std::string::npos);
    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "One"}, {"name": "Two"}, {"name": "Three"}],
        "comments": {"One": {}, "Two": {"A1": {"text": "only here"}}, "Three": {}}})J"),
              "OK");
}
