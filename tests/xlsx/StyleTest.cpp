#include "xlsx/Style.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/PartWriters.h"

#include "XlsxTest.h"

using namespace SimpleXlsx;

namespace {

using Record = StyleList::IndexRecord;

NumFormat Format(ENumberStyle style, uint64_t digits, bool thousands = false,
                 ENumericStyleColor positive = COLOR_NONE, ENumericStyleColor negative = COLOR_NONE,
                 ENumericStyleColor zero = COLOR_NONE)
{
    NumFormat format;
    format.numberStyle = style;
    format.numberOfDigitsAfterPoint = digits;
    format.showThousandsSeparator = thousands;
    format.positiveColor = positive;
    format.negativeColor = negative;
    format.zeroColor = zero;
    return format;
}

}  // namespace

TEST(StyleList, DefaultsAndDeduplication)
{
    CWorkbook book;  // registers the two default styles
    StyleList& list = book.GetStyleList();
    ASSERT_EQ(list.GetIndexes().size(), 2u);
    EXPECT_EQ(list.GetIndexes()[1], (Record{0, 0, 1, 0}));
    EXPECT_EQ(list.GetFills().size(), 2u);
    // The default style is index 0 whatever its format id, and keeps that id.
    for (uint64_t id : {0u, 7u, 164u, 500u}) {
        Style style;
        style.numFormat.id = id;
        EXPECT_EQ(list.Add(style), 0u);
        EXPECT_EQ(style.numFormat.id, id);
    }
    // Alignment or wrapping alone makes a new style on shared components.
    Style centred, wrapped, diagonal, diagonalUp;
    centred.horizAlign = ALIGN_H_CENTER;
    wrapped.wrapText = true;
    EXPECT_EQ(list.Add(centred), 2u);
    EXPECT_EQ(list.Add(wrapped), 3u);
    EXPECT_EQ(list.Add(centred), 2u);
    EXPECT_EQ(list.GetIndexes()[3], (Record{0, 0, 0, 0}));
    EXPECT_EQ(list.GetPositions()[3], StyleList::Position(ALIGN_H_NONE, ALIGN_V_NONE, true));
    // Borders differing only in the diagonal are different borders.
    diagonal.border.diagonal.style = BORDER_THIN;
    diagonalUp.border.isDiagonalUp = true;
    EXPECT_EQ(list.Add(diagonal), 4u);
    EXPECT_EQ(list.Add(diagonalUp), 5u);
    EXPECT_EQ(list.GetIndexes()[5], (Record{2, 0, 0, 0}));
    EXPECT_EQ(list.GetFonts().size(), 1u);
    EXPECT_EQ(list.GetNumFormats().size(), 1u);
}

TEST(StyleList, CustomFormatsAreNumberedFrom164AndBuiltInIdsKept)
{
    CWorkbook book;  // registers the two default styles
    StyleList& list = book.GetStyleList();
    Style percent, boldPercent, thousands, date;
    percent.numFormat.formatString = boldPercent.numFormat.formatString = "0.0%";
    percent.numFormat.id = 900;
    boldPercent.numFormat.id = 170;
    boldPercent.font.attributes = FONT_BOLD;
    thousands.numFormat.showThousandsSeparator = true;
    date.numFormat.numberStyle = NUMBER_DATE;
    date.numFormat.id = 14;
    EXPECT_EQ(list.Add(percent), 2u);
    EXPECT_EQ(percent.numFormat.id, 164u);
    EXPECT_EQ(list.Add(boldPercent), 3u);
    EXPECT_EQ(list.GetIndexes()[3], (Record{0, 1, 0, 164}));
    EXPECT_EQ(list.Add(thousands), 4u);
    EXPECT_EQ(thousands.numFormat.id, 165u);
    EXPECT_EQ(list.Add(date), 5u);
    EXPECT_EQ(date.numFormat.id, 14u);
    EXPECT_EQ(list.GetIndexes()[5][3], 14u);
    EXPECT_EQ(list.GetNumFormats().size(), 4u);
}

TEST(FormatCode, StylesDigitsAndColours)
{
    const support::ScopedEnv locale("LC_ALL", "C");  // no currency symbol
    NumFormat explicitCode = Format(NUMBER_DATE, 7, false, COLOR_RED);
    explicitCode.formatString = "0.0%";
    const std::string accounting = "_-* #,##0.00\"\"_-;\\-* #,##0.00\"\"_-;_-* \"-\"??\"\"_-;_-@_-";
    const std::pair<NumFormat, std::string> cases[] = {
        {NumFormat(), "0.00"},
        {Format(NUMBER_GENERAL, 2, true), "#,##0.00"},
        {Format(NUMBER_PERCENT, 0), "0%"},
        {Format(NUMBER_SCIENTIFIC, 3), "0.000E+00"},
        {Format(NUMBER_CURRENCY, 1), "0.0\"\""},
        {Format(NUMBER_DATE, 5), "yyyy.mm.dd"},
        {Format(NUMBER_TIME, 0), "hh:mm:ss"},
        {Format(NUMBER_DATE_TIME, 0), "yyyy.mm.dd hh:mm:ss"},
        {Format(static_cast<ENumberStyle>(9), 2), ""},
        {Format(NUMBER_ACCOUNTING, 2, true, COLOR_NONE, COLOR_NONE, COLOR_GREEN), accounting},
        {explicitCode, "0.0%"},
        {Format(NUMBER_FIXED, uint64_t(1) << 60), "0." + std::string(30, '0')},
        // Colours open the negative and zero sections.
        {Format(NUMBER_GENERAL, 2, false, COLOR_RED), "[Red]0.00;\\-0.00;0"},
        {Format(NUMBER_GENERAL, 2, false, COLOR_NONE, COLOR_NONE, COLOR_BLUE), "0.00;;[Blue]0"},
        {Format(NUMBER_PERCENT, 1, true, COLOR_NONE, COLOR_RED), "#,##0.0%;[Red]\\-#,##0.0%"},
        {Format(NUMBER_GENERAL, 0, false, COLOR_BLACK, COLOR_MAGENTA, COLOR_CYAN),
         "[BLACK]0;[Magenta]\\-0;[Cyan]0"},
        {Format(NUMBER_GENERAL, 0, false, COLOR_YELLOW, static_cast<ENumericStyleColor>(9)),
         "[Yellow]0;\\-0;0"},
    };
    for (const auto& [format, code] : cases)
        EXPECT_EQ(GetFormatCodeString(format), code) << code;
}
