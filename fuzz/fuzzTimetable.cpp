// libFuzzer target: arbitrary bytes go through the import as a file, read
// by a fresh model (in pieces where it can) and as one whole document, which
// must give the same model or the same error; when they load, every schedule matrix is built and
// checked against the model, and both workbooks are saved and checked on disk: a save either
// reports failure and leaves nothing behind, or leaves exactly the workbook, which must be a zip of
// well-formed XML parts with valid, unique sheet names. Any broken promise ends in abort(), which
// the fuzzer records as a crash.
//
// The same entry point runs in the normal test suite over the seed corpus
// and the saved regressions (replayMain.cpp).

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzzScratch.h"
#include "packageCheck.h"
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
// lessons by group, as the export merges) must give the same matrix.
void checkGroupSchedules(timeTable& model)
{
    const timeTable::groupLessonsIndex index = model.lessonsOfAllGroups();
    static const timeTable::groupWeekSource none;
    for (auto& entry : model.students.map()) {
        BaseMatrix<std::string> merged;
        require(model.studentsTimeSchedule(entry.second, merged, INFO_SUBJECT | INFO_TEACHER),
                "merging a registered group failed");
        const auto found = index.find(entry.second);
        BaseMatrix<std::string> indexed;
        require(model.studentsTimeSchedule(entry.second,
                                           found == index.end() ? none : found->second, indexed,
                                           INFO_SUBJECT | INFO_TEACHER),
                "merging a registered group through the index failed");
        require(merged.rowSize() == indexed.rowSize() && merged.colSize() == indexed.colSize(),
                "the two merges of a group differ in size");
        for (uint64_t row = 0; row < merged.rowSize(); ++row)
            for (uint64_t column = 0; column < merged.colSize(); ++column)
                require(merged(uint32_t(row), uint32_t(column)) ==
                            indexed(uint32_t(row), uint32_t(column)),
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

// The columns and rows of a sheet.
const uint64_t sheetColumns = 16384;
const uint64_t sheetRows = 1048576;

// A summary of `weeks` rows whose days hold `days` blocks of `hours`
// columns, next to a column of names, fits on a sheet.
bool summaryFits(uint64_t weeks, uint64_t days, uint64_t hours)
{
    return days > 0 && hours > 0 && days <= (sheetColumns - 1) / hours && weeks + 2 <= sheetRows;
}

// A sheet of three weeks of `days` days and `hours` hours, two rows apart.
bool weekSheetFits(uint64_t days, uint64_t hours)
{
    return days + 1 <= sheetColumns && 3 * (hours + 1) + 4 <= sheetRows;
}

// Whether a sound export of the teachers' workbook can succeed: there is a
// teacher with an hour, and every sheet fits the sheet's limits.
bool teachersExportable(timeTable& model)
{
    uint64_t days = 0, hours = 0;
    bool sheetsFit = true;
    for (auto& entry : model.teachers.map()) {
        days = std::max(days, entry.second->dayCount);
        hours = std::max(hours, entry.second->hourCount);
        sheetsFit = sheetsFit && weekSheetFits(entry.second->dayCount, entry.second->hourCount);
    }
    return sheetsFit && summaryFits(model.teachers.size(), days, hours);
}

bool studentsExportable(timeTable& model)
{
    uint64_t columns = 0, rows = 0;
    bool sheetsFit = true;
    for (auto& entry : model.students.map()) {
        BaseMatrix<std::string> week;
        model.studentsTimeSchedule(entry.second, week, INFO_SUBJECT);
        columns = std::max(columns, week.colSize());
        rows = std::max(rows, week.rowSize());
        sheetsFit = sheetsFit && weekSheetFits(week.colSize() - 1, week.rowSize() - 1);
    }
    return sheetsFit && columns >= 2 && rows >= 2 &&
           summaryFits(model.students.size(), columns - 1, rows - 1);
}

// Saves one workbook into the empty output folder and checks what the save
// left on disk. Removes the workbook again.
void checkExport(timeTable& model, bool teachersWorkbook)
{
    const fuzzScratch& scratch = fuzzScratch::get();
    const std::string fileName = teachersWorkbook ? "teachers.xlsx" : "students.xlsx";
    const std::string destination = scratch.output + "/" + fileName;
    const bool exportable =
        teachersWorkbook ? teachersExportable(model) : studentsExportable(model);
    const bool saved =
        teachersWorkbook ? model.teacherToExcel(destination) : model.studentsToExcel(destination);

    require(folderEntries(scratch.temp).empty(),
            "the save of " + fileName + " left temporary files behind");
    const std::vector<std::string> written = folderEntries(scratch.output);
    if (!saved) {
        require(written.empty(), "the failed save of " + fileName + " left a file behind");
        require(!exportable,
                "the save of " + fileName + " failed on a timetable that fits a workbook");
        return;
    }
    require(written.size() == 1 && written.front() == fileName,
            "the save of " + fileName + " left other files beside it");
    std::vector<std::string> sheetNames;
    const std::string problem = horatabCheck::workbookProblem(destination, sheetNames);
    require(problem.empty(), fileName + ": " + problem);
    const size_t names = teachersWorkbook ? model.teachers.size() : model.students.size();
    require(sheetNames.size() == names + 1,
            fileName + " does not hold one sheet per name and the summary");
    removeTree(destination);
}

std::string nameOf(const namedObjects<std::string>* object)
{
    return object ? "[" + object->name + "]" : "-";
}

// Everything an import put into `model`, as text.
std::string modelText(const timeTable& model)
{
    std::string text;
    for (const auto& [name, person] : model.teachers.map()) {
        text += "T[" + name + "]" + std::to_string(person->dayCount) + "," +
                std::to_string(person->hourCount) + nameOf(person->longestDay) + "\n";
        for (const teacherDay* day : person->days.list()) {
            text += "D" + nameOf(day) + "\n";
            for (const hour* slot : day->hours.list()) {
                text += "H" + nameOf(slot) + nameOf(slot->subject) + nameOf(slot->room);
                for (const namedObjects<std::string>* group : slot->groups)
                    text += nameOf(group);
                text += "\n";
            }
        }
    }
    for (const auto* registry : {&model.students, &model.subjects, &model.rooms})
        for (const auto& entry : registry->map())
            text += "R[" + entry.first + "]\n";
    return text;
}

// A fresh model may read a file in pieces; one that already holds something
// reads it as one whole document. Both must read the same, or fail alike.
void checkWholeDocumentReadsTheSame(const std::string& path, bool read,
                                    const SimpleXlsx::Status& status, const timeTable& model)
{
    timeTable whole;
    const std::string marker = "\x01 in no file";
    whole.insertRoom(marker);
    SimpleXlsx::Status wholeStatus;
    const bool wholeRead = whole.parse(path, &wholeStatus);
    delete whole.rooms.find(marker);
    whole.rooms.objects.erase(marker);
    require(read == wholeRead && status.Text() == wholeStatus.Text(),
            "read in pieces: " + status.Text() + "; as one document: " + wholeStatus.Text());
    require(modelText(model) == modelText(whole),
            "the model read in pieces differs from the one read as one document");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzzScratch& scratch = fuzzScratch::get();
    require(scratch.writeInput(data, size), "cannot write the input file to " + scratch.input);

    timeTable model;
    SimpleXlsx::Status status;
    const bool read = model.parse(scratch.input, &status);
    checkWholeDocumentReadsTheSame(scratch.input, read, status, model);
    if (!read) {
        require(model.teachers.size() == 0 && model.students.size() == 0,
                "a failed load left something in the timetable");
        return 0;
    }
    checkModel(model);
    checkExport(model, true);
    checkExport(model, false);
    return 0;
}
