// The teachers' and the student groups' workbooks of a small hand-made
// timetable, read back cell by cell.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exportTestSupport.h"

namespace {

typedef std::vector<std::vector<std::string>> grid;  // grid[hour - 1][day - 1]

const std::vector<std::string> adamsDays = {"Mon", "Tue", "Wed", "Thu", "Fri"};
const std::vector<std::string> adamsHours = {"1", "2", "3", "4", "5", "6"};
const std::vector<std::string> brownDays = {"Mo", "Tu", "We", "Th", "Fr"};
const std::vector<std::string> brownHours = {"b1", "b2", "b3", "b4"};
const std::vector<std::string> clarkDays = {"Mon", "Tue"};
const std::vector<std::string> clarkHours = {"c1", "c2"};

std::string roomName(const char* prefix, int day, int hour)
{
    return prefix + std::to_string(day) + std::to_string(hour);
}

// Adams: free where day equals hour; 1A in odd hours, 2B in even ones.
hourFacts adams(int day, int hour)
{
    hourFacts slot;
    slot.free = day == hour;
    slot.students = hour % 2 ? "1A" : "2B";
    slot.subject = "Math";
    slot.room = roomName("R", day, hour);
    return slot;
}

// Brown: 1A in the first hour, 3C in the others; also teaches 1A where
// Adams does (day 2 to 5, hour 1), and sorts later.
hourFacts brown(int day, int hour)
{
    hourFacts slot;
    slot.students = hour == 1 ? "1A" : "3C";
    slot.subject = "Art";
    slot.room = roomName("S", day, hour);
    return slot;
}

// Clark: two days of two hours with 2B, no room.
hourFacts clark(int, int)
{
    hourFacts slot;
    slot.students = "2B";
    slot.subject = "Bio";
    return slot;
}

void loadSchool(timeTable& table)
{
    loadTimetableXml(table, timetableXml(teacherXml("Brown", brownDays, brownHours, brown) +
                                         teacherXml("Clark", clarkDays, clarkHours, clark) +
                                         teacherXml("Adams", adamsDays, adamsHours, adams)));
}

// A schedule matrix: the corner, the day names, the hour names and the grid.
std::vector<std::vector<std::string>> schedule(const std::vector<std::string>& days,
                                               const std::vector<std::string>& hours, const grid& cells)
{
    std::vector<std::vector<std::string>> rows(hours.size() + 1, std::vector<std::string>(days.size() + 1));
    rows[0][0] = "hour\\day";
    for (size_t d = 0; d < days.size(); ++d)
        rows[0][d + 1] = days[d];
    for (size_t h = 0; h < hours.size(); ++h) {
        rows[h + 1][0] = hours[h];
        for (size_t d = 0; d < days.size(); ++d)
            rows[h + 1][d + 1] = cells[h][d];
    }
    return rows;
}

// The fact `pick` of every hour of a teacher with a student group.
template <typename Facts, typename Pick>
grid teacherGrid(size_t days, size_t hours, Facts facts, Pick pick)
{
    grid cells(hours, std::vector<std::string>(days));
    for (size_t h = 0; h < hours; ++h)
        for (size_t d = 0; d < days; ++d) {
            hourFacts slot = facts(int(d + 1), int(h + 1));
            cells[h][d] = slot.free ? "" : pick(slot);
        }
    return cells;
}

// The three blocks of a sheet, two empty rows apart.
expectedCells threeBlocks(const std::vector<std::vector<std::string>>& first,
                          const std::vector<std::vector<std::string>>& second,
                          const std::vector<std::vector<std::string>>& third)
{
    expectedCells cells;
    const int height = int(first.size());
    placeMatrix(cells, 1, first);
    placeMatrix(cells, height + 3, second);
    placeMatrix(cells, 2 * height + 5, third);
    return cells;
}

template <typename Facts>
expectedCells teacherSheet(const std::vector<std::string>& days, const std::vector<std::string>& hours, Facts facts)
{
    auto pickGroup = [](const hourFacts& s) { return s.students; };
    auto pickSubject = [](const hourFacts& s) { return s.subject; };
    auto pickRoom = [](const hourFacts& s) { return s.room; };
    return threeBlocks(schedule(days, hours, teacherGrid(days.size(), hours.size(), facts, pickGroup)),
                       schedule(days, hours, teacherGrid(days.size(), hours.size(), facts, pickSubject)),
                       schedule(days, hours, teacherGrid(days.size(), hours.size(), facts, pickRoom)));
}

// One row of a summary: the name, then each day's hours in its block of
// six columns.
void placeSummaryRow(expectedCells& cells, int row, const std::string& name, const grid& week)
{
    cells[cellRef(row, 0)] = name;
    for (size_t h = 0; h < week.size(); ++h)
        for (size_t d = 0; d < week[h].size(); ++d)
            cells[cellRef(row, int(1 + d * 6 + h))] = week[h][d];
}

void placeSummaryHeadings(expectedCells& cells)
{
    for (size_t d = 0; d < adamsDays.size(); ++d) {
        cells[cellRef(1, int(1 + d * 6))] = adamsDays[d];
        for (size_t h = 0; h < adamsHours.size(); ++h)
            cells[cellRef(2, int(1 + d * 6 + h))] = adamsHours[h];
    }
}

const sheetRead& sheetNamed(const workbookRead& book, const std::string& name)
{
    for (const sheetRead& sheet : book.sheets)
        if (sheet.name == name)
            return sheet;
    static const sheetRead none;
    ADD_FAILURE() << "no sheet " << name;
    return none;
}

class ExportLayoutTest : public testing::Test
{
protected:
    void SetUp() override { loadSchool(table); }

    workbookRead exportTeachers()
    {
        std::string path = makeTestFolder() + "teachers.xlsx";
        EXPECT_TRUE(table.teacherToExcel(path));
        return readWorkbook(path);
    }

    workbookRead exportStudents()
    {
        std::string path = makeTestFolder() + "students.xlsx";
        EXPECT_TRUE(table.studentsToExcel(path));
        return readWorkbook(path);
    }

    timeTable table;
};

TEST_F(ExportLayoutTest, TeachersSummaryAlignsEveryDayBlockUnderItsDayName)
{
    workbookRead book = exportTeachers();
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.names(), (std::vector<std::string>{"All teachers", "Adams", "Brown", "Clark"}));

    const sheetRead& summary = sheetNamed(book, "All teachers");
    EXPECT_EQ(summary.rows, 5);
    EXPECT_EQ(summary.columns, 31);  // 5 days of 6 hours and the names
    // Day 2 starts in column H for every teacher; Brown's hours 5 and 6 and
    // Clark's days 3 to 5 stay empty.
    EXPECT_EQ(summary.value("H1"), "Tue");
    EXPECT_EQ(summary.value("H4"), "1A");
    EXPECT_EQ(summary.value("L4"), "");

    expectedCells cells;
    placeSummaryHeadings(cells);
    auto pickGroup = [](const hourFacts& s) { return s.students; };
    placeSummaryRow(cells, 3, "Adams", teacherGrid(5, 6, adams, pickGroup));
    placeSummaryRow(cells, 4, "Brown", teacherGrid(5, 4, brown, pickGroup));
    placeSummaryRow(cells, 5, "Clark", teacherGrid(2, 2, clark, pickGroup));
    expectExactCells(summary, cells);
}

TEST_F(ExportLayoutTest, TeacherSheetsHoldThreeBlocksTwoRowsApart)
{
    workbookRead book = exportTeachers();
    ASSERT_TRUE(book.ok) << book.problem;

    const sheetRead& adamsSheet = sheetNamed(book, "Adams");
    EXPECT_EQ(adamsSheet.rows, 3 * 6 + 7);
    EXPECT_EQ(adamsSheet.columns, 6);
    expectExactCells(adamsSheet, teacherSheet(adamsDays, adamsHours, adams));

    const sheetRead& brownSheet = sheetNamed(book, "Brown");
    EXPECT_EQ(brownSheet.rows, 3 * 4 + 7);
    expectExactCells(brownSheet, teacherSheet(brownDays, brownHours, brown));

    // Without rooms Clark's third block has headings only.
    const sheetRead& clarkSheet = sheetNamed(book, "Clark");
    EXPECT_EQ(clarkSheet.rows, 3 * 2 + 7);
    EXPECT_EQ(clarkSheet.value("B12"), "");
    expectExactCells(clarkSheet, teacherSheet(clarkDays, clarkHours, clark));
}

// 1A: Brown in hour 1 (over Adams where both teach it), Adams in hours 3
// and 5. 2B: Adams in even hours, Clark (sorting later) in days 1-2, hours 1-2.
const grid groupA_subjects = {{"Art", "Art", "Art", "Art", "Art"}, {"", "", "", "", ""},
                              {"Math", "Math", "", "Math", "Math"}, {"", "", "", "", ""},
                              {"Math", "Math", "Math", "Math", ""}, {"", "", "", "", ""}};
const grid groupA_teachers = {{"Brown", "Brown", "Brown", "Brown", "Brown"}, {"", "", "", "", ""},
                              {"Adams", "Adams", "", "Adams", "Adams"}, {"", "", "", "", ""},
                              {"Adams", "Adams", "Adams", "Adams", ""}, {"", "", "", "", ""}};
const grid groupA_rooms = {{"S11", "S21", "S31", "S41", "S51"}, {"", "", "", "", ""},
                           {"R13", "R23", "", "R43", "R53"}, {"", "", "", "", ""},
                           {"R15", "R25", "R35", "R45", ""}, {"", "", "", "", ""}};
const grid groupB_subjects = {{"Bio", "Bio", "", "", ""}, {"Bio", "Bio", "Math", "Math", "Math"},
                              {"", "", "", "", ""}, {"Math", "Math", "Math", "", "Math"},
                              {"", "", "", "", ""}, {"Math", "Math", "Math", "Math", "Math"}};
const grid groupB_teachers = {{"Clark", "Clark", "", "", ""}, {"Clark", "Clark", "Adams", "Adams", "Adams"},
                              {"", "", "", "", ""}, {"Adams", "Adams", "Adams", "", "Adams"},
                              {"", "", "", "", ""}, {"Adams", "Adams", "Adams", "Adams", "Adams"}};
// Clark has no room: where Clark teaches 2B the room cell is empty.
const grid groupB_rooms = {{"", "", "", "", ""}, {"", "", "R32", "R42", "R52"},
                           {"", "", "", "", ""}, {"R14", "R24", "R34", "", "R54"},
                           {"", "", "", "", ""}, {"R16", "R26", "R36", "R46", "R56"}};
const grid groupC_subjects = {{"", "", "", "", ""}, {"Art", "Art", "Art", "Art", "Art"},
                              {"Art", "Art", "Art", "Art", "Art"}, {"Art", "Art", "Art", "Art", "Art"}};
const grid groupC_teachers = {{"", "", "", "", ""}, {"Brown", "Brown", "Brown", "Brown", "Brown"},
                              {"Brown", "Brown", "Brown", "Brown", "Brown"}, {"Brown", "Brown", "Brown", "Brown", "Brown"}};
const grid groupC_rooms = {{"", "", "", "", ""}, {"S12", "S22", "S32", "S42", "S52"},
                           {"S13", "S23", "S33", "S43", "S53"}, {"S14", "S24", "S34", "S44", "S54"}};

TEST_F(ExportLayoutTest, GroupSheetsMergeEveryTeacherAndTheLaterNameWinsAClash)
{
    workbookRead book = exportStudents();
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.names(), (std::vector<std::string>{"All students", "1A", "2B", "3C"}));

    const sheetRead& groupA = sheetNamed(book, "1A");
    EXPECT_EQ(groupA.rows, 3 * 6 + 7);
    EXPECT_EQ(groupA.value("C2"), "Art") << "Brown sorts after Adams";
    expectExactCells(groupA, threeBlocks(schedule(adamsDays, adamsHours, groupA_subjects),
                                         schedule(adamsDays, adamsHours, groupA_teachers),
                                         schedule(adamsDays, adamsHours, groupA_rooms)));

    const sheetRead& groupB = sheetNamed(book, "2B");
    EXPECT_EQ(groupB.value("B3"), "Bio") << "Clark sorts after Adams";
    expectExactCells(groupB, threeBlocks(schedule(adamsDays, adamsHours, groupB_subjects),
                                         schedule(adamsDays, adamsHours, groupB_teachers),
                                         schedule(adamsDays, adamsHours, groupB_rooms)));

    // Only Brown teaches 3C: Brown's headings and four hours.
    const sheetRead& groupC = sheetNamed(book, "3C");
    EXPECT_EQ(groupC.rows, 3 * 4 + 7);
    expectExactCells(groupC, threeBlocks(schedule(brownDays, brownHours, groupC_subjects),
                                         schedule(brownDays, brownHours, groupC_teachers),
                                         schedule(brownDays, brownHours, groupC_rooms)));
}

TEST_F(ExportLayoutTest, GroupsSummaryTakesItsHeadingsFromTheFirstGroup)
{
    workbookRead book = exportStudents();
    ASSERT_TRUE(book.ok) << book.problem;
    const sheetRead& summary = sheetNamed(book, "All students");
    EXPECT_EQ(summary.rows, 5);
    EXPECT_EQ(summary.columns, 31);

    expectedCells cells;
    placeSummaryHeadings(cells);
    placeSummaryRow(cells, 3, "1A", groupA_subjects);
    placeSummaryRow(cells, 4, "2B", groupB_subjects);
    placeSummaryRow(cells, 5, "3C", groupC_subjects);
    expectExactCells(summary, cells);
}

void expectEveryCellStyled(const workbookRead& book, const std::string& font, const std::string& size,
                           const std::string& alignment)
{
    size_t cellCount = 0;
    for (const sheetRead& sheet : book.sheets)
        for (const auto& cell : sheet.cells) {
            ++cellCount;
            EXPECT_EQ(cell.second.font, font) << sheet.name << "!" << cell.first;
            EXPECT_EQ(cell.second.size, size) << sheet.name << "!" << cell.first;
            EXPECT_EQ(cell.second.horizontal, alignment) << sheet.name << "!" << cell.first;
            EXPECT_EQ(cell.second.vertical, alignment) << sheet.name << "!" << cell.first;
        }
    EXPECT_GT(cellCount, 100u);
}

TEST_F(ExportLayoutTest, WithoutChosenFontNoStyleIsAdded)
{
    for (const workbookRead& book : {exportTeachers(), exportStudents()}) {
        ASSERT_TRUE(book.ok) << book.problem;
        EXPECT_EQ(book.cellStyles, 2);
        expectEveryCellStyled(book, "Calibri", "11", "");
    }
}

TEST_F(ExportLayoutTest, ChosenFontStylesEveryCellOfEverySheetCentred)
{
    table.setFontAndSize("DejaVu Serif", 14);
    for (const workbookRead& book : {exportTeachers(), exportStudents()}) {
        ASSERT_TRUE(book.ok) << book.problem;
        EXPECT_EQ(book.cellStyles, 3);
        expectEveryCellStyled(book, "DejaVu Serif", "14", "center");
    }

    // The default font named explicitly is still a chosen style: centred.
    table.setFontAndSize("Calibri", 11);
    workbookRead book = exportTeachers();
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.cellStyles, 3);
    expectEveryCellStyled(book, "Calibri", "11", "center");
}

}  // namespace
