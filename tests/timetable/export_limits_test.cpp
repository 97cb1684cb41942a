// Exports of timetables whose summary cannot fit on a sheet: they must fail
// cleanly, before building the summary, and leave nothing behind.

#include "timetableTestSupport.h"

namespace {

// A teacher with `days` days of one hour each, or with one day of `hours`
// hours; every hour teaches `group` when one is given.
teacher* addTeacher(timeTable& model, const std::string& name, int days, int hours,
                    namedObjects<std::string>* group = nullptr)
{
    teacher* person = model.insertTeacher(name);
    for (int d = 0; d < days; ++d) {
        teacherDay* day = person->addDay("day " + std::to_string(d));
        for (int h = 0; h < (d == 0 ? hours : 1); ++h)
            day->addhour(std::to_string(h + 1))->students = group;
    }
    person->fixSize();
    return person;
}

class ExportLimits : public ::testing::Test
{
protected:
    std::string folder = newFolder();
    std::string destination = folder + "out.xlsx";
};

// 16383 = 129 x 127: with the column of names the summary takes every
// column of a sheet, the last being XFD; one day more, or 128 x 128, is one
// column too many.
TEST_F(ExportLimits, SummaryOfExactlyTheLastColumnIsWrittenOneMoreFails)
{
    for (const auto& [days, hours] : {std::pair{129, 127}, {130, 127}, {128, 128}}) {
        SCOPED_TRACE(std::to_string(days) + " x " + std::to_string(hours));
        timeTable model;
        namedObjects<std::string>* group = model.insertStudents("1.A");
        addTeacher(model, "Days", days, 1, group);
        addTeacher(model, "Hours", 1, hours, group);
        const bool fits = days == 129;
        for (const bool teachers : {true, false}) {
            std::filesystem::remove(destination);
            EXPECT_EQ(teachers ? model.teacherToExcel(destination)
                               : model.studentsToExcel(destination),
                      fits);
            EXPECT_EQ(support::entryCount(folder), fits ? 1u : 0u);
            EXPECT_EQ(temporaryFiles(), 0u);
        }
    }
}

}  // namespace
