#ifndef HORATAB_XLSX_STYLE_H
#define HORATAB_XLSX_STYLE_H

// Cell styles: fonts, fills, borders, number formats and alignment, and the
// list that numbers the styles of one workbook. The enumeration values are
// fixed; the styles part maps them to XML words by value.

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace SimpleXlsx {

enum EAlignHoriz
{
    ALIGN_H_NONE = 0,
    ALIGN_H_LEFT,
    ALIGN_H_CENTER,
    ALIGN_H_RIGHT
};

enum EAlignVert
{
    ALIGN_V_NONE = 0,
    ALIGN_V_TOP,
    ALIGN_V_CENTER,
    ALIGN_V_BOTTOM
};

enum ENumericStyleColor
{
    COLOR_NONE = 0,
    COLOR_BLACK,
    COLOR_GREEN,
    COLOR_WHITE,
    COLOR_BLUE,
    COLOR_MAGENTA,
    COLOR_YELLOW,
    COLOR_CYAN,
    COLOR_RED
};

enum ENumberStyle
{
    NUMBER_GENERAL = 0,
    NUMBER_FIXED,
    NUMBER_PERCENT,
    NUMBER_SCIENTIFIC,
    NUMBER_ACCOUNTING,
    NUMBER_CURRENCY,
    NUMBER_DATE,
    NUMBER_TIME,
    NUMBER_DATE_TIME
};

enum EBorderStyle
{
    BORDER_NONE = 0,
    BORDER_THIN,
    BORDER_MEDIUM,
    BORDER_DASHED,
    BORDER_DOTTED,
    BORDER_THICK,
    BORDER_DOUBLE,
    BORDER_HAIR,
    BORDER_MEDIUM_DASHED,
    BORDER_DASH_DOT,
    BORDER_MEDIUM_DASH_DOT,
    BORDER_DASH_DOT_DOT,
    BORDER_MEDIUM_DASH_DOT_DOT,
    BORDER_SLANT_DASH_DOT
};

enum EPatternType
{
    PATTERN_NONE = 0,
    PATTERN_SOLID,
    PATTERN_MEDIUM_GRAY,
    PATTERN_DARK_GRAY,
    PATTERN_LIGHT_GRAY,
    PATTERN_DARK_HORIZONTAL,
    PATTERN_DARK_VERTICAL,
    PATTERN_DARK_DOWN,
    PATTERN_DARK_UP,
    PATTERN_DARK_GRID,
    PATTERN_DARK_TRELLIS,
    PATTERN_LIGHT_HORIZONTAL,
    PATTERN_LIGHT_VERTICAL,
    PATTERN_LIGHT_DOWN,
    PATTERN_LIGHT_UP,
    PATTERN_LIGHT_GRID,
    PATTERN_LIGHT_TRELLIS,
    PATTERN_GRAY125,
    PATTERN_GRAY0625
};

enum EFontAttributes
{
    FONT_BOLD = 1,
    FONT_ITALIC = 2,
    FONT_UNDERLINED = 4,
    FONT_STRIKE = 8,
    FONT_OUTLINE = 16,
    FONT_SHADOW = 32,
    FONT_CONDENSE = 64,
    FONT_EXTEND = 128
};

struct Font
{
    uint32_t size;
    std::string name;
    bool theme;           // written with theme colour 1 (so is an empty color)
    std::string color;    // ARGB hex text for the rgb attribute
    uint32_t attributes;  // EFontAttributes bits

    Font() { Clear(); }
    void Clear()
    {
        size = 11;
        name = "Calibri";
        theme = true;
        color.clear();
        attributes = 0;
    }
    bool operator==(const Font& other) const
    {
        return size == other.size && name == other.name && theme == other.theme &&
               color == other.color && attributes == other.attributes;
    }
};

struct Fill
{
    EPatternType patternType;
    std::string fgColor;
    std::string bgColor;

    Fill() { Clear(); }
    void Clear()
    {
        patternType = PATTERN_NONE;
        fgColor.clear();
        bgColor.clear();
    }
    bool operator==(const Fill& other) const
    {
        return patternType == other.patternType && fgColor == other.fgColor &&
               bgColor == other.bgColor;
    }
};

struct Border
{
    struct BorderItem
    {
        EBorderStyle style;
        std::string color;  // empty: written as indexed colour 64

        BorderItem() { Clear(); }
        void Clear()
        {
            style = BORDER_NONE;
            color.clear();
        }
        bool operator==(const BorderItem& other) const
        {
            return color == other.color && style == other.style;
        }
    };

    BorderItem left;
    BorderItem right;
    BorderItem bottom;
    BorderItem top;
    BorderItem diagonal;
    bool isDiagonalUp;
    bool isDiagonalDown;

    Border() { Clear(); }
    void Clear()
    {
        isDiagonalUp = false;
        isDiagonalDown = false;
        left.Clear();
        right.Clear();
        bottom.Clear();
        top.Clear();
        diagonal.Clear();
    }
    bool operator==(const Border& other) const
    {
        return isDiagonalUp == other.isDiagonalUp && isDiagonalDown == other.isDiagonalDown &&
               left == other.left && right == other.right && bottom == other.bottom &&
               top == other.top && diagonal == other.diagonal;
    }
};

struct NumFormat
{
    static constexpr uint64_t firstCustomId = 164;

    // Ids below 164 are built-in formats; registration writes the assigned
    // id back, hence mutable.
    mutable uint64_t id;
    std::string formatString;  // used verbatim when not empty
    ENumberStyle numberStyle;
    ENumericStyleColor positiveColor;
    ENumericStyleColor negativeColor;
    ENumericStyleColor zeroColor;
    bool showThousandsSeparator;
    uint64_t numberOfDigitsAfterPoint;

    NumFormat() { Clear(); }
    void Clear()
    {
        id = firstCustomId;
        formatString.clear();
        numberStyle = NUMBER_GENERAL;
        positiveColor = COLOR_NONE;
        negativeColor = COLOR_NONE;
        zeroColor = COLOR_NONE;
        showThousandsSeparator = false;
        numberOfDigitsAfterPoint = 2;
    }
    // The id is not part of a format's identity.
    bool operator==(const NumFormat& other) const
    {
        return formatString == other.formatString && numberStyle == other.numberStyle &&
               numberOfDigitsAfterPoint == other.numberOfDigitsAfterPoint &&
               positiveColor == other.positiveColor && negativeColor == other.negativeColor &&
               zeroColor == other.zeroColor &&
               showThousandsSeparator == other.showThousandsSeparator;
    }
};

struct Style
{
    Font font;
    Fill fill;
    Border border;
    NumFormat numFormat;
    EAlignHoriz horizAlign;
    EAlignVert vertAlign;
    bool wrapText;

    Style() { Clear(); }
    // Resets everything but the number format.
    void Clear()
    {
        font.Clear();
        fill.Clear();
        border.Clear();
        horizAlign = ALIGN_H_NONE;
        vertAlign = ALIGN_V_NONE;
        wrapText = false;
    }
};

// Numbers the styles of a workbook. Each distinct component is kept once;
// list positions (and number-format ids) are what the styles part refers to.
class StyleList
{
public:
    // Per style: border position, font position, fill position, number-format id.
    using IndexRecord = std::vector<uint64_t>;
    using Position = std::tuple<EAlignHoriz, EAlignVert, bool>;

    StyleList() = default;

    // Registers the style and returns its index. A new custom number format
    // (id 164 or more) receives the next free id, also written into `style`.
    uint64_t Add(const Style& style);

    std::vector<IndexRecord> GetIndexes() const { return styleIndexes; }
    std::vector<Position> GetPositions() const { return stylePositions; }
    std::vector<Font> GetFonts() const { return fonts; }
    std::vector<Fill> GetFills() const { return fills; }
    std::vector<Border> GetBorders() const { return borders; }
    std::vector<NumFormat> GetNumFormats() const { return numFormats; }

private:
    uint64_t AddNumFormat(const NumFormat& format);

    uint64_t nextNumFormatId = NumFormat::firstCustomId;
    std::vector<Border> borders;
    std::vector<Font> fonts;
    std::vector<Fill> fills;
    std::vector<NumFormat> numFormats;
    std::vector<IndexRecord> styleIndexes;
    std::vector<Position> stylePositions;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_STYLE_H
