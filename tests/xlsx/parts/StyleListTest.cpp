#include "xlsx/Style.h"

#include <gtest/gtest.h>

using namespace SimpleXlsx;

namespace
{

// The two styles every workbook registers first.
StyleList WorkbookStyleList()
{
    StyleList list;
    Style style;
    style.numFormat.id = 0;
    list.Add(style);
    style.numFormat.id = 1;
    style.fill.patternType = PATTERN_GRAY125;
    list.Add(style);
    return list;
}

StyleList::IndexRecord Record(uint64_t border, uint64_t font, uint64_t fill, uint64_t numFormat)
{
    return {border, font, fill, numFormat};
}

} // namespace

TEST(StyleList, WorkbookDefaultsGiveTwoStylesSharingFormatZero)
{
    const StyleList list = WorkbookStyleList();
    ASSERT_EQ(list.GetIndexes().size(), 2u);
    EXPECT_EQ(list.GetIndexes()[0], Record(0, 0, 0, 0));
    EXPECT_EQ(list.GetIndexes()[1], Record(0, 0, 1, 0));
    EXPECT_EQ(list.GetBorders().size(), 1u);
    EXPECT_EQ(list.GetFonts().size(), 1u);
    ASSERT_EQ(list.GetFills().size(), 2u);
    EXPECT_EQ(list.GetFills()[1].patternType, PATTERN_GRAY125);
    ASSERT_EQ(list.GetNumFormats().size(), 1u);
    EXPECT_EQ(list.GetNumFormats()[0].id, 0u);
    EXPECT_EQ(list.GetFonts()[0].name, "Calibri");
    EXPECT_EQ(list.GetFonts()[0].size, 11u);
}

TEST(StyleList, DefaultStyleResolvesToIndexZeroWhateverItsFormatId)
{
    StyleList list = WorkbookStyleList();
    for (uint64_t id : {0u, 7u, 164u, 500u})
    {
        Style style;
        style.numFormat.id = id;
        EXPECT_EQ(list.Add(style), 0u);
        EXPECT_EQ(style.numFormat.id, id); // an existing format is not written back
    }
    EXPECT_EQ(list.GetIndexes().size(), 2u);
    EXPECT_EQ(list.GetNumFormats().size(), 1u);
}

TEST(StyleList, AlignmentOrWrapAloneMakesANewStyleWithSharedComponents)
{
    StyleList list = WorkbookStyleList();
    Style centred;
    centred.horizAlign = ALIGN_H_CENTER;
    centred.vertAlign = ALIGN_V_CENTER;
    Style wrapped;
    wrapped.wrapText = true;
    EXPECT_EQ(list.Add(centred), 2u);
    EXPECT_EQ(list.Add(wrapped), 3u);
    EXPECT_EQ(list.Add(centred), 2u);
    EXPECT_EQ(list.GetIndexes()[2], Record(0, 0, 0, 0));
    EXPECT_EQ(list.GetIndexes()[3], Record(0, 0, 0, 0));
    EXPECT_EQ(list.GetPositions()[2], StyleList::Position(ALIGN_H_CENTER, ALIGN_V_CENTER, false));
    EXPECT_EQ(list.GetPositions()[3], StyleList::Position(ALIGN_H_NONE, ALIGN_V_NONE, true));
    EXPECT_EQ(list.GetFonts().size(), 1u);
    EXPECT_EQ(list.GetFills().size(), 2u);
}

TEST(StyleList, BuiltInFormatIdIsKept)
{
    StyleList list = WorkbookStyleList();
    Style date;
    date.numFormat.numberStyle = NUMBER_DATE;
    date.numFormat.id = 14;
    EXPECT_EQ(list.Add(date), 2u);
    EXPECT_EQ(date.numFormat.id, 14u);
    EXPECT_EQ(list.GetIndexes()[2][3], 14u);
    ASSERT_EQ(list.GetNumFormats().size(), 2u);
    EXPECT_EQ(list.GetNumFormats()[1].id, 14u);
}

TEST(StyleList, CustomFormatsAreNumberedFrom164AndShared)
{
    StyleList list = WorkbookStyleList();
    Style percent;
    percent.numFormat.formatString = "0.0%";
    percent.numFormat.id = 900;
    Style samePercent;
    samePercent.numFormat.formatString = "0.0%";
    samePercent.numFormat.id = 170;
    samePercent.font.attributes = FONT_BOLD;
    Style thousands;
    thousands.numFormat.showThousandsSeparator = true;

    EXPECT_EQ(list.Add(percent), 2u);
    EXPECT_EQ(percent.numFormat.id, 164u);
    EXPECT_EQ(list.Add(samePercent), 3u);
    EXPECT_EQ(list.GetIndexes()[3], Record(0, 1, 0, 164));
    EXPECT_EQ(list.Add(thousands), 4u);
    EXPECT_EQ(thousands.numFormat.id, 165u);
    EXPECT_EQ(list.GetIndexes()[4][3], 165u);
    EXPECT_EQ(list.GetNumFormats().size(), 3u);
}

TEST(StyleList, BordersDifferingOnlyInTheDiagonalAreDifferent)
{
    StyleList list = WorkbookStyleList();
    Style style;
    style.border.diagonal.style = BORDER_THIN;
    EXPECT_EQ(list.Add(style), 2u);
    style.border.diagonal.style = BORDER_NONE;
    style.border.isDiagonalUp = true;
    EXPECT_EQ(list.Add(style), 3u);
    EXPECT_EQ(list.GetBorders().size(), 3u);
    EXPECT_EQ(list.GetIndexes()[2], Record(1, 0, 0, 0));
    EXPECT_EQ(list.GetIndexes()[3], Record(2, 0, 0, 0));
}

TEST(Style, ClearKeepsTheNumberFormat)
{
    Style style;
    style.font.size = 20;
    style.fill.patternType = PATTERN_SOLID;
    style.border.left.style = BORDER_THICK;
    style.wrapText = true;
    style.horizAlign = ALIGN_H_RIGHT;
    style.numFormat.numberStyle = NUMBER_PERCENT;
    style.Clear();
    EXPECT_TRUE(style.font == Font());
    EXPECT_TRUE(style.fill == Fill());
    EXPECT_TRUE(style.border == Border());
    EXPECT_FALSE(style.wrapText);
    EXPECT_EQ(style.horizAlign, ALIGN_H_NONE);
    EXPECT_EQ(style.numFormat.numberStyle, NUMBER_PERCENT);
}
