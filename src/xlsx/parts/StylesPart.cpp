// xl/styles.xml: number formats, fonts, fills, borders and one cell format
// per registered style.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/XmlStream.h"

#include <algorithm>
#include <locale>

namespace SimpleXlsx {

namespace {

const char* const patternWords[] = {
    "none",           "solid",           "mediumGray",    "darkGray",  "lightGray",
    "darkHorizontal", "darkVertical",    "darkDown",      "darkUp",    "darkGrid",
    "darkTrellis",    "lightHorizontal", "lightVertical", "lightDown", "lightUp",
    "lightGrid",      "lightTrellis",    "gray125",       "gray0625"};

const char* const borderWords[] = {"",
                                   "thin",
                                   "medium",
                                   "dashed",
                                   "dotted",
                                   "thick",
                                   "double",
                                   "hair",
                                   "mediumDashed",
                                   "dashDot",
                                   "mediumDashDot",
                                   "dashDotDot",
                                   "mediumDashDotDot",
                                   "slantDashDot"};

// Empty elements for the set attribute bits, in bit order.
const char* const fontAttributeElements[] = {"b",       "i",      "u",        "strike",
                                             "outline", "shadow", "condense", "extend"};

const char* const horizontalWords[] = {nullptr, "left", "center", "right"};
const char* const verticalWords[] = {nullptr, "top", "center", "bottom"};

// Spreadsheet programs show at most 30 decimal places; a larger count would
// only make an unusable (or unallocatable) format code.
constexpr uint64_t maxDigitsAfterPoint = 30;

template <size_t N>
const char* WordOf(const char* const (&words)[N], int value)
{
    return value >= 0 && static_cast<size_t>(value) < N ? words[value] : nullptr;
}

// The currency symbol of the environment's locale, whole; empty when the
// environment names no usable locale.
std::string LocalCurrencySymbol()
{
    try {
        const std::locale environment("");
        return std::use_facet<std::moneypunct<char, false>>(environment).curr_symbol();
    } catch (const std::exception&) {
        return std::string();
    }
}

void WriteCellFormat(xmlw::XmlStream& xml, const StyleList::IndexRecord& record,
                     const StyleList::Position& position)
{
    using namespace xmlw;
    const uint64_t border = record[0], font = record[1], fill = record[2], numFormat = record[3];
    xml << tag("xf") << attr("numFmtId") << numFormat << attr("fontId") << font << attr("fillId")
        << fill << attr("borderId") << border;
    if (font != 0)
        xml << attr("applyFont") << "1";
    if (fill != 0)
        xml << attr("applyFill") << "1";
    if (border != 0)
        xml << attr("applyBorder") << "1";
    if (numFormat != 0)
        xml << attr("applyNumberFormat") << "1";

    const EAlignHoriz horizontal = std::get<0>(position);
    const EAlignVert vertical = std::get<1>(position);
    const bool wrap = std::get<2>(position);
    if (horizontal != ALIGN_H_NONE || vertical != ALIGN_V_NONE || wrap) {
        xml << tag("alignment");
        if (const char* word = WordOf(horizontalWords, horizontal))
            xml << attr("horizontal") << word;
        if (const char* word = WordOf(verticalWords, vertical))
            xml << attr("vertical") << word;
        if (wrap)
            xml << attr("wrapText") << "1";
        xml << endtag();
    }
    xml << endtag();
}

void WriteFixedTail(xmlw::XmlStream& xml)
{
    using namespace xmlw;
    xml << tag("cellStyles") << attr("count") << "1" << tag("cellStyle") << attr("name") << "Normal"
        << attr("xfId") << "0" << attr("builtinId") << "0" << endtag() << endtag();
    xml << tag("dxfs") << attr("count") << "0" << endtag();
    xml << tag("tableStyles") << attr("count") << "0" << attr("defaultTableStyle")
        << "TableStyleMedium2" << attr("defaultPivotStyle") << "PivotStyleLight16" << endtag();
    xml << tag("extLst") << tag("ext") << attr("uri") << "{EB79DEF2-80B8-43e5-95BD-54CBDDF9020C}"
        << attr("xmlns:x14") << ns_x14 << tag("x14:slicerStyles") << attr("defaultSlicerStyle")
        << "SlicerStyleLight1" << endtag() << endtag() << endtag();
}

void AddNumberFormats(xmlw::XmlStream& xml, const StyleList& styleList)
{
    using namespace xmlw;
    const std::vector<NumFormat> formats = styleList.GetNumFormats();
    size_t customCount = 0;
    for (const NumFormat& format : formats)
        if (format.id >= NumFormat::firstCustomId)
            ++customCount;
    if (customCount == 0)
        return;

    xml << tag("numFmts") << attr("count") << customCount;
    for (const NumFormat& format : formats)
        if (format.id >= NumFormat::firstCustomId)
            xml << tag("numFmt") << attr("numFmtId") << format.id << attr("formatCode")
                << GetFormatCodeString(format) << endtag();
    xml << endtag();
}

void AddFonts(xmlw::XmlStream& xml, const StyleList& styleList)
{
    using namespace xmlw;
    const std::vector<Font> fonts = styleList.GetFonts();
    xml << tag("fonts") << attr("count") << fonts.size();
    for (const Font& font : fonts) {
        xml << tag("font");
        for (size_t bit = 0; bit < 8; ++bit)
            if (font.attributes & (1u << bit))
                xml << tag(fontAttributeElements[bit]) << endtag();
        xml << tag("sz") << attr("val") << font.size << endtag();
        xml << tag("name") << attr("val") << font.name << endtag();
        xml << tag("charset") << attr("val") << "204" << endtag();
        if (font.theme || font.color.empty())
            xml << tag("color") << attr("theme") << "1" << endtag();
        else
            xml << tag("color") << attr("rgb") << font.color << endtag();
        xml << endtag();
    }
    xml << endtag();
}

void AddFills(xmlw::XmlStream& xml, const StyleList& styleList)
{
    using namespace xmlw;
    const std::vector<Fill> fills = styleList.GetFills();
    xml << tag("fills") << attr("count") << fills.size();
    for (const Fill& fill : fills) {
        const char* word = WordOf(patternWords, fill.patternType);
        xml << tag("fill") << tag("patternFill") << attr("patternType")
            << (word != nullptr ? word : "");
        if (!fill.fgColor.empty())
            xml << tag("fgColor") << attr("rgb") << fill.fgColor << endtag();
        if (!fill.bgColor.empty())
            xml << tag("bgColor") << attr("rgb") << fill.bgColor << endtag();
        xml << endtag() << endtag();
    }
    xml << endtag();
}

void AddBorder(xmlw::XmlStream& xml, const char* borderName, const Border::BorderItem& item)
{
    using namespace xmlw;
    const char* word = WordOf(borderWords, item.style);
    xml << tag(borderName);
    if (word != nullptr && *word != '\0') {
        xml << attr("style") << word << tag("color");
        if (!item.color.empty())
            xml << attr("rgb") << item.color;
        else
            xml << attr("indexed") << "64";
        xml << endtag();
    }
    xml << endtag();
}

void AddBorders(xmlw::XmlStream& xml, const StyleList& styleList)
{
    using namespace xmlw;
    const std::vector<Border> borders = styleList.GetBorders();
    xml << tag("borders") << attr("count") << borders.size();
    for (const Border& border : borders) {
        xml << tag("border");
        if (border.isDiagonalUp)
            xml << attr("diagonalUp") << "1";
        if (border.isDiagonalDown)
            xml << attr("diagonalDown") << "1";
        AddBorder(xml, "left", border.left);
        AddBorder(xml, "right", border.right);
        AddBorder(xml, "top", border.top);
        AddBorder(xml, "bottom", border.bottom);
        AddBorder(xml, "diagonal", border.diagonal);
        xml << endtag();
    }
    xml << endtag();
}

}  // namespace

std::string GetFormatCodeColor(ENumericStyleColor color)
{
    static const char* const colorCodes[] = {
        "", "[BLACK]", "[Green]", "[White]", "[Blue]", "[Magenta]", "[Yellow]", "[Cyan]", "[Red]"};
    const char* code = WordOf(colorCodes, color);
    return code != nullptr ? code : "";
}

// The code is returned with plain quotation marks; the XML writer turns them
// into &quot; in the formatCode attribute.
std::string GetFormatCodeString(const NumFormat& format)
{
    if (!format.formatString.empty())
        return format.formatString;

    switch (format.numberStyle) {
    case NUMBER_DATE:
        return "yyyy.mm.dd";
    case NUMBER_TIME:
        return "hh:mm:ss";
    case NUMBER_DATE_TIME:
        return "yyyy.mm.dd hh:mm:ss";
    default:
        break;
    }

    const std::string thousands = format.showThousandsSeparator ? "#,##" : "";
    std::string digits = "0";
    if (format.numberOfDigitsAfterPoint != 0)
        digits +=
            "." + std::string(std::min(format.numberOfDigitsAfterPoint, maxDigitsAfterPoint), '0');

    if (format.numberStyle == NUMBER_ACCOUNTING) {
        const std::string currency = "\"" + LocalCurrencySymbol() + "\"";
        return GetFormatCodeColor(format.positiveColor) + "_-* " + thousands + digits + currency +
               "_-;" + GetFormatCodeColor(format.negativeColor) + "\\-* " + thousands + digits +
               currency + "_-;" + "_-* \"-\"??" + currency + "_-;_-@_-";
    }

    std::string postfix;
    switch (format.numberStyle) {
    case NUMBER_GENERAL:
    case NUMBER_FIXED:
        break;
    case NUMBER_PERCENT:
        postfix = "%";
        break;
    case NUMBER_SCIENTIFIC:
        postfix = "E+00";
        break;
    case NUMBER_CURRENCY:
        postfix = "\"" + LocalCurrencySymbol() + "\"";
        break;
    default:
        return std::string();
    }

    const bool positiveSection = format.positiveColor != COLOR_NONE;
    const bool negativeSection = positiveSection || format.negativeColor != COLOR_NONE;
    const bool zeroSection = positiveSection || format.zeroColor != COLOR_NONE;

    std::string code = GetFormatCodeColor(format.positiveColor) + thousands + digits + postfix;
    if (negativeSection)
        code +=
            ";" + GetFormatCodeColor(format.negativeColor) + "\\-" + thousands + digits + postfix;
    if (zeroSection) {
        if (!negativeSection)
            code += ";";
        code += ";" + GetFormatCodeColor(format.zeroColor) + "0" + postfix;
    }
    return code;
}

bool SaveStyles(const PackageView& package)
{
    using namespace xmlw;
    PartFile part(package.tempPath, "xl/styles.xml");
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("styleSheet") << attr("xmlns") << ns_book << attr("xmlns:mc")
            << ns_mc << attr("mc:Ignorable") << "x14ac" << attr("xmlns:x14ac") << ns_x14ac;
        AddNumberFormats(xml, package.styleList);
        AddFonts(xml, package.styleList);
        AddFills(xml, package.styleList);
        AddBorders(xml, package.styleList);

        xml << tag("cellStyleXfs") << attr("count") << "1" << tag("xf") << attr("numFmtId") << "0"
            << attr("fontId") << "0" << attr("fillId") << "0" << attr("borderId") << "0" << endtag()
            << endtag();

        const std::vector<StyleList::IndexRecord> indexes = package.styleList.GetIndexes();
        const std::vector<StyleList::Position> positions = package.styleList.GetPositions();
        xml << tag("cellXfs");
        for (size_t i = 0; i < indexes.size() && i < positions.size(); ++i)
            WriteCellFormat(xml, indexes[i], positions[i]);
        xml << endtag();

        WriteFixedTail(xml);
    }
    return part.Close();
}

}  // namespace SimpleXlsx
