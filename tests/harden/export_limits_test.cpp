// Exports of timetables whose summary cannot fit on a sheet: they must fail
// cleanly, before building the summary. A file of a few kilobytes (many
// teachers, one with many days, one with many hours) otherwise asked for a
// summary of a billion cells and crashed the export.

#include <gtest/gtest.h>

#include <string>

#include "scratchFolder.h"
#include "timetable/timeTable.h"

namespace {

// A teacher with `days` days of one hour each, every hour teaching `group`
// when one is given.
teacher* addTeacherWithDays(timeTable& model, const std::string& name, int days,
                            namedObjects<std::string>* group = nullptr)
{
    teacher* person = model.insertTeacher(name);
    for (int d = 0; d < days; ++d)
        person->addDay("day " + std::to_string(d))->addhour("1")->students = group;
    person->fixSize();
    return person;
}

// A teacher with one day of `hours` hours, every hour teaching `group`.
teacher* addTeacherWithHours(timeTable& model, const std::string& name, int hours,
                             namedObjects<std::string>* group = nullptr)
{
    teacher* person = model.insertTeacher(name);
    teacherDay* day = person->addDay("Monday");
    for (int h = 0; h < hours; ++h)
        day->addhour(std::to_string(h + 1))->students = group;
    person->fixSize();
    return person;
}

class ExportLimits : public ::testing::Test
{
protected:
    scratchFolder scratch;
    std::string destination = scratch.path() + "/out.xlsx";

    void expectNothingLeft()
    {
        EXPECT_FALSE(scratch.exists("out.xlsx"));
        EXPECT_EQ(scratch.entries(), std::vector<std::string>{"tmp"});
        EXPECT_TRUE(scratch.tempEntries().empty());
    }
};

TEST_F(ExportLimits, TeachersSummaryBeyondTheLastColumnFailsBeforeItIsBuilt)
{
    // 1002 rows of 1000 days x 1000 hours: a billion cells.
    timeTable model;
    addTeacherWithDays(model, "Days", 1000);
    addTeacherWithHours(model, "Hours", 1000);
    for (int t = 0; t < 1000; ++t)
        addTeacherWithDays(model, "Teacher " + std::to_string(t), 1);
    EXPECT_FALSE(model.teacherToExcel(destination));
    expectNothingLeft();
}

TEST_F(ExportLimits, StudentsSummaryBeyondTheLastColumnFailsBeforeItIsBuilt)
{
    // Every group is taught by a teacher of 1000 days and one of 1000 hours,
    // so each group's week alone has a million cells.
    timeTable model;
    teacher* days = addTeacherWithDays(model, "Days", 1000);
    teacher* hours = addTeacherWithHours(model, "Hours", 1000);
    int slot = 0;
    for (teacherDay* day : days->days.list())
        day->hours.list().front()->students = model.insertStudents("G" + std::to_string(slot++));
    slot = 0;
    for (hour* taught : hours->days.list().front()->hours.list())
        taught->students = model.insertStudents("G" + std::to_string(slot++));
    EXPECT_FALSE(model.studentsToExcel(destination));
    expectNothingLeft();
}

// 16383 = 129 x 127: with the column of names the summary takes every
// column of a sheet, the last being XFD.
TEST_F(ExportLimits, SummaryOfExactlyTheLastColumnIsWritten)
{
    timeTable model;
    namedObjects<std::string>* group = model.insertStudents("1.A");
    addTeacherWithDays(model, "Days", 129, group);
    addTeacherWithHours(model, "Hours", 127, group);
    EXPECT_TRUE(model.teacherToExcel(destination));
    EXPECT_TRUE(scratch.exists("out.xlsx"));
    EXPECT_TRUE(scratch.tempEntries().empty());
    scratch.remove("out.xlsx");
    EXPECT_TRUE(model.studentsToExcel(destination));
    EXPECT_TRUE(scratch.tempEntries().empty());
}

TEST_F(ExportLimits, SummaryOneColumnPastTheLastFails)
{
    timeTable model;
    namedObjects<std::string>* group = model.insertStudents("1.A");
    addTeacherWithDays(model, "Days", 130, group);
    addTeacherWithHours(model, "Hours", 127, group);
    EXPECT_FALSE(model.teacherToExcel(destination));
    expectNothingLeft();
    EXPECT_FALSE(model.studentsToExcel(destination));
    expectNothingLeft();
}

}  // namespace
