#include "cli/commands.h"
#include "cli/workbooks.h"

#include <algorithm>

#include "timetable/timeTable.h"

#ifndef HORATAB_VERSION
#define HORATAB_VERSION "unknown"
#endif

namespace {

int failure(std::ostream& err, const std::string& file, const std::string& reason)
{
    reportFailure(err, file, reason);
    return 1;
}

std::string quoted(const std::string& name)
{
    return "\"" + echoedName(name) + "\"";
}

template <typename T>
int listNames(const vorMapPtr<T>& registry, const cliOptions& options, std::ostream& out,
              std::ostream& err)
{
    std::vector<std::string> names;
    names.reserve(registry.size());
    for (const auto& entry : registry.map())
        names.push_back(entry.first);
    std::string problem;
    if (!sortNames(names, options.order, problem))
        return failure(err, options.input, problem);
    for (const std::string& name : names)
        out << terminalText(name) << '\n';
    return 0;
}

int showTeacher(timeTable& model, const cliOptions& options, std::ostream& out, std::ostream& err)
{
    teacher* found = model.teachers.find(options.name);
    if (!found)
        return failure(err, options.input, "no teacher named " + quoted(options.name));
    const SimpleXlsx::Status tooLarge = scheduleSizeProblem(
        "the week of " + quoted(found->name), found->hourCount + 1, found->dayCount + 1);
    if (!tooLarge.Ok())
        return failure(err, options.input, reasonText(options.input, tooLarge));
    BaseMatrix<std::string> week;
    found->timeSchedule(week, INFO_STUDENTS | INFO_SUBJECT);
    printMatrix(week, out);
    return 0;
}

int showStudents(timeTable& model, const cliOptions& options, std::ostream& out, std::ostream& err)
{
    if (const namedObjects<std::string>* group = model.students.find(options.name)) {
        uint64_t days = 0;
        uint64_t hours = 0;
        for (auto& entry : model.teachers.map())
            if (entry.second && entry.second->workOnThisClass(group)) {
                days = std::max(days, entry.second->dayCount);
                hours = std::max(hours, entry.second->hourCount);
            }
        const SimpleXlsx::Status tooLarge =
            scheduleSizeProblem("the week of " + quoted(group->name), hours + 1, days + 1);
        if (!tooLarge.Ok())
            return failure(err, options.input, reasonText(options.input, tooLarge));
    }
    BaseMatrix<std::string> week;
    if (!model.studentsTimeSchedule(options.name, week, INFO_SUBJECT))
        return failure(err, options.input, "no student group named " + quoted(options.name));
    printMatrix(week, out);
    return 0;
}

int browse(const cliOptions& options, std::ostream& out, std::ostream& err)
{
    timeTable& model = freshModel();
    if (!loadTimetable(options.input, model, err))
        return 1;
    switch (options.mode) {
    case cliMode::listTeachers:
        return listNames(model.teachers, options, out, err);
    case cliMode::listStudents:
        return listNames(model.students, options, out, err);
    case cliMode::showTeacher:
        return showTeacher(model, options, out, err);
    case cliMode::showStudents:
        return showStudents(model, options, out, err);
    default:
        return 1;
    }
}

}  // namespace

// A cell that holds several lines (parallel lessons of one group) is shown
// on its row with the lines separated by " | ", as terminalText.
static std::string printableCell(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        if (c == '\n')
            shown += " | ";
        else
            shown += c;
    }
    return terminalText(shown);
}

void printMatrix(const BaseMatrix<std::string>& matrix, std::ostream& out)
{
    for (uint64_t row = 0; row < matrix.rowSize(); ++row) {
        for (uint64_t column = 0; column < matrix.colSize(); ++column) {
            if (column > 0)
                out << '\t';
            out << printableCell(matrix(uint32_t(row), uint32_t(column)));
        }
        out << '\n';
    }
}

int runCommand(const cliOptions& options, std::ostream& out, std::ostream& err)
{
    int status = 1;
    switch (options.mode) {
    case cliMode::help:
        out << usageText();
        status = 0;
        break;
    case cliMode::version:
        out << programName << ' ' << HORATAB_VERSION << '\n';
        status = 0;
        break;
    case cliMode::writeWorkbooks:
        status = writeWorkbooks(options, out, err);
        break;
    default:
        status = browse(options, out, err);
        break;
    }
    out.flush();
    if (status == 0 && !out)
        return failure(err, "standard output", "cannot write the output");
    return status;
}
