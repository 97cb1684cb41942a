// The teachers' and the student groups' workbooks: a summary sheet with every
// teacher (or group) on one row and the week side by side, then one sheet per
// teacher (or group) with its week three times, once per kind of fact.

#include <algorithm>
#include <ctime>
#include <new>
#include <string>
#include <utility>

#include "timetable/ExcelWriteWrapper.h"
#include "timetable/printLayout.h"
#include "timetable/shownText.h"
#include "timetable/timeTable.h"
#include "xlsx/Cell.h"

namespace {

const char* const allTeachersTitle = "All teachers";
const char* const allStudentsTitle = "All students";
const char* const teacherCaptions[3] = {"Groups", "Subjects", "Rooms"};
const char* const groupCaptions[3] = {"Subjects", "Teachers", "Rooms"};
const int32_t rowsBetweenBlocks = 2;

// The summary: row 0 the day names, each above the first column of its
// block of `hoursPerDay` columns; row 1 the hour names under every day; then
// one row per week, its name in column 0. The day names come from the first
// week with the most days, the hour names from the first week with the most
// hours, so that every column with a lesson has its headings.
class summaryMatrix
{
public:
    summaryMatrix(uint64_t weeks, uint64_t days, uint64_t hoursPerDay)
        : cells(weeks + 2, days * hoursPerDay + 1), days(days), hoursPerDay(hoursPerDay),
          dayNamesSet(false), hourNamesSet(false)
    {}

    // Takes the headings of `week` where it is the first with the most days
    // (or hours) of the summary.
    void offerHeadings(const BaseMatrix<std::string>& week)
    {
        if (!dayNamesSet && week.colSize() == days + 1) {
            for (uint64_t day = 1; day < week.colSize(); ++day)
                cells(0, column(day, 1)) = week(0, uint32_t(day));
            dayNamesSet = true;
        }
        if (!hourNamesSet && week.rowSize() == hoursPerDay + 1) {
            for (uint64_t day = 1; day <= days; ++day)
                for (uint64_t hourRow = 1; hourRow < week.rowSize(); ++hourRow)
                    cells(1, column(day, hourRow)) = week(uint32_t(hourRow), 0);
            hourNamesSet = true;
        }
    }

    // Moves the cells of `week` (not its headings) into row `k`: the week is
    // built anew for the next row anyway.
    void takeWeek(uint64_t k, const std::string& name, BaseMatrix<std::string>& week)
    {
        const uint32_t row = uint32_t(k + 2);
        cells(row, 0) = name;
        for (uint64_t day = 1; day < week.colSize(); ++day)
            for (uint64_t hourRow = 1; hourRow < week.rowSize(); ++hourRow)
                cells(row, column(day, hourRow)) =
                    std::move(week(uint32_t(hourRow), uint32_t(day)));
    }

    const BaseMatrix<std::string>& matrix() const { return cells; }

private:
    uint32_t column(uint64_t day, uint64_t hourRow) const
    {
        return uint32_t(1 + (day - 1) * hoursPerDay + (hourRow - 1));
    }

    BaseMatrix<std::string> cells;
    uint64_t days;
    uint64_t hoursPerDay;
    bool dayNamesSet;
    bool hourNamesSet;
};

// Whether a summary of `weeks` rows whose days hold blocks of `hoursPerDay`
// columns, after the column of names, fits on a sheet. It is checked
// before the summary is built: a small hostile file can ask for a summary
// of billions of cells, more memory than the machine has, and a sheet
// could not hold it anyway. Every week of a summary that fits is small, so
// this also bounds the sheets written after it.
bool summaryFitsSheet(uint64_t weeks, uint64_t days, uint64_t hoursPerDay)
{
    return hoursPerDay > 0 && days <= (SimpleXlsx::maxColumns - 1) / hoursPerDay &&
           weeks <= SimpleXlsx::maxRows - 2;
}

// Records, with the numbers, why the summary is not built; returns false.
// Its rows and columns are checked against a sheet first (which also keeps
// their product within 64 bits), then its cells against maxScheduleCells:
// a sheet could hold a billion of them, the memory could not.
bool summaryTooLarge(ExcelWriteWrapper* facade, const char* kind, uint64_t weeks, uint64_t days,
                     uint64_t hoursPerDay, uint64_t textBytes = 0)
{
    const std::string counts = std::string(kind) + ": " + std::to_string(weeks) +
                               ", days: " + std::to_string(days) +
                               ", hours a day: " + std::to_string(hoursPerDay);
    if (summaryFitsSheet(weeks, days, hoursPerDay)) {
        SimpleXlsx::Status reason =
            scheduleSizeProblem("the summary of all " + std::string(kind), weeks + 2,
                                days * hoursPerDay + 1, textBytes);
        reason.message += " (" + counts + ")";
        return facade->fail(reason);
    }
    const std::string need = std::to_string(weeks + 2) + " rows and " +
                             std::to_string(days * hoursPerDay + 1) + " columns (" + counts + ")";
    const std::string room = std::to_string(SimpleXlsx::maxRows) + " rows and " +
                             std::to_string(SimpleXlsx::maxColumns) + " columns";
    return facade->fail(SimpleXlsx::Status(SimpleXlsx::STATUS_TOO_LARGE,
                                           "too large for a sheet: the summary needs " + need +
                                               "; a sheet holds " + room));
}

// Whether the summary may be built: it fits on a sheet, and its cells and
// their `textBytes` of text stay within maxScheduleCells and maxScheduleBytes.
bool summaryFits(uint64_t weeks, uint64_t days, uint64_t hoursPerDay, uint64_t textBytes = 0)
{
    return summaryFitsSheet(weeks, days, hoursPerDay) &&
           scheduleSizeProblem(std::string(), weeks + 2, days * hoursPerDay + 1, textBytes).Ok();
}

bool nothingToExport(ExcelWriteWrapper* facade, const char* reason)
{
    return facade->fail(SimpleXlsx::Status(SimpleXlsx::STATUS_NOTHING_TO_EXPORT,
                                           std::string("nothing to export: ") + reason));
}

bool mergeFailed(ExcelWriteWrapper* facade, const namedObjects<std::string>* group)
{
    return facade->fail(SimpleXlsx::Status(SimpleXlsx::STATUS_INVALID_USE,
                                           "cannot merge the week of the student group",
                                           group ? group->name : std::string()));
}

// The size of the week merged for a group from `groupTeachers`.
void groupWeekSize(const timeTable::teacherList& groupTeachers, uint64_t& days, uint64_t& hours)
{
    days = 0;
    hours = 0;
    for (const teacher* member : groupTeachers) {
        if (!member)
            continue;
        days = std::max(days, member->dayCount);
        hours = std::max(hours, member->hourCount);
    }
}

// Whether the three blocks of `group`'s week stay within the memory, each
// name copied into every cell that shows it; records why not.
bool groupWeekFits(ExcelWriteWrapper* facade, const namedObjects<std::string>* group,
                   const timeTable::groupWeekSource& source, const uint32_t (&flags)[3])
{
    uint64_t days = 0;
    uint64_t hours = 0;
    groupWeekSize(source.teachers, days, hours);
    const SimpleXlsx::Status problem = scheduleSizeProblem(
        "the week of \"" + echoedName(group->name) + "\"", 3 * (hours + 1), days + 1,
        timeTable::groupWeekTextBytes(source, flags[0] | flags[1] | flags[2]));
    return problem.Ok() || facade->fail(problem);
}

// The three blocks of a teacher's or group's sheet, two empty rows apart,
// each built in `week`.
template <typename WeekBuilder>
bool writeThreeBlocks(ExcelWriteWrapper* facade, const uint32_t (&flags)[3],
                      BaseMatrix<std::string>& week, WeekBuilder buildWeek)
{
    bool result = true;
    for (size_t block = 0; block < 3 && result; ++block) {
        if (block > 0)
            result = facade->insertRows(rowsBetweenBlocks);
        if (result)
            result = buildWeek(week, flags[block]);
        if (result)
            result = facade->saveTimeTable(week);
    }
    return result;
}

// `sheets` counts the summary and one sheet per name; the last report,
// with all of them done, comes before the package is saved.
template <typename Exporter>
bool exportWorkbook(timeTable& table, const std::string& path, uint64_t sheets,
                    exportProgress* progress, SimpleXlsx::Status* status, Exporter writeSheets)
{
    SimpleXlsx::Status ignored;
    SimpleXlsx::Status& reason = status ? *status : ignored;
    reason = SimpleXlsx::Status();
    // Running out of memory ends the export as a failure, like any other.
    try {
        ExcelWriteWrapper facade;
        if (progress)
            facade.setCancelFlag(&progress->cancelled);
        if (table.fontChosen)
            facade.applyStyle(facade.addStyle(table.fontName, table.fontSize));
        bool result = writeSheets(&facade);
        if (result && progress)
            result = progress->report(sheets, sheets, std::string());
        if (result)
            result = facade.Save(path);
        if (!result && progress && progress->cancelled)
            reason = SimpleXlsx::Status(SimpleXlsx::STATUS_CANCELLED, "the export was cancelled");
        else if (!result)
            reason = facade.lastStatus();
        return result;
    } catch (const std::bad_alloc&) {
        reason = SimpleXlsx::Status::NoMemory();
        return false;
    }
}

}  // namespace

bool timeTable::reportSheet(uint64_t done, uint64_t total, const std::string& title)
{
    return !_progress || _progress->report(done, total, title);
}

// The day of the export, as the footer shows it.
static std::string exportDate()
{
    const time_t now = time(nullptr);
    struct tm local;
    char text[16] = "";
    if (localtime_r(&now, &local) != nullptr)
        strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

template <typename Writer>
bool timeTable::withLayout(ExcelWriteWrapper* facade, Writer writeSheets)
{
    if (!_printReady)
        return writeSheets(facade);
    printLayout layout(*facade, fontChosen ? fontName : "Calibri", fontChosen ? fontSize : 11,
                       _sourceFileName, exportDate());
    _layout = &layout;
    const bool result = writeSheets(facade);
    _layout = nullptr;
    return result;
}

bool timeTable::teacherToExcel(std::string path, SimpleXlsx::Status* status)
{
    return exportWorkbook(
        *this, path, teachers.size() + 1, _progress, status, [this](ExcelWriteWrapper* facade) {
            return withLayout(facade, [this](ExcelWriteWrapper* f) { return _teacherToExcel(f); });
        });
}

bool timeTable::studentsToExcel(std::string path, SimpleXlsx::Status* status)
{
    return exportWorkbook(
        *this, path, students.size() + 1, _progress, status, [this](ExcelWriteWrapper* facade) {
            return withLayout(facade, [this](ExcelWriteWrapper* f) { return _studentsToExcel(f); });
        });
}

// A teacher's or group's sheet: the three blocks as they are, or in the
// print layout.
template <typename WeekBuilder>
bool timeTable::writeWeekSheet(ExcelWriteWrapper* facade, const std::string& name,
                               const uint32_t (&flags)[3], const char* const (&captions)[3],
                               WeekBuilder buildWeek)
{
    if (!_layout)
        return writeThreeBlocks(facade, flags, _sheetWeek, buildWeek);
    std::vector<BaseMatrix<std::string>> blocks(3);
    for (size_t block = 0; block < 3; ++block)
        if (!buildWeek(blocks[block], flags[block]))
            return false;
    return _layout->writeWeek(name, {captions[0], captions[1], captions[2]}, blocks);
}

bool timeTable::writeSummarySheet(ExcelWriteWrapper* facade, const char* title,
                                  const BaseMatrix<std::string>& summary, uint64_t hoursPerDay)
{
    return _layout ? _layout->writeSummary(title, summary, hoursPerDay)
                   : facade->saveTimeTable(summary);
}

bool timeTable::_teacherToExcel(ExcelWriteWrapper* facade)
{
    if (!facade)
        return false;
    const uint64_t sheets = teachers.size() + 1;
    uint64_t done = 0;
    bool result =
        reportSheet(done++, sheets, allTeachersTitle) && facade->addWorksheet(allTeachersTitle);
    if (result)
        result = _allTeacherToExcel(facade);

    std::vector<teacher*> ordered;
    result = result && teachersInOrder(facade, ordered);
    const uint32_t flags[3] = {INFO_STUDENTS, INFO_SUBJECT, INFO_ROOM};
    for (teacher* member : ordered) {
        if (!result)
            break;
        result = member && reportSheet(done++, sheets, member->name) &&
                 facade->addWorksheet(member->name);
        if (result)
            result = writeWeekSheet(facade, member->name, flags, teacherCaptions,
                                    [member](BaseMatrix<std::string>& week, uint32_t info) {
                                        member->timeSchedule(week, info);
                                        return true;
                                    });
    }
    return result;
}

bool timeTable::_studentsToExcel(ExcelWriteWrapper* facade)
{
    if (!facade)
        return false;
    const groupLessonsIndex index = lessonsOfAllGroups();
    const uint64_t sheets = students.size() + 1;
    uint64_t done = 0;
    bool result =
        reportSheet(done++, sheets, allStudentsTitle) && facade->addWorksheet(allStudentsTitle);
    if (result)
        result = _allStudentsToExcel(facade, index);

    std::vector<namedObjects<std::string>*> ordered;
    result = result && groupsInOrder(facade, ordered);
    const uint32_t flags[3] = {INFO_SUBJECT, INFO_TEACHER, INFO_ROOM};
    for (const namedObjects<std::string>* group : ordered) {
        if (!result)
            break;
        const groupWeekSource& source = sourceOf(index, group);
        result = group && groupWeekFits(facade, group, source, flags) &&
                 reportSheet(done++, sheets, group->name) && facade->addWorksheet(group->name);
        if (result)
            result = writeWeekSheet(facade, group->name, flags, groupCaptions,
                                    [&](BaseMatrix<std::string>& week, uint32_t info) {
                                        return studentsTimeSchedule(group, source, week, info) ||
                                               mergeFailed(facade, group);
                                    });
    }
    return result;
}

// A teacher without hours still gets its row, with its name and nothing else.
bool timeTable::_allTeacherToExcel(ExcelWriteWrapper* facade)
{
    if (!facade)
        return false;
    uint64_t mostDays = 0;
    uint64_t mostHours = 0;
    for (auto& entry : teachers.map()) {
        if (!entry.second)
            continue;
        mostDays = std::max(mostDays, entry.second->dayCount);
        mostHours = std::max(mostHours, entry.second->hourCount);
    }
    if (mostDays == 0 || mostHours == 0)
        return nothingToExport(facade, "no teacher has an hour");
    if (!summaryFits(teachers.size(), mostDays, mostHours))
        return summaryTooLarge(facade, "teachers", teachers.size(), mostDays, mostHours);

    std::vector<teacher*> ordered;
    if (!teachersInOrder(facade, ordered))
        return false;
    summaryMatrix summary(teachers.size(), mostDays, mostHours);
    BaseMatrix<std::string> week;
    uint64_t k = 0;
    for (teacher* member : ordered) {
        if (member) {
            member->timeSchedule(week, INFO_STUDENTS);
            summary.offerHeadings(week);
            summary.takeWeek(k, member->name, week);
        }
        ++k;
    }
    return writeSummarySheet(facade, allTeachersTitle, summary.matrix(), mostHours);
}

bool timeTable::_allStudentsToExcel(ExcelWriteWrapper* facade)
{
    return _allStudentsToExcel(facade, lessonsOfAllGroups());
}

// The summary's size is found from the teachers' counts before any week is
// built, so a summary too large is refused at once; the index keeps each
// merge to the group's own lessons.
bool timeTable::_allStudentsToExcel(ExcelWriteWrapper* facade, const groupLessonsIndex& index)
{
    if (!facade)
        return false;
    uint64_t mostDays = 0;
    uint64_t mostHours = 0;
    for (auto& entry : students.map()) {
        uint64_t days = 0;
        uint64_t hours = 0;
        groupWeekSize(sourceOf(index, entry.second).teachers, days, hours);
        mostDays = std::max(mostDays, days);
        mostHours = std::max(mostHours, hours);
    }
    if (mostDays == 0 || mostHours == 0)
        return nothingToExport(facade, "no hour names a student group");
    const uint64_t textBytes =
        summaryFits(students.size(), mostDays, mostHours) ? groupsSummaryTextBytes() : 0;
    if (!summaryFits(students.size(), mostDays, mostHours, textBytes))
        return summaryTooLarge(facade, "student groups", students.size(), mostDays, mostHours,
                               textBytes);

    std::vector<namedObjects<std::string>*> ordered;
    if (!groupsInOrder(facade, ordered))
        return false;
    BaseMatrix<std::string> week;
    summaryMatrix summary(students.size(), mostDays, mostHours);
    uint64_t k = 0;
    for (const namedObjects<std::string>* group : ordered) {
        if (!studentsTimeSchedule(group, sourceOf(index, group), week, INFO_SUBJECT))
            return mergeFailed(facade, group);
        summary.offerHeadings(week);
        summary.takeWeek(k++, group->name, week);
    }
    return writeSummarySheet(facade, allStudentsTitle, summary.matrix(), mostHours);
}

static bool cannotOrder(ExcelWriteWrapper* facade, const std::string& problem)
{
    return facade->fail(SimpleXlsx::Status(SimpleXlsx::STATUS_SYSTEM, problem));
}

bool timeTable::teachersInOrder(ExcelWriteWrapper* facade, std::vector<teacher*>& ordered) const
{
    std::string problem;
    return objectsInOrder(teachers, _order, ordered, problem) || cannotOrder(facade, problem);
}

bool timeTable::groupsInOrder(ExcelWriteWrapper* facade,
                              std::vector<namedObjects<std::string>*>& ordered) const
{
    std::string problem;
    return objectsInOrder(students, _order, ordered, problem) || cannotOrder(facade, problem);
}

const timeTable::groupWeekSource& timeTable::sourceOf(const groupLessonsIndex& index,
                                                      const namedObjects<std::string>* group)
{
    static const groupWeekSource none;
    auto found = index.find(group);
    return found == index.end() ? none : found->second;
}
