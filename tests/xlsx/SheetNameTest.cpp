#include "xlsx/internal/SheetName.h"
#include "xlsx/Workbook.h"

#include "XlsxTest.h"

using namespace SimpleXlsx;

TEST(SheetName, NamesFromTitlesIndexesAndNamesTaken)
{
    for (const support::tableRow& row : support::testTable("xlsx/data/sheet-names.tsv")) {
        const std::vector<std::string> taken(row.begin() + 3, row.end());
        EXPECT_EQ(MakeSheetName(row[0], uint32_t(std::stoul(row[1])), taken), row[2]) << row[0];
    }
    std::vector<std::string> taken = {std::string(31, 'x')};
    for (int n = 2; n <= 10; ++n)
        taken.push_back(MakeSheetName(std::string(31, 'x'), n, taken));
    EXPECT_EQ(taken[9], std::string(26, 'x') + " (10)");
}

// Readers decode "_xHHHH_" in the workbook's sheet list as in cells; a
// literal one keeps its text through an escaped underscore.
TEST(SheetName, AttributeKeepsLiteralEscapes)
{
    EXPECT_EQ(SheetNameAttribute("_x0041_ and _x0048_istory"),
              "_x005F_x0041_ and _x005F_x0048_istory");
    EXPECT_EQ(SheetNameAttribute("_x12_ _xZZZZ_ a_b"), "_x12_ _xZZZZ_ a_b");
}

TEST(SheetName, LetterCaseOfEveryScriptMakesNoNewName)
{
    for (const support::tableRow& row : support::testTable("xlsx/data/same-sheet-names.tsv"))
        EXPECT_EQ(SameSheetName(row[0], row[1]), row[2] == "1") << row[3];
    SheetNameSet taken;  // titles differing only in invalid bytes (each "_") are numbered apart
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        names.push_back(taken.NameFor(std::string{'a', char(0x80 + i % 64), char(0x80 + i / 64)},
                                      uint32_t(i + 1)));
        taken.Add(names.back());
    }
    EXPECT_EQ(names[1], "a__ (2)");
    EXPECT_EQ(names[2999], "a__ (3000)");
}

// The workbook's hashed set must name sheets exactly as MakeSheetName does
// over the list of names taken.
TEST(SheetNameSet, NamesAsMakeSheetNameDoes)
{
    const std::string longName(40, 'x');
    const std::vector<std::string> titles = {
        "Mon", "MON",    "mon",    "",       "Sheet 4",           "sheet 5",           "a:b",
        "A_B", longName, longName, longName, "\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\xA9", "Tue (2)",
        "Tue", "Tue"};
    std::vector<std::string> taken;
    SheetNameSet set;
    for (size_t i = 0; i < titles.size(); ++i) {
        const std::string expected = MakeSheetName(titles[i], static_cast<uint32_t>(i + 1), taken);
        EXPECT_EQ(set.NameFor(titles[i], static_cast<uint32_t>(i + 1)), expected) << "title " << i;
        taken.push_back(expected);
        set.Add(expected);
    }
    EXPECT_TRUE(set.Contains("mon (2)"));
    EXPECT_TRUE(set.Contains("TUE (3)"));
    EXPECT_TRUE(set.Contains("\xC3\xA9t\xC3\xA9 (2)"));
    EXPECT_FALSE(set.Contains("Tue (4)"));
    EXPECT_FALSE(set.Contains("\xC3\xA9t\xC3\xA9 (3)"));

    // Worksheets and chartsheets share the names of one workbook.
    CWorkbook book;
    for (int i = 0; i < 300; ++i)
        book.AddSheetPtr(i % 2 == 0 ? "Week" : "WEEK");
    EXPECT_EQ(book.AddChart("week").GetTitle(), "week (301)");
    EXPECT_EQ(book.AddSheet("Week (301)").GetTitle(), "Week (301) (2)");
}
