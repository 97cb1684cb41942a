#include "timetable/timeTable.h"

#include <algorithm>
#include <utility>

const char* const scheduleCornerText = "hour\\day";

SimpleXlsx::Status scheduleSizeProblem(const std::string& what, uint64_t rows, uint64_t columns,
                                       uint64_t textBytes)
{
    const std::string shape =
        std::to_string(rows) + " rows and " + std::to_string(columns) + " columns";
    if (columns != 0 && rows > maxScheduleCells / columns) {
        const std::string cells =
            rows > UINT64_MAX / columns ? "more than 2^64" : std::to_string(rows * columns);
        return SimpleXlsx::Status(SimpleXlsx::STATUS_TOO_LARGE,
                                  "too large to build: " + what + " would need " + cells +
                                      " cells (" + shape + "); at most " +
                                      std::to_string(maxScheduleCells) +
                                      " cells are built, to keep within the memory");
    }
    const uint64_t cellBytes = rows * columns * sizeof(std::string);
    if (textBytes <= maxScheduleBytes - cellBytes)
        return SimpleXlsx::Status();
    const uint64_t megabytes = (cellBytes + 999999) / 1000000 + (textBytes + 999999) / 1000000;
    return SimpleXlsx::Status(SimpleXlsx::STATUS_TOO_LARGE,
                              "too large to build: " + what + " would need about " +
                                  std::to_string(megabytes) + " MB (" + shape + ", " +
                                  std::to_string(textBytes) + " bytes of text); at most " +
                                  std::to_string(maxScheduleBytes / 1000000) +
                                  " MB are built, to keep within the memory");
}

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

// Every group of the hour, in file order, as one part: "5A, 5B".
template <typename Append>
static void appendGroupNames(const hour& taught, Append append)
{
    if (taught.groups.empty()) {
        if (taught.students)
            append(taught.students->name);
        return;
    }
    std::string joined;
    for (size_t i = 0; i < taught.groups.size(); ++i) {
        if (i > 0)
            joined += ", ";
        joined += taught.groups[i]->name;
    }
    append(joined);
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
    if (flags & INFO_STUDENTS)
        appendGroupNames(*taught, append);
    if ((flags & INFO_SUBJECT) && taught->subject)
        append(taught->subject->name);
    if (flags & INFO_TEACHER)
        append(name);
    if ((flags & INFO_ROOM) && taught->room)
        append(taught->room->name);
}

// Hands the cell text of every hour that `shows` accepts to `write` with its
// position: row = the hour's place in its day, column = the day's place,
// from 1; positions outside the matrix are skipped.
template <typename Shows, typename Write>
static void placeHours(const teacher& taught, BaseMatrix<std::string>& matrix, uint32_t flags,
                       Shows shows, Write write)
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
                write(matrix(uint32_t(row), uint32_t(column)), std::move(text));
            }
            ++row;
        }
        ++column;
    }
}

void teacher::timeSchedule(BaseMatrix<std::string>& matrix, uint32_t flags)
{
    initMatrix(matrix, dayCount, hourCount);
    // Duties (a subject or a room without a group) belong to the week too.
    placeHours(
        *this, matrix, flags, [](const hour* slot) { return slot->hasLesson(); },
        [](std::string& cell, std::string text) { cell = std::move(text); });
}

// Adds `text` to a cell of a group's week as a line of its own, unless the
// cell already holds it: parallel lessons of one group at one time (a class
// taught in halves) all stay visible, in the order they are added.
static void addLine(std::string& cell, const std::string& text)
{
    if (text.empty())
        return;
    if (cell.empty()) {
        cell = text;
        return;
    }
    for (size_t start = 0; start <= cell.size();) {
        size_t end = cell.find('\n', start);
        if (end == std::string::npos)
            end = cell.size();
        if (cell.compare(start, end - start, text) == 0)
            return;
        start = end + 1;
    }
    cell += '\n';
    cell += text;
}

// Column 0 of the matrix: the hour names of the teacher's longest day.
static void setHourNames(BaseMatrix<std::string>& matrix, const teacher& source)
{
    if (!source.longestDay)
        return;
    uint64_t row = 1;
    for (const hour* slot : source.longestDay->hours.list()) {
        if (row >= matrix.rowSize())
            break;
        matrix(uint32_t(row++), 0) = slot->name;
    }
}

bool teacher::workOnThisClass(const namedObjects<std::string>* group)
{
    for (const teacherDay* day : days.list())
        for (const hour* slot : day->hours.list())
            if (slot->teaches(group))
                return true;
    return false;
}

void teacher::update(const namedObjects<std::string>* group, BaseMatrix<std::string>& matrix,
                     uint32_t flags)
{
    placeHours(
        *this, matrix, flags, [group](const hour* slot) { return slot->teaches(group); }, addLine);
}

// Adds the hours of `member` taught to `group` to the group's week source.
static void addLessonsOf(teacher* member, const namedObjects<std::string>* group,
                         timeTable::groupWeekSource& source)
{
    uint64_t column = 1;
    for (const teacherDay* day : member->days.list()) {
        uint64_t row = 1;
        for (const hour* slot : day->hours.list()) {
            if (slot->teaches(group))
                source.lessons.push_back({member, slot, row, column});
            ++row;
        }
        ++column;
    }
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
    groupWeekSource source;
    for (auto& entry : teachers.map()) {
        const size_t lessonsBefore = source.lessons.size();
        if (entry.second)
            addLessonsOf(entry.second, group, source);
        if (source.lessons.size() > lessonsBefore)
            source.teachers.push_back(entry.second);
    }
    return studentsTimeSchedule(group, source, matrix, flags);
}

// The groups an hour is taught to, also for an hour whose only group was
// set directly as `students`; a view, as this is asked for every hour.
static std::pair<namedObjects<std::string>* const*, size_t> groupsOf(const hour& slot)
{
    if (slot.groups.empty())
        return {&slot.students, slot.students ? 1 : 0};
    return {slot.groups.data(), slot.groups.size()};
}

// The bytes fillInfos gives `taught` for `slot` with `flags`, with room for
// the separators and the line break of a merged cell.
static uint64_t infoBytes(const teacher& taught, const hour& slot, uint32_t flags)
{
    uint64_t bytes = 1;
    if (flags & INFO_STUDENTS) {
        const auto [groups, count] = groupsOf(slot);
        for (size_t i = 0; i < count; ++i)
            bytes += groups[i]->name.size() + 3;
    }
    if ((flags & INFO_SUBJECT) && slot.subject)
        bytes += slot.subject->name.size() + 3;
    if (flags & INFO_TEACHER)
        bytes += taught.name.size() + 3;
    if ((flags & INFO_ROOM) && slot.room)
        bytes += slot.room->name.size() + 3;
    return bytes;
}

uint64_t timeTable::groupWeekTextBytes(const groupWeekSource& source, uint32_t flags)
{
    uint64_t bytes = 0;
    for (const groupLesson& lesson : source.lessons)
        bytes += infoBytes(*lesson.member, *lesson.slot, flags);
    return bytes;
}

uint64_t timeTable::groupsSummaryTextBytes()
{
    uint64_t bytes = 0;
    for (auto& entry : teachers.map())
        if (entry.second)
            for (const teacherDay* day : entry.second->days.list())
                for (const hour* slot : day->hours.list())
                    bytes += infoBytes(*entry.second, *slot, INFO_SUBJECT) * groupsOf(*slot).second;
    return bytes;
}

static void addTeacher(timeTable::teacherList& groupTeachers, teacher* member)
{
    if (groupTeachers.empty() || groupTeachers.back() != member)
        groupTeachers.push_back(member);
}

// Hands every group that `slot` is taught to (each once, whether named in
// `groups` or only as `students`) to `visit`.
template <typename Visit>
static void forEachTaughtGroup(const hour& slot, Visit visit)
{
    for (size_t i = 0; i < slot.groups.size(); ++i)
        if (slot.groups[i] && std::find(slot.groups.begin(), slot.groups.begin() + long(i),
                                        slot.groups[i]) == slot.groups.begin() + long(i))
            visit(slot.groups[i]);
    if (slot.students &&
        std::find(slot.groups.begin(), slot.groups.end(), slot.students) == slot.groups.end())
        visit(slot.students);
}

timeTable::groupLessonsIndex timeTable::lessonsOfAllGroups()
{
    groupLessonsIndex index;
    index.reserve(students.size());
    for (auto& entry : teachers.map()) {
        teacher* member = entry.second;
        if (!member)
            continue;
        uint64_t column = 1;
        for (const teacherDay* day : member->days.list()) {
            uint64_t row = 1;
            for (const hour* slot : day->hours.list()) {
                forEachTaughtGroup(*slot, [&](const namedObjects<std::string>* group) {
                    groupWeekSource& source = index[group];
                    addTeacher(source.teachers, member);
                    source.lessons.push_back({member, slot, row, column});
                });
                ++row;
            }
            ++column;
        }
    }
    return index;
}

// Merges the week of `group` from its teachers, given in name order. The
// headings come from the largest week: the day names from the first teacher
// with the most days, the hour names from the longest day of the first
// teacher with the most hours, so that every row and column with a lesson
// has its name. Where several teachers teach the group at one time, the
// cell lists each of their texts, one per line, in name order.
bool timeTable::studentsTimeSchedule(const namedObjects<std::string>* group,
                                     const groupWeekSource& source, BaseMatrix<std::string>& matrix,
                                     uint32_t flags)
{
    if (!group)
        return false;
    teacher* mostDays = nullptr;
    teacher* mostHours = nullptr;
    for (teacher* candidate : source.teachers) {
        if (!candidate)
            continue;
        if (!mostDays || candidate->dayCount > mostDays->dayCount)
            mostDays = candidate;
        if (!mostHours || candidate->hourCount > mostHours->hourCount)
            mostHours = candidate;
    }
    if (!mostDays || mostDays->dayCount == 0 || mostHours->hourCount == 0)
        return false;

    mostDays->initMatrix(matrix, mostDays->dayCount, mostHours->hourCount);
    setHourNames(matrix, *mostHours);
    std::string text;
    for (const groupLesson& lesson : source.lessons) {
        if (lesson.row >= matrix.rowSize() || lesson.column >= matrix.colSize())
            continue;
        text.clear();
        lesson.member->fillInfos(lesson.slot, text, flags);
        addLine(matrix(uint32_t(lesson.row), uint32_t(lesson.column)), text);
    }
    return true;
}
