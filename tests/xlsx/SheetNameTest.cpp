#include "xlsx/internal/SheetName.h"
#include "xlsx/Workbook.h"

#include "XlsxTest.h"

using namespace SimpleXlsx;

TEST(SheetName, ForbiddenCharactersApostrophesEmptyAndLongNames)
{
    std::string accents;
    for (int i = 0; i < 20; ++i)
        accents += "\xC3\xA9";
    const std::pair<std::string, std::string> names[] = {
        {"Teacher O'Brien", "Teacher O'Brien"},
        {"\xC3\x89t\xC3\xA9", "\xC3\x89t\xC3\xA9"},
        {std::string(31, '1'), std::string(31, '1')},
        {"a:b\\c/d?e*f[g]h", "a_b_c_d_e_f_g_h"},
        {"tab\there\x01\x7F", "tab_here__"},
        {"'quoted'", "_quoted_"},
        {"'", "_"},
        {"bad\xFF\xC3", "bad__"},
        {"a\xEF\xBF\xBE"
         "b\xEF\xBF\xBF"
         "c\xEF\xBF\xBD",
         "a_b_c\xEF\xBF\xBD"},  // U+FFFE, U+FFFF are not XML
        {"", "Sheet 3"},
        {std::string(30, 'x') + "'y", std::string(30, 'x') + "_"},
        {std::string(40, 'x'), std::string(31, 'x')},
        {accents, accents.substr(0, 30)},
    };
    for (const auto& [title, name] : names)
        EXPECT_EQ(MakeSheetName(title, 3, {"Other"}), name) << title;
}

// Readers decode "_xHHHH_" in the workbook's sheet list as in cells; a
// literal one keeps its text through an escaped underscore. "History" is
// reserved in every letter case.
TEST(SheetName, ReaderDecodingAndTheReservedName)
{
    EXPECT_EQ(SheetNameAttribute("_x0041_ and _x0048_istory"),
              "_x005F_x0041_ and _x005F_x0048_istory");
    EXPECT_EQ(SheetNameAttribute("_x12_ _xZZZZ_ a_b"), "_x12_ _xZZZZ_ a_b");
    EXPECT_EQ(MakeSheetName("hiSTORY", 2, {}), "hiSTORY_");
    EXPECT_EQ(MakeSheetName("History", 3, {"history_"}), "History_ (2)");
    EXPECT_EQ(MakeSheetName("History (2)", 4, {}), "History (2)");
}

TEST(SheetName, ClashesGetNumberedSuffixesWithinTheLimit)
{
    EXPECT_EQ(MakeSheetName("MON", 2, {"Mon"}), "MON (2)");
    EXPECT_EQ(MakeSheetName("mon", 3, {"Mon", "MON (2)"}), "mon (3)");
    EXPECT_EQ(MakeSheetName("", 4, {"sheet 4"}), "Sheet 4 (2)");
    const std::string accents =
        "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
        "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";  // 30 bytes
    EXPECT_EQ(MakeSheetName(accents, 2, {accents}), accents.substr(0, 26) + " (2)");
    std::vector<std::string> taken = {std::string(31, 'x')};
    for (int n = 2; n <= 10; ++n)
        taken.push_back(MakeSheetName(std::string(31, 'x'), n, taken));
    EXPECT_EQ(taken[9], std::string(26, 'x') + " (10)");
}

// Spreadsheet programs refuse two sheets whose names differ only in letter
// case, of any script; bytes that are not UTF-8 meet only themselves.
TEST(SheetName, LetterCaseOfEveryScriptMakesNoNewName)
{
    const std::tuple<std::string, std::string, bool> pairs[] = {
        {"\xC3\x89lan", "\xC3\xA9lan", true},  // Élan, élan
        {"\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82", "\xD0\xBB\xD0\x98\xD0\xA1\xD0\xA2",
         true},  // Лист, лИСТ
        {"Stra\xC3\x9F"
         "e",
         "STRASSE", true},                                  // full folding: ß is ss
        {"KIRMIZI", "k\xC4\xB1rm\xC4\xB1z\xC4\xB1", true},  // dotless ı
        {"\xC4\xB0stanbul", "istanbul", true},              // dotted İ
        {"\xCE\xBF\xCE\xB4\xCF\x8C\xCF\x82", "\xCE\x9F\xCE\x94\xCE\x8C\xCE\xA3",
         true},  // final ς, Σ
        {"\xC3\x89lan", "Elan", false},
        {"\xC3\x89lan", "\xC3\xA9la", false},
        {"a\xFF", "A\xFF", true},
        {"a\xFF", "a\xFE", false},
        {"\xC3", "\xC3\x89", false},
        {"\xE2\x82", "\xE2\x82\xAC", false},
    };
    for (const auto& [a, b, same] : pairs)
        EXPECT_EQ(SameSheetName(a, b), same) << a << " " << b;
    EXPECT_EQ(MakeSheetName("\xC3\xA9lan", 3, {"All teachers", "\xC3\x89lan"}), "\xC3\xA9lan (2)");
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
