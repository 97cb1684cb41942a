// xl/comments<N>.xml and xl/drawings/vmlDrawing<N>.vml: the comments of
// worksheet N and the note boxes that show them.

#include "xlsx/Comment.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/Worksheet.h"
#include "xlsx/internal/XmlStream.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace SimpleXlsx {

namespace {

// The empty elements of the font attribute bits, in the order the run
// properties want them.
void AddFontAttributes(xmlw::XmlStream& xml, uint32_t attributes)
{
    static const std::pair<uint32_t, const char*> elements[] = {{FONT_BOLD, "b"},
                                                                {FONT_ITALIC, "i"},
                                                                {FONT_UNDERLINED, "u"},
                                                                {FONT_STRIKE, "strike"},
                                                                {FONT_OUTLINE, "outline"},
                                                                {FONT_SHADOW, "shadow"},
                                                                {FONT_CONDENSE, "condense"},
                                                                {FONT_EXTEND, "extend"}};
    for (const auto& element : elements)
        if ((attributes & element.first) != 0)
            xml << xmlw::tag(element.second) << xmlw::endtag();
}

void AddRunProperties(xmlw::XmlStream& xml, const Font& font)
{
    using namespace xmlw;
    xml << tag("rPr");
    AddFontAttributes(xml, font.attributes);
    xml << tag("sz") << attr("val") << font.size << endtag();
    xml << tag("rFont") << attr("val") << font.name << endtag();
    xml << tag("charset") << attr("val") << 1 << endtag();
    if (!font.theme && !font.color.empty())
        xml << tag("color") << attr("rgb") << font.color << endtag();
    else
        xml << tag("color") << attr("theme") << 1 << endtag();
    xml << endtag();
}

// "position:absolute; ..." when the box has a place and a size, then the
// visibility and the wrapping of text with line feeds.
std::string NoteBoxStyle(const Comment& comment)
{
    std::string style;
    if (comment.x >= 0 && comment.y >= 0 && comment.width > 0 && comment.height > 0)
        style = "position:absolute; margin-left:" + std::to_string(comment.x) +
                "pt;margin-top:" + std::to_string(comment.y) +
                "pt;width:" + std::to_string(comment.width) +
                "pt;height:" + std::to_string(comment.height) + "pt; z-index:2";
    if (comment.isHidden)
        style += ";visibility:hidden";
    if (comment.HasLineFeed())
        style += ";mso-wrap-style:tight";
    return style;
}

void AddDrawingHead(xmlw::XmlStream& xml)
{
    using namespace xmlw;
    xml << tag("xml") << attr("xmlns:v") << "urn:schemas-microsoft-com:vml" << attr("xmlns:o")
        << "urn:schemas-microsoft-com:office:office" << attr("xmlns:x")
        << "urn:schemas-microsoft-com:office:excel";
    xml << tag("o:shapelayout") << attr("v:ext") << "edit";
    xml << tag("o:idmap") << attr("v:ext") << "edit" << attr("data") << 1 << endtag();
    xml << endtag();
    xml << tag("v:shapetype") << attr("id") << "_x0000_t202" << attr("coordsize") << "21600,21600"
        << attr("o:spt") << 202 << attr("path") << "m,l,21600r21600,l21600,xe";
    xml << tag("v:stroke") << attr("joinstyle") << "miter" << endtag();
    xml << tag("v:path") << attr("gradientshapeok") << "t" << attr("o:connecttype") << "rect"
        << endtag();
    xml << endtag();
}

void AddComment(xmlw::XmlStream& xml, const Comment& comment)
{
    using namespace xmlw;
    xml << tag("comment") << attr("ref") << CWorksheet::GetCellCoord(comment.cellRef)
        << attr("authorId") << 0;
    xml << tag("text");
    for (const auto& run : comment.runs) {
        xml << tag("r");
        AddRunProperties(xml, run.first);
        xml << tag("t");
        if (xmlw::HasEdgeWhitespace(run.second))
            xml << attr("xml:space") << "preserve";
        xml << chardata() << run.second << endtag();
        xml << endtag();  // r
    }
    xml << endtag() << endtag();  // text, comment
}

// `shapeCounter` counts the note boxes drawn in the whole package.
void AddCommentDrawing(xmlw::XmlStream& xml, const Comment& comment, uint64_t& shapeCounter)
{
    using namespace xmlw;
    ++shapeCounter;
    const std::string shapeId = "_x0000_s" + std::to_string(shapeCounter + 1000);
    xml << tag("v:shape") << attr("id") << shapeId << attr("type") << "#_x0000_t202"
        << attr("style") << NoteBoxStyle(comment) << attr("fillcolor") << comment.fillColor
        << attr("o:insetmode") << "auto";
    xml << tag("v:fill") << attr("color2") << comment.fillColor << endtag();
    xml << tag("v:shadow") << attr("on") << "t" << attr("color") << "black" << attr("obscured")
        << "t" << endtag();
    xml << tag("v:path") << attr("o:connecttype") << "none" << endtag();
    xml << tag("v:textbox") << attr("style") << "mso-direction-alt:auto";
    xml << tag("div") << attr("style") << "text-align:left" << endtag();
    xml << endtag();  // v:textbox
    const uint32_t row = comment.cellRef.row > 0 ? comment.cellRef.row - 1 : 0;
    xml << tag("x:ClientData") << attr("ObjectType") << "Note";
    xml << tag("x:MoveWithCells") << endtag() << tag("x:SizeWithCells") << endtag();
    xml << tag("x:AutoFill") << chardata() << "False" << endtag();
    xml << tag("x:Row") << chardata() << row << endtag();
    xml << tag("x:Column") << chardata() << comment.cellRef.col << endtag();
    xml << endtag();  // x:ClientData
    xml << endtag();  // v:shape
}

bool SaveCommentList(const std::string& tempPath, const std::vector<const Comment*>& list,
                     uint64_t& shapeCounter)
{
    using namespace xmlw;
    if (list.empty())
        return true;
    const std::string number = std::to_string(list.front()->sheetIndex);

    const std::string commentsName = "xl/comments" + number + ".xml";
    PartFile commentsPart(tempPath, commentsName);
    {
        XmlStream xml(commentsPart.Stream());
        xml << prolog() << tag("comments") << attr("xmlns") << ns_book;
        xml << tag("authors") << tag("author") << chardata() << PackageAuthor() << endtag()
            << endtag();
        xml << tag("commentList");
        for (const Comment* comment : list)
            AddComment(xml, *comment);
    }
    const bool commentsWritten = commentsPart.Close();

    const std::string drawingName = "xl/drawings/vmlDrawing" + number + ".vml";
    PartFile drawingPart(tempPath, drawingName);
    {
        XmlStream xml(drawingPart.Stream());
        AddDrawingHead(xml);
        for (const Comment* comment : list)
            AddCommentDrawing(xml, *comment, shapeCounter);
    }
    return drawingPart.Close() && commentsWritten;
}

}  // namespace

bool SaveComments(const PackageView& package)
{
    const std::vector<Comment>& comments = package.comments;
    uint64_t shapeCounter = 0;
    std::vector<const Comment*> group;
    for (size_t i = 0; i < comments.size(); ++i) {
        group.push_back(&comments[i]);
        const bool groupEnds =
            i + 1 == comments.size() || comments[i + 1].sheetIndex != comments[i].sheetIndex;
        if (!groupEnds)
            continue;
        if (!SaveCommentList(package.tempPath, group, shapeCounter))
            return false;
        group.clear();
    }
    return true;
}

}  // namespace SimpleXlsx
