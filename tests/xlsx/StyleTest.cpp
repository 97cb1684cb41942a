#include "xlsx/Style.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/PartWriters.h"

#include "XlsxTest.h"

using namespace SimpleXlsx;

using Record = StyleList::IndexRecord;

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
    EXPECT_EQ(GetFormatCodeString(NumFormat()), "0.00");
    for (const support::tableRow& row : support::testTable("xlsx/data/format-codes.tsv")) {
        NumFormat format;
        format.numberStyle = static_cast<ENumberStyle>(std::stoi(row[0]));
        format.numberOfDigitsAfterPoint = std::stoull(row[1]);
        format.showThousandsSeparator = row[2] == "1";
        format.positiveColor = static_cast<ENumericStyleColor>(std::stoi(row[3]));
        format.negativeColor = static_cast<ENumericStyleColor>(std::stoi(row[4]));
        format.zeroColor = static_cast<ENumericStyleColor>(std::stoi(row[5]));
        format.formatString = row[6];
        EXPECT_EQ(GetFormatCodeString(format), row[7]) << row[7];
    }
}
