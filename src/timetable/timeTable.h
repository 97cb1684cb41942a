#ifndef HORATAB_TIMETABLE_TIMETABLE_H
#define HORATAB_TIMETABLE_TIMETABLE_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "timetable/BaseMatrix.h"
#include "timetable/containers.h"
#include "timetable/nameOrder.h"
#include "timetable/teacherRecords.h"
#include "xlsx/Status.h"

class ExcelWriteWrapper;
class printLayout;

namespace pugi {
class xml_document;
class xml_node;
}

// Which facts a schedule cell lists. Whatever the combination, the parts
// appear in the order group, subject, teacher, room, joined by " / ".
constexpr uint32_t INFO_TEACHER = 1;
constexpr uint32_t INFO_STUDENTS = 2;
constexpr uint32_t INFO_SUBJECT = 4;
constexpr uint32_t INFO_ROOM = 8;

// The corner element of every schedule matrix.
extern const char* const scheduleCornerText;

// One time slot of a day. The references point into the registries of the
// timeTable and are null when the file names none. A lesson taught to
// several groups at once names each of them: `groups` holds them all, each
// once, in file order, and `students` is the first of them.
class hour : public namedObjects<std::string>
{
public:
    namedObjects<std::string>* students;
    namedObjects<std::string>* subject;
    namedObjects<std::string>* room;
    std::vector<namedObjects<std::string>*> groups;

    explicit hour(std::string hourName);

    // Adds a group the hour is taught to, unless it is already there.
    void addStudents(namedObjects<std::string>* group);
    // Whether the hour is taught to `group`, first or not.
    bool teaches(const namedObjects<std::string>* group) const;
    // Whether the hour holds anything to show: a subject, a group or a room.
    bool hasLesson() const;
};

class teacherDay : public namedObjects<std::string>
{
public:
    vorListPtr<hour> hours;

    explicit teacherDay(std::string dayName);

    hour* addhour(std::string hourName);
};

class teacher : public namedObjects<std::string>
{
public:
    vorListPtr<teacherDay> days;
    uint64_t dayCount;
    uint64_t hourCount;
    teacherDay* longestDay;  // first day with hourCount hours; null when no day has an hour

    explicit teacher(std::string teacherName);
    virtual ~teacher();

    teacherDay* addDay(std::string dayName);

    // Recounts dayCount, hourCount and longestDay over all days.
    void fixSize();
    // The same result as fixSize when the counts were up to date for every
    // day before `firstNewDay`: only the new days are examined.
    void fixSizeFrom(std::list<teacherDay*>::iterator firstNewDay);

    // Schedule matrices (schedule.cpp).
    void initMatrix(BaseMatrix<std::string>& matrix, uint64_t days, uint64_t hours);
    void fillInfos(const hour* taught, std::string& text, uint32_t flags) const;
    void timeSchedule(BaseMatrix<std::string>& matrix, uint32_t flags);
    bool workOnThisClass(const namedObjects<std::string>* group);
    void update(const namedObjects<std::string>* group, BaseMatrix<std::string>& matrix,
                uint32_t flags);
};

// The most cells a schedule matrix is built with: 4 million empty cells
// take 128 MB, and a timetable that needs more is refused before its
// matrix is built instead of running out of memory.
constexpr uint64_t maxScheduleCells = 4000000;
// The most memory a schedule matrix is built with, its cells and their
// text together. A name is copied into every cell that shows it, so the
// text can outgrow the file by far: one long subject of an hour taught to
// thousands of groups stands in each group's row of the summary.
constexpr uint64_t maxScheduleBytes = 160000000;

// Why a matrix of `rows` x `columns` for `what` ("the week of Smith"),
// whose cells hold `textBytes` bytes of text, is not built: kind
// STATUS_TOO_LARGE with the numbers in the message; kind STATUS_OK when it
// may be.
SimpleXlsx::Status scheduleSizeProblem(const std::string& what, uint64_t rows, uint64_t columns,
                                       uint64_t textBytes = 0);

// Reports a running export and lets another thread stop it. The export
// calls `sheetStarted` (on its own thread) before each sheet with the
// number of sheets done, the number in all and the sheet's title, and once
// more with done == total before the package is saved. Once `cancelled` is
// set the export stops at the next sheet, or before the package would
// replace the file, and fails: nothing is written and the temporary files
// go.
struct exportProgress
{
    std::function<void(uint64_t done, uint64_t total, const std::string& title)> sheetStarted;
    std::atomic<bool> cancelled{false};

    bool report(uint64_t done, uint64_t total, const std::string& title)
    {
        if (sheetStarted)
            sheetStarted(done, total, title);
        return !cancelled;
    }
};

// The workbook's default font, "Calibri" at 11 points: choosing it sets no
// font, so every cell keeps the default style and a font set earlier stays.
bool isDefaultSpreadsheetFont(const std::string& name, double size);

// The whole timetable: teachers with their days and hours, and the
// registries of student groups, subjects and rooms that hours point into.
// Also carries the spreadsheet font that the export applies.
class timeTable
{
public:
    vorMapPtr<teacher> teachers;
    vorMapPtr<namedObjects<std::string>> students;
    vorMapPtr<namedObjects<std::string>> subjects;
    vorMapPtr<namedObjects<std::string>> rooms;
    bool fontChosen;
    std::string fontName;
    int32_t fontSize;

    timeTable();
    virtual ~timeTable();

    timeTable(const timeTable&) = delete;
    timeTable& operator=(const timeTable&) = delete;

    // Import (import.cpp). parse(path) returns false and leaves the model
    // untouched when the file cannot be read or is not well-formed XML, and
    // when memory runs out (the model may then hold part of it). A well-formed document is always
    // read (true), even one without a Teachers_Timetable root. When `status` is given it says why
    // the file failed, or, for a document that holds no teacher, STATUS_NO_TEACHERS with its root
    // element; otherwise STATUS_OK.
    bool parse(const std::string& path, SimpleXlsx::Status* status = nullptr);
    bool parse(const pugi::xml_document& document);
    void parseTeacher(const pugi::xml_node& node);
    void parseDay(teacher* owner, const pugi::xml_node& node);
    void parseHour(hour* slot, const pugi::xml_node& node);

    teacher* insertTeacher(std::string name);
    namedObjects<std::string>* insertStudents(std::string name);
    namedObjects<std::string>* insertSubject(std::string name);
    namedObjects<std::string>* insertRoom(std::string name);

    void setFontAndSize(std::string name, int32_t size);

    // A student group's week merged from every teacher who teaches it
    // (schedule.cpp). False, with the matrix untouched, for an unknown name
    // or a null group.
    bool studentsTimeSchedule(std::string name, BaseMatrix<std::string>& matrix, uint32_t flags);
    bool studentsTimeSchedule(const namedObjects<std::string>* group,
                              BaseMatrix<std::string>& matrix, uint32_t flags);

    // The overloads above look for the group's lessons among all teachers'
    // hours. A caller that merges many groups (an export of all groups)
    // finds every group's lessons once, with lessonsOfAllGroups below.
    typedef std::vector<teacher*> teacherList;

    // One hour taught to a group: whose it is and where it stands in that
    // teacher's week (row = its place in the day, column = the day's place,
    // both from 1).
    struct groupLesson
    {
        teacher* member;
        const hour* slot;
        uint64_t row;
        uint64_t column;
    };
    // What a group's week is merged from: its teachers in name order, and
    // its lessons in the order the merge adds them (teacher, day, hour).
    struct groupWeekSource
    {
        teacherList teachers;
        std::vector<groupLesson> lessons;
    };
    typedef std::unordered_map<const namedObjects<std::string>*, groupWeekSource> groupLessonsIndex;
    // The week sources of every group, found in one pass over all hours, so
    // that an export of all groups fills each week from its own lessons
    // only. It reflects the model as it was when built; build it again after
    // the model changes.
    groupLessonsIndex lessonsOfAllGroups();
    bool studentsTimeSchedule(const namedObjects<std::string>* group, const groupWeekSource& source,
                              BaseMatrix<std::string>& matrix, uint32_t flags);
    // At least the bytes of text that `flags` puts into the cells of the
    // group's week, counted without building it.
    static uint64_t groupWeekTextBytes(const groupWeekSource& source, uint32_t flags);
    // At least the bytes of text in the cells of the summary of all groups
    // (each hour's subject in the row of every group it is taught to).
    uint64_t groupsSummaryTextBytes();

    // The workbooks (export.cpp). Each writes a summary sheet and one sheet
    // per teacher (or group) in name order, in the chosen font when one was
    // set, and saves to `path` only when every sheet was written. False when
    // there is nothing to export (no teacher with an hour, no group), when
    // the summary is too large for a sheet or for the memory, when the export was cancelled, or
    // when the workbook could not be written; nothing is left in the
    // temporary folder. `status`, when given, says why (STATUS_OK after a
    // success).
    bool teacherToExcel(std::string path, SimpleXlsx::Status* status = nullptr);
    bool studentsToExcel(std::string path, SimpleXlsx::Status* status = nullptr);
    // The next exports report to `progress` (not owned; null for none).
    void setExportProgress(exportProgress* progress) { _progress = progress; }
    // The next exports are laid out for printing (printLayout.h) or not;
    // the footer names `sourceFileName`, the timetable's file.
    void setPrintReady(bool printReady, std::string sourceFileName = std::string())
    {
        _printReady = printReady;
        _sourceFileName = std::move(sourceFileName);
    }
    // The next exports put their sheets and summary rows in `order`.
    void setNameOrder(nameOrder order) { _order = order; }

    // The steps of the export; each stops at the first false, with the
    // reason in the facade's lastStatus().
    bool _teacherToExcel(ExcelWriteWrapper* facade);
    bool _studentsToExcel(ExcelWriteWrapper* facade);
    bool _allTeacherToExcel(ExcelWriteWrapper* facade);
    bool _allStudentsToExcel(ExcelWriteWrapper* facade);
    bool _allStudentsToExcel(ExcelWriteWrapper* facade, const groupLessonsIndex& index);

private:
    // While a file is read in pieces, the registries' objects by name, so
    // that each name of an hour is found without a string built for it.
    struct nameIndex;
    nameIndex* _names = nullptr;
    // Builds this empty model from the file read in pieces (teacherPieces.h);
    // false, with the model still empty, when the whole document must be
    // loaded instead.
    bool parseInPieces(const std::string& path);
    namedObjects<std::string>* registered(vorMapPtr<namedObjects<std::string>>& registry,
                                          std::string_view name);
    // The model built from teacher elements read off a document: each
    // teacher, day and hour as parseTeacher, parseDay and parseHour build it.
    struct recordCursor;
    void addTeachers(const teacherRecords& records);
    void buildTeacher(const teacherRecords::teacherEntry& entry, const teacherRecords& records,
                      recordCursor& at);
    void buildDay(teacher* owner, const teacherRecords& records, recordCursor& at);
    void fillHour(hour* slot, const teacherRecords& records, recordCursor& at);

    exportProgress* _progress = nullptr;
    bool _printReady = false;
    std::string _sourceFileName;
    nameOrder _order = nameOrder::bytes;
    printLayout* _layout = nullptr;  // during a print-ready export
    // Each block of a sheet is built here: its cells keep their room from
    // sheet to sheet instead of being made anew for every week.
    BaseMatrix<std::string> _sheetWeek;

    template <typename WeekBuilder>
    bool writeWeekSheet(ExcelWriteWrapper* facade, const std::string& name,
                        const uint32_t (&flags)[3], const char* const (&captions)[3],
                        WeekBuilder buildWeek);
    bool writeSummarySheet(ExcelWriteWrapper* facade, const char* title,
                           const BaseMatrix<std::string>& summary, uint64_t hoursPerDay);
    // Runs `writeSheets` with the print layout in place when one is asked for.
    template <typename Writer>
    bool withLayout(ExcelWriteWrapper* facade, Writer writeSheets);

    // The teachers or the groups in the export's order; false, with the
    // reason in the facade, when they cannot be put in it.
    bool teachersInOrder(ExcelWriteWrapper* facade, std::vector<teacher*>& ordered) const;
    bool groupsInOrder(ExcelWriteWrapper* facade,
                       std::vector<namedObjects<std::string>*>& ordered) const;
    // False once the export was cancelled.
    bool reportSheet(uint64_t done, uint64_t total, const std::string& title);
    static const groupWeekSource& sourceOf(const groupLessonsIndex& index,
                                           const namedObjects<std::string>* group);
};

#endif  // HORATAB_TIMETABLE_TIMETABLE_H
