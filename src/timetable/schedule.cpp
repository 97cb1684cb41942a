#include "timetable/timeTable.h"

#include <algorithm>

const char* const scheduleCornerText = "hour\\day";

// Every loop below also stops at the matrix's own dimensions, so a teacher
// whose counts are stale can never write outside the matrix.

void teacher::initMatrix(BaseMatrix<std::string>& matrix, uint64_t dayTotal, uint64_t hourTotal)
{
    matrix.setSize(hourTotal + 1, dayTotal + 1);
    matrix = std::string();
    matrix(0, 0) = scheduleCornerText;

    uint64_t column = 1;
    for (const teacherDay* day : days.list()) {
        if (column > dayTotal)
            break;
        matrix(uint32_t(0), uint32_t(column++)) = day->name;
    }
    if (!longestDay)
        return;
    uint64_t row = 1;
    for (const hour* slot : longestDay->hours.list()) {
        if (row > hourTotal)
            break;
        matrix(uint32_t(row++), 0) = slot->name;
    }
}

void teacher::fillInfos(const hour* taught, std::string& text, uint32_t flags) const
{
    if (!taught)
        return;
    bool firstPart = true;
    auto append = [&](const std::string& part) {
        if (!firstPart)
            text += " / ";
        text += part;
        firstPart = false;
    };
    if ((flags & INFO_STUDENTS) && taught->students)
        append(taught->students->name);
    if ((flags & INFO_SUBJECT) && taught->subject)
        append(taught->subject->name);
    if (flags & INFO_TEACHER)
        append(name);
    if ((flags & INFO_ROOM) && taught->room)
        append(taught->room->name);
}

// Writes the cell text of every hour that `shows` accepts at its position:
// row = the hour's place in its day, column = the day's place, from 1;
// positions outside the matrix are skipped.
template <typename Shows>
static void placeHours(const teacher& taught, BaseMatrix<std::string>& matrix, uint32_t flags,
                       Shows shows)
{
    uint64_t column = 1;
    for (const teacherDay* day : taught.days.list()) {
        if (column >= matrix.colSize())
            break;
        uint64_t row = 1;
        for (const hour* slot : day->hours.list()) {
            if (row >= matrix.rowSize())
                break;
            if (shows(slot)) {
                std::string text;
                taught.fillInfos(slot, text, flags);
                matrix(uint32_t(row), uint32_t(column)) = std::move(text);
            }
            ++row;
        }
        ++column;
    }
}

void teacher::timeSchedule(BaseMatrix<std::string>& matrix, uint32_t flags)
{
    initMatrix(matrix, dayCount, hourCount);
    // An hour without a student group stays empty, whatever the flags ask.
    placeHours(*this, matrix, flags, [](const hour* slot) { return slot->students != nullptr; });
}

bool teacher::workOnThisClass(const namedObjects<std::string>* group)
{
    for (const teacherDay* day : days.list())
        for (const hour* slot : day->hours.list())
            if (slot->students == group)
                return true;
    return false;
}

void teacher::update(const namedObjects<std::string>* group, BaseMatrix<std::string>& matrix,
                     uint32_t flags)
{
    placeHours(*this, matrix, flags, [group](const hour* slot) { return slot->students == group; });
}

bool timeTable::studentsTimeSchedule(std::string name, BaseMatrix<std::string>& matrix,
                                     uint32_t flags)
{
    const namedObjects<std::string>* group = students.find(std::move(name));
    if (!group)
        return false;
    return studentsTimeSchedule(group, matrix, flags);
}

bool timeTable::studentsTimeSchedule(const namedObjects<std::string>* group,
                                     BaseMatrix<std::string>& matrix, uint32_t flags)
{
    if (!group)
        return false;
    teacherList groupTeachers;
    for (auto& entry : teachers.map())
        if (entry.second && entry.second->workOnThisClass(group))
            groupTeachers.push_back(entry.second);
    return studentsTimeSchedule(group, groupTeachers, matrix, flags);
}

timeTable::groupTeachersIndex timeTable::teachersOfAllGroups()
{
    groupTeachersIndex index;
    for (auto& entry : teachers.map()) {
        teacher* member = entry.second;
        if (!member)
            continue;
        for (const teacherDay* day : member->days.list())
            for (const hour* slot : day->hours.list()) {
                if (!slot->students)
                    continue;
                teacherList& groupTeachers = index[slot->students];
                if (groupTeachers.empty() || groupTeachers.back() != member)
                    groupTeachers.push_back(member);
            }
    }
    return index;
}

// Merges the week of `group` from its teachers, given in name order: the
// headings come from the first of them, and where two teachers have the
// group in the same position the later one's text stays.
bool timeTable::studentsTimeSchedule(const namedObjects<std::string>* group,
                                     const teacherList& groupTeachers,
                                     BaseMatrix<std::string>& matrix, uint32_t flags)
{
    if (!group)
        return false;
    teacher* firstTeacher = nullptr;
    uint64_t dayMaximum = 0;
    uint64_t hourMaximum = 0;
    vorListPtr<teacher> members(false);

    for (teacher* candidate : groupTeachers) {
        if (!candidate)
            continue;
        members.add(candidate);
        if (!firstTeacher)
            firstTeacher = candidate;
        dayMaximum = std::max(dayMaximum, candidate->dayCount);
        hourMaximum = std::max(hourMaximum, candidate->hourCount);
    }
    if (dayMaximum == 0 || hourMaximum == 0 || !firstTeacher)
        return false;

    firstTeacher->initMatrix(matrix, dayMaximum, hourMaximum);
    for (teacher* member : members.list())
        member->update(group, matrix, flags);
    return true;
}
