// libFuzzer target: arbitrary bytes go through the import as a file; when
// they load, every schedule matrix is built and checked against the model.
// Any broken promise ends in abort(), which the fuzzer records as a crash.
//
// The same entry point runs in the normal test suite over the seed corpus
// and the saved regressions (replayMain.cpp).

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzzScratch.h"
#include "timetable/timeTable.h"

namespace {

[[noreturn]] void violation(const std::string& what)
{
    std::fprintf(stderr, "horatab fuzz: %s\n", what.c_str());
    std::abort();
}

void require(bool condition, const std::string& what)
{
    if (!condition)
        violation(what);
}

void checkTeacherCounts(const std::string& key, const teacher& person)
{
    require(person.name == key, "teacher registered under another name");
    require(person.dayCount == person.days.size(), "dayCount differs from the number of days");
    uint64_t most = 0;
    const teacherDay* first = nullptr;
    for (const teacherDay* day : person.days.list()) {
        if (day->hours.size() > most) {
            most = day->hours.size();
            first = day;
        }
    }
    require(person.hourCount == most, "hourCount differs from the longest day");
    require(person.longestDay == first, "longestDay is not the first longest day");
}

void checkReferences(timeTable& model, const teacher& person)
{
    for (const teacherDay* day : person.days.list()) {
        for (const hour* slot : day->hours.list()) {
            require(!slot->students || model.students.find(slot->students->name) == slot->students,
                    "an hour's group is not the registered one");
            require(!slot->subject || model.subjects.find(slot->subject->name) == slot->subject,
                    "an hour's subject is not the registered one");
            require(!slot->room || model.rooms.find(slot->room->name) == slot->room,
                    "an hour's room is not the registered one");
        }
    }
}

void checkTeacherSchedule(teacher& person)
{
    BaseMatrix<std::string> week;
    person.timeSchedule(week, INFO_STUDENTS | INFO_SUBJECT | INFO_ROOM);
    require(week.rowSize() == person.hourCount + 1 && week.colSize() == person.dayCount + 1,
            "a teacher's matrix does not have one row per hour and one column per day");
    require(week(0, 0) == scheduleCornerText, "a teacher's matrix lacks its corner text");
}

// Both ways of merging a group's week (with and without the index of
// teachers by group) must give the same matrix.
void checkGroupSchedules(timeTable& model)
{
    const timeTable::groupTeachersIndex index = model.teachersOfAllGroups();
    static const timeTable::teacherList none;
    for (auto& entry : model.students.map()) {
        BaseMatrix<std::string> merged;
        require(model.studentsTimeSchedule(entry.second, merged, INFO_SUBJECT | INFO_TEACHER),
                "merging a registered group failed");
        const auto found = index.find(entry.second);
        BaseMatrix<std::string> indexed;
        require(model.studentsTimeSchedule(entry.second, found == index.end() ? none : found->second, indexed,
                                           INFO_SUBJECT | INFO_TEACHER),
                "merging a registered group through the index failed");
        require(merged.rowSize() == indexed.rowSize() && merged.colSize() == indexed.colSize(),
                "the two merges of a group differ in size");
        for (uint64_t row = 0; row < merged.rowSize(); ++row)
            for (uint64_t column = 0; column < merged.colSize(); ++column)
                require(merged(uint32_t(row), uint32_t(column)) == indexed(uint32_t(row), uint32_t(column)),
                        "the two merges of a group differ");
    }
}

void checkModel(timeTable& model)
{
    for (auto& entry : model.teachers.map()) {
        require(entry.second != nullptr, "a null teacher in the registry");
        checkTeacherCounts(entry.first, *entry.second);
        checkReferences(model, *entry.second);
        checkTeacherSchedule(*entry.second);
    }
    checkGroupSchedules(model);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzzScratch& scratch = fuzzScratch::get();
    require(scratch.writeInput(data, size), "cannot write the input file to " + scratch.input);

    timeTable model;
    if (!model.parse(scratch.input)) {
        require(model.teachers.size() == 0 && model.students.size() == 0,
                "a failed load left something in the timetable");
        return 0;
    }
    checkModel(model);
    return 0;
}
