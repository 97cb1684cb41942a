// Both exports of the generated district (3,000 teachers, 1,000 groups, 6 days of
// 12 hours) complete, leave no part files, open in the reader and hold the schedules.

#include <algorithm>
#include <iterator>

#include "timetableTestSupport.h"

namespace {

typedef BaseMatrix<std::string> matrix;

// The rows of `week` as the reader prints them.
std::string gridOf(const matrix& week)
{
    std::string grid;
    for (uint32_t r = 0; r < week.rowSize(); ++r) {
        std::string row;
        for (uint32_t c = 0; c < week.colSize(); ++c)
            row += (c ? "\t" : "") + week(r, c);
        grid += row.erase(row.find_last_not_of('\t') + 1) + "\n";
    }
    return grid;
}

class DistrictExportTest : public testing::Test
{
protected:
    static timeTable* table;

    static void SetUpTestSuite()
    {
        std::string input = newFolder() + "district.xml";
        ASSERT_EQ(support::runProgram(HORATAB_GEN_BIN, {"--district", "-o", input}).status, 0);
        table = new timeTable();
        ASSERT_TRUE(table->parse(input));
    }

    static void TearDownTestSuite() { delete table; }

    // Exports, then reads back the summary and the first, middle and last
    // sheets and compares them with the schedules `week(object, flags, m)`.
    template <typename Registry, typename Week>
    void expectWorkbook(bool teachers, const Registry& registry, const uint32_t (&flags)[3],
                        Week week)
    {
        std::string path = newFolder() + "book.xlsx";
        ASSERT_TRUE(teachers ? table->teacherToExcel(path) : table->studentsToExcel(path));
        EXPECT_EQ(temporaryFiles(), 0u);
        const size_t count = registry.size();
        support::WorkbookRead book =
            support::readWorkbook(path, {0, 1, int(count / 2) + 1, int(count)});
        ASSERT_EQ(book.problem, "");
        EXPECT_EQ(book.header["SHEETS"], std::to_string(count + 1));
        ASSERT_EQ(book.grids.size(), 4u);
        EXPECT_EQ(std::count(book.grids[0].begin(), book.grids[0].end(), '\n'), long(count + 2));

        size_t sheet = 0;
        for (size_t n : {size_t(0), count / 2, count - 1}) {
            auto entry = std::next(registry.map().begin(), n);
            matrix blocks[3];
            for (int b = 0; b < 3; ++b)
                week(entry->second, flags[b], blocks[b]);
            EXPECT_EQ(book.sheetNames[++sheet], entry->first);
            EXPECT_EQ(book.grids[sheet],
                      gridOf(blocks[0]) + "\n\n" + gridOf(blocks[1]) + "\n\n" + gridOf(blocks[2]));
        }
    }
};

timeTable* DistrictExportTest::table = nullptr;

TEST_F(DistrictExportTest, TeachersWorkbook)
{
    ASSERT_EQ(table->teachers.size(), 3000u);
    const uint32_t flags[3] = {INFO_STUDENTS, INFO_SUBJECT, INFO_ROOM};
    expectWorkbook(true, table->teachers, flags, [](teacher* member, uint32_t info, matrix& m) {
        member->timeSchedule(m, info);
    });
}

// The export merges through an index of each group's teachers; its sheets
// must equal the merge that walks every teacher.
TEST_F(DistrictExportTest, StudentsWorkbook)
{
    ASSERT_EQ(table->students.size(), 1000u);
    const uint32_t flags[3] = {INFO_SUBJECT, INFO_TEACHER, INFO_ROOM};
    expectWorkbook(false, table->students, flags,
                   [](namedObjects<std::string>* group, uint32_t info, matrix& m) {
                       EXPECT_TRUE(table->studentsTimeSchedule(group, m, info));
                   });
}

}  // namespace
