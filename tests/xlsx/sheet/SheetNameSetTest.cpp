// The workbook's set of sheet names must name sheets exactly as
// MakeSheetName does over the list of names taken.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xlsx/SheetName.h"
#include "xlsx/Workbook.h"

using namespace SimpleXlsx;

TEST(SheetNameSet, NamesAsMakeSheetNameDoes)
{
    const std::string longName(40, 'x');
    const std::vector<std::string> titles = {"Mon", "MON", "mon", "", "Sheet 4", "sheet 5", "a:b", "A_B",
                                             longName, longName, longName, "\xC3\x89t\xC3\xA9",
                                             "\xC3\xA9T\xC3\xA9", "Tue (2)", "Tue", "Tue"};
    std::vector<std::string> taken;
    SheetNameSet set;
    for (size_t i = 0; i < titles.size(); ++i) {
        const uint32_t index = static_cast<uint32_t>(i + 1);
        const std::string expected = MakeSheetName(titles[i], index, taken);
        EXPECT_EQ(set.NameFor(titles[i], index), expected) << "title " << i;
        taken.push_back(expected);
        set.Add(expected);
    }
    EXPECT_TRUE(set.Contains("mon (2)"));
    EXPECT_TRUE(set.Contains("TUE (3)"));
    EXPECT_FALSE(set.Contains("Tue (4)"));
    // Letters of every script fold: "Été" and "éTé" are one name.
    EXPECT_TRUE(set.Contains("\xC3\x89T\xC3\xA9"));
    EXPECT_TRUE(set.Contains("\xC3\xA9t\xC3\xA9 (2)"));
    EXPECT_FALSE(set.Contains("\xC3\xA9t\xC3\xA9 (3)"));
}

TEST(SheetNameSet, ManySheetsOfOneTitleGetNumberedNames)
{
    CWorkbook book;
    std::vector<std::string> titles;
    for (int i = 0; i < 300; ++i) {
        CWorksheet* sheet = book.AddSheetPtr(i % 2 == 0 ? "Week" : "WEEK");
        ASSERT_NE(sheet, nullptr);
        titles.push_back(sheet->GetTitle());
    }
    EXPECT_EQ(titles[0], "Week");
    EXPECT_EQ(titles[1], "WEEK (2)");
    EXPECT_EQ(titles[299], "WEEK (300)");
    CChartsheet& chart = book.AddChart("week");
    EXPECT_EQ(chart.GetTitle(), "week (301)");
}
