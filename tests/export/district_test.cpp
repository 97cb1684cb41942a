// Both exports of the district-size generated timetable (3,000 teachers,
// 1,000 groups, 6 days of 12 hours) complete, leave no temporary files and
// open in the independent reader; sampled sheets match the schedules.

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exportTestSupport.h"

namespace {

std::vector<std::vector<std::string>> rowsOf(const BaseMatrix<std::string>& matrix)
{
    std::vector<std::vector<std::string>> rows(matrix.rowSize(), std::vector<std::string>(matrix.colSize()));
    for (uint64_t r = 0; r < matrix.rowSize(); ++r)
        for (uint64_t c = 0; c < matrix.colSize(); ++c)
            rows[r][c] = matrix(uint32_t(r), uint32_t(c));
    return rows;
}

// The cells of summary row `row`: the name, and each day's hours in its block.
void placeSummaryRow(expectedCells& cells, int row, const std::string& name, const BaseMatrix<std::string>& week,
                     uint64_t hoursPerDay)
{
    cells[cellRef(row, 0)] = name;
    for (uint64_t d = 1; d < week.colSize(); ++d)
        for (uint64_t h = 1; h < week.rowSize(); ++h)
            cells[cellRef(row, int(1 + (d - 1) * hoursPerDay + (h - 1)))] = week(uint32_t(h), uint32_t(d));
}

// Only the summary cells of one row, for comparison with `expected`.
sheetRead summaryRow(const sheetRead& summary, int row)
{
    sheetRead part;
    part.name = summary.name + " row " + std::to_string(row);
    const std::string suffix = std::to_string(row);
    for (const auto& cell : summary.cells) {
        size_t digits = cell.first.find_first_of("0123456789");
        if (cell.first.substr(digits) == suffix)
            part.cells.insert(cell);
    }
    return part;
}

template <typename Map>
typename Map::mapped_type nth(Map& map, size_t n)
{
    auto it = map.begin();
    std::advance(it, n);
    return it->second;
}

class DistrictExportTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new std::string(makeTestFolder());
        const std::string input = *folder + "district.xml";
        const std::string command =
            shellQuoted(HORATAB_GEN_BIN) + " --district -o " + shellQuoted(input);
        ASSERT_EQ(std::system(command.c_str()), 0);
        table = new timeTable();
        ASSERT_TRUE(table->parse(input));
    }

    static void TearDownTestSuite()
    {
        delete table;
        delete folder;
    }

    static std::string* folder;
    static timeTable* table;
};

std::string* DistrictExportTest::folder = nullptr;
timeTable* DistrictExportTest::table = nullptr;

TEST_F(DistrictExportTest, TeachersWorkbook)
{
    ASSERT_EQ(table->teachers.size(), 3000u);
    const std::string path = *folder + "teachers.xlsx";
    {
        privateTempDir temp;
        ASSERT_TRUE(table->teacherToExcel(path));
        EXPECT_TRUE(temp.entries().empty());
    }
    const std::vector<size_t> sampled = {0, 1499, 2999};
    workbookRead book = readWorkbook(path, {0, 1, 1500, 3000});
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.sheetCount, 3001);
    ASSERT_EQ(book.sheets.size(), 4u);

    const sheetRead& summary = book.sheets[0];
    EXPECT_EQ(summary.name, "All teachers");
    EXPECT_EQ(summary.rows, 3002);
    EXPECT_EQ(summary.columns, 6 * 12 + 1);
    for (size_t i = 0; i < sampled.size(); ++i) {
        teacher* member = nth(table->teachers.map(), sampled[i]);
        BaseMatrix<std::string> week;
        member->timeSchedule(week, INFO_STUDENTS);
        expectedCells row;
        placeSummaryRow(row, int(sampled[i]) + 3, member->name, week, 12);
        expectExactCells(summaryRow(summary, int(sampled[i]) + 3), row);

        const sheetRead& sheet = book.sheets[i + 1];
        EXPECT_EQ(sheet.name, member->name);
        expectedCells cells;
        const int height = int(week.rowSize());
        placeMatrix(cells, 1, rowsOf(week));
        member->timeSchedule(week, INFO_SUBJECT);
        placeMatrix(cells, height + 3, rowsOf(week));
        member->timeSchedule(week, INFO_ROOM);
        placeMatrix(cells, 2 * height + 5, rowsOf(week));
        expectExactCells(sheet, cells);
    }
}

// The export merges groups through an index of each group's teachers; the
// sheets must equal the merge that walks every teacher.
TEST_F(DistrictExportTest, StudentsWorkbook)
{
    ASSERT_EQ(table->students.size(), 1000u);
    const std::string path = *folder + "students.xlsx";
    {
        privateTempDir temp;
        ASSERT_TRUE(table->studentsToExcel(path));
        EXPECT_TRUE(temp.entries().empty());
    }
    const std::vector<size_t> sampled = {0, 499, 999};
    workbookRead book = readWorkbook(path, {0, 1, 500, 1000});
    ASSERT_TRUE(book.ok) << book.problem;
    EXPECT_EQ(book.sheetCount, 1001);
    ASSERT_EQ(book.sheets.size(), 4u);

    const sheetRead& summary = book.sheets[0];
    EXPECT_EQ(summary.name, "All students");
    EXPECT_EQ(summary.rows, 1002);
    EXPECT_EQ(summary.columns, 6 * 12 + 1);
    for (size_t i = 0; i < sampled.size(); ++i) {
        const std::string name = nth(table->students.map(), sampled[i])->name;
        BaseMatrix<std::string> week;
        ASSERT_TRUE(table->studentsTimeSchedule(name, week, INFO_SUBJECT));
        expectedCells row;
        placeSummaryRow(row, int(sampled[i]) + 3, name, week, 12);
        expectExactCells(summaryRow(summary, int(sampled[i]) + 3), row);

        const sheetRead& sheet = book.sheets[i + 1];
        EXPECT_EQ(sheet.name, name);
        expectedCells cells;
        const int height = int(week.rowSize());
        placeMatrix(cells, 1, rowsOf(week));
        ASSERT_TRUE(table->studentsTimeSchedule(name, week, INFO_TEACHER));
        placeMatrix(cells, height + 3, rowsOf(week));
        ASSERT_TRUE(table->studentsTimeSchedule(name, week, INFO_ROOM));
        placeMatrix(cells, 2 * height + 5, rowsOf(week));
        expectExactCells(sheet, cells);
    }
}

}  // namespace
