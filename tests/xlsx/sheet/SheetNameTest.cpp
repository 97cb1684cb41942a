#include <gtest/gtest.h>

#include "xlsx/SheetName.h"
#include "xlsx/Utf8.h"

using namespace SimpleXlsx;

TEST(Utf8, PrefixesEndOnCharacterBoundaries)
{
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z: 1+2+3+4+1 bytes
    const size_t bytes[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 11, 11};
    for (size_t limit = 0; limit < 13; ++limit) EXPECT_EQ(Utf8PrefixBytes(text, limit), bytes[limit]) << limit;
    const size_t units[] = {0, 1, 3, 6, 6, 10, 11};  // the emoji takes two UTF-16 units
    for (size_t limit = 0; limit < 7; ++limit) EXPECT_EQ(Utf8PrefixUtf16Units(text, limit), units[limit]) << limit;

    // Invalid bytes, truncated and overlong sequences count one byte each.
    EXPECT_EQ(Utf8PrefixBytes("\xFF\xC3", 1), 1u);
    EXPECT_EQ(Utf8SequenceLength("\xC3", 0), 0u);
    EXPECT_EQ(Utf8SequenceLength("\xC0\xAF", 0), 0u);
    EXPECT_EQ(Utf8SequenceLength("\xED\xA0\x80", 0), 0u);  // a surrogate
    EXPECT_EQ(Utf8SequenceLength("\xF4\x90\x80\x80", 0), 0u);
}

TEST(SheetName, ValidNamesStayAsGiven)
{
    for (const char* title : {"Mon", "Teacher O'Brien", "Week 1 (all)", "\xC3\x89t\xC3\xA9", "1234567890123456789012345678901"})
        EXPECT_EQ(MakeSheetName(title, 1, {}), title);
    EXPECT_EQ(MakeSheetName("Other", 2, {"Mon"}), "Other");
}

TEST(SheetName, ForbiddenCharactersApostrophesAndEmptyNames)
{
    EXPECT_EQ(MakeSheetName("a:b\\c/d?e*f[g]h", 1, {}), "a_b_c_d_e_f_g_h");
    EXPECT_EQ(MakeSheetName("tab\there\x01\x7F", 1, {}), "tab_here__");
    EXPECT_EQ(MakeSheetName("'quoted'", 1, {}), "_quoted_");
    EXPECT_EQ(MakeSheetName("'", 1, {}), "_");
    EXPECT_EQ(MakeSheetName("bad\xFF\xC3", 1, {}), "bad__");
    EXPECT_EQ(MakeSheetName("", 3, {}), "Sheet 3");
    EXPECT_EQ(MakeSheetName(std::string(30, 'x') + "'y", 1, {}), std::string(30, 'x') + "_");
}

TEST(SheetName, LongNamesAreCutOnCharacterBoundaries)
{
    EXPECT_EQ(MakeSheetName(std::string(40, 'x'), 1, {}), std::string(31, 'x'));
    std::string accents;
    for (int i = 0; i < 20; ++i) accents += "\xC3\xA9";
    EXPECT_EQ(MakeSheetName(accents, 1, {}), accents.substr(0, 30));
}

TEST(SheetName, ClashesGetNumberedSuffixesWithinTheLimit)
{
    std::vector<std::string> taken = {"Mon"};
    EXPECT_EQ(MakeSheetName("MON", 2, taken), "MON (2)");
    taken.push_back("MON (2)");
    EXPECT_EQ(MakeSheetName("mon", 3, taken), "mon (3)");
    EXPECT_EQ(MakeSheetName("", 4, {"sheet 4"}), "Sheet 4 (2)");

    std::string accents;
    for (int i = 0; i < 15; ++i) accents += "\xC3\xA9";  // 30 bytes
    const std::string named = MakeSheetName(accents, 2, {accents});
    EXPECT_EQ(named, accents.substr(0, 26) + " (2)");
    EXPECT_LE(named.size(), kMaxSheetNameBytes);

    std::vector<std::string> many = {std::string(31, 'x')};
    for (int n = 2; n <= 10; ++n) many.push_back(MakeSheetName(std::string(31, 'x'), n, many));
    EXPECT_EQ(many[9], std::string(26, 'x') + " (10)");
    EXPECT_TRUE(SameSheetName("Straße", "STRAßE"));
    EXPECT_FALSE(SameSheetName("Straße", "STRASSE"));
}

// Spreadsheet programs refuse two sheets whose names differ only in the
// case of non-ASCII letters, as two teachers "Élan" and "élan" would give.
TEST(SheetName, LetterCaseOfEveryScriptMakesNoNewName)
{
    EXPECT_TRUE(SameSheetName("\xC3\x89lan", "\xC3\xA9lan"));                  // Élan, élan
    EXPECT_TRUE(SameSheetName("\xC5\xA0imek", "\xC5\xA1IMEK"));                // Šimek, šIMEK
    EXPECT_TRUE(SameSheetName("\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82", "\xD0\xBB\xD0\x98\xD0\xA1\xD0\xA2"));  // Лист, лИСТ
    EXPECT_TRUE(SameSheetName("\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", "\xCF\x89\xCE\x9C\xCE\x88\xCE\x93\xCE\x91"));
    EXPECT_FALSE(SameSheetName("\xC3\x89lan", "Elan"));
    EXPECT_FALSE(SameSheetName("\xC3\x89lan", "\xC3\xA9la"));
    // Invalid bytes match only themselves.
    EXPECT_TRUE(SameSheetName("a\xFF", "A\xFF"));
    EXPECT_FALSE(SameSheetName("a\xFF", "a\xFE"));
    EXPECT_FALSE(SameSheetName("\xC3", "\xC3\x89"));

    EXPECT_EQ(MakeSheetName("\xC3\xA9lan", 3, {"All teachers", "\xC3\x89lan"}), "\xC3\xA9lan (2)");
}

// Bytes that are not UTF-8 meet only themselves: titles that differ only in
// such bytes (each becomes "_") are all numbered apart.
TEST(SheetName, InvalidBytesMeetOnlyThemselves)
{
    EXPECT_FALSE(SameSheetName("\xE2\x82", "\xE2\x82\xAC"));
    EXPECT_FALSE(SameSheetName("a\xFF", "a\xFE"));
    EXPECT_TRUE(SameSheetName("a\xFF", "A\xFF"));

    SheetNameSet taken;
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        const std::string title = {'a', char(0x80 + i % 64), char(0x80 + i / 64)};
        names.push_back(taken.NameFor(title, uint32_t(i + 1)));
        taken.Add(names.back());
    }
    EXPECT_EQ(names[0], "a__");
    EXPECT_EQ(names[1], "a__ (2)");
    EXPECT_EQ(names[2999], "a__ (3000)");
}
