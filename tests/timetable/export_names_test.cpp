// Hostile names from the input reach the cells exactly, as text (never as
// formulas), and the sheet titles made from them are valid and unique.

#include "timetableTestSupport.h"

namespace {

struct named
{
    std::string teacher, group, subject = "", room = "";
};

// A name as the reader shows it: tabs and line breaks escaped by the dump,
// a control character in the spreadsheet's escaped form, an invalid byte
// as U+FFFD.
std::string shown(std::string text)
{
    const std::pair<const char*, const char*> swaps[] = {
        {"\t", "\\t"}, {"\n", "\\n"}, {"\x07", "_x0007_"}, {"\xE9", "\xEF\xBF\xBD"}};
    for (const auto& swap : swaps)
        for (size_t at = text.find(swap.first); at != std::string::npos;
             at = text.find(swap.first, at + 1))
            text.replace(at, 1, swap.second);
    return text;
}

TEST(ExportNamesTest, NamesStayExactTextAndTitlesAreCutMadeValidAndUnique)
{
    const std::string long40 = "Abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    const std::string accented40 = "ŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽŽ";  // two bytes each
    const std::string link = "=HYPERLINK(\"http://example.invalid\",\"go\")";
    // In the teachers' byte order.
    const std::vector<named> rows = {
        {"", "G0"},
        {"5A/5B", "1a"},
        {long40, "1A"},
        {"Abcdefghijklmnopqrstuvwxyz01234_other", "All Students"},
        {"All teachers", "G4"},
        {"Doe & <Sons> \"Jr\"", link, "=1+1", "R&D <lab>"},
        {"Tab\there", "Caf\xE9", "Bell\x07Subject", "Line\nbreak"},
        {accented40, "G7"},
    };
    timeTable table;
    for (const named& row : rows) {
        hour* slot = table.insertTeacher(row.teacher)->addDay("Mon")->addhour("1st");
        slot->students = table.insertStudents(row.group);
        slot->subject = row.subject.empty() ? nullptr : table.insertSubject(row.subject);
        slot->room = row.room.empty() ? nullptr : table.insertRoom(row.room);
        table.teachers.find(row.teacher)->fixSize();
    }
    std::string folder = newFolder();
    ASSERT_TRUE(table.teacherToExcel(folder + "t.xlsx"));
    ASSERT_TRUE(table.studentsToExcel(folder + "s.xlsx"));

    support::WorkbookRead teachers = support::readWorkbook(folder + "t.xlsx");
    ASSERT_EQ(teachers.problem, "");
    EXPECT_EQ(teachers.sheetNames, (names{"All teachers", "Sheet 2", "5A_5B", long40.substr(0, 31),
                                          long40.substr(0, 27) + " (2)", "All teachers (2)",
                                          rows[5].teacher, "Tab_here", accented40.substr(0, 30)}));
    const std::string heading = "hour\\day\tMon\n";
    std::string summary = "\tMon\n\t1st\n";
    for (size_t i = 0; i < rows.size() && i + 1 < teachers.grids.size(); ++i) {
        summary += shown(rows[i].teacher) + "\t" + shown(rows[i].group) + "\n";
        auto cell = [](const std::string& name) {
            return name.empty() ? "1st\n" : "1st\t" + shown(name) + "\n";
        };
        EXPECT_EQ(teachers.grids[i + 1], threeBlocks(heading, cell(rows[i].group),
                                                     cell(rows[i].subject), cell(rows[i].room)));
    }
    EXPECT_EQ(teachers.grids[0], summary);

    // Group names differing only in case get two sheets.
    support::WorkbookRead groups = support::readWorkbook(folder + "s.xlsx");
    ASSERT_EQ(groups.problem, "");
    EXPECT_EQ(groups.sheetNames,
              (names{"All students", "1A", "1a (2)", "=HYPERLINK(\"http___example.inva",
                     "All Students (2)", "Caf_", "G0", "G4", "G7"}));
    ASSERT_EQ(groups.grids.size(), 9u);
    EXPECT_EQ(groups.grids[2], threeBlocks(heading, "1st\n", "1st\t5A/5B\n", "1st\n"));
    EXPECT_EQ(groups.grids[3], threeBlocks(heading, "1st\t=1+1\n", "1st\t" + rows[5].teacher + "\n",
                                           "1st\tR&D <lab>\n"));
    EXPECT_EQ(groups.grids[5], threeBlocks(heading, "1st\tBell_x0007_Subject\n",
                                           "1st\tTab\\there\n", "1st\tLine\\nbreak\n"));
}

}  // namespace

// Bytes put capitals first and accented letters after "z"; the alphabet
// puts "Černý" beside "Cerny", small letters before capitals, each digit on
// its own, and an invalid byte (as U+FFFD) after every letter.
TEST(NameOrderTest, BytesAndAlphabetFromAnyStartingOrder)
{
    const names given = {"",      "Zeman", "cerny", "Žák",   "Hájek", "9.A",     "Ábel",
                         "Cesta", "Sova",  "Chlup", "abel",  "1.A",   "\xE9vil", "Ďuriš",
                         "Cerny", "Abel",  "10.A",  "Černý", "Hajek", "Dvořák",  "Šťastný"};
    const std::vector<std::pair<nameOrder, names>> cases = {
        {nameOrder::bytes, {"",      "1.A",    "10.A",  "9.A",   "Abel",    "Cerny", "Cesta",
                            "Chlup", "Dvořák", "Hajek", "Hájek", "Sova",    "Zeman", "abel",
                            "cerny", "Ábel",   "Černý", "Ďuriš", "Šťastný", "Žák",   "\xE9vil"}},
        {nameOrder::alphabet, {"",      "1.A",   "10.A",  "9.A",     "abel",  "Abel",  "Ábel",
                               "cerny", "Cerny", "Černý", "Cesta",   "Chlup", "Ďuriš", "Dvořák",
                               "Hajek", "Hájek", "Sova",  "Šťastný", "Žák",   "Zeman", "\xE9vil"}},
    };
    for (const auto& c : cases)
        for (const names& start : {given, names(given.rbegin(), given.rend())}) {
            names sorted = start;
            std::string problem;
            EXPECT_TRUE(sortNames(sorted, c.first, problem)) << problem;
            EXPECT_EQ(sorted, c.second);
        }
}
