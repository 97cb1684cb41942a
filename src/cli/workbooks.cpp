#include "cli/workbooks.h"

#include <unistd.h>

#include <cmath>
#include <iostream>

#include "timetable/timeTable.h"

namespace {

enum class workbookKind
{
    teachers,
    students,
};

bool failure(std::ostream& err, const std::string& file, const std::string& reason)
{
    reportFailure(err, file, reason);
    return false;
}

bool writeWorkbook(timeTable& model, workbookKind kind, const std::string& path, std::ostream& out,
                   std::ostream& err)
{
    exportProgress progress;
    const bool showProgress = &err == &std::cerr && isatty(STDERR_FILENO);
    if (showProgress)
        progress.sheetStarted = [&err, &path](uint64_t done, uint64_t total, const std::string&) {
            err << '\r' << path << ": sheet " << done << " of " << total << std::flush;
        };
    model.setExportProgress(&progress);
    SimpleXlsx::Status status;
    const bool written = kind == workbookKind::teachers ? model.teacherToExcel(path, &status)
                                                        : model.studentsToExcel(path, &status);
    model.setExportProgress(nullptr);
    if (showProgress)
        err << "\r\033[K" << std::flush;  // the progress line goes
    if (!written)
        return failure(err, path, reasonText(path, status));
    out << (kind == workbookKind::teachers ? "Teachers' workbook" : "Student groups' workbook")
        << " written to " << path << '\n';
    return true;
}

}  // namespace

void chooseFont(timeTable& model, const cliOptions& options)
{
    const std::string name = options.fontGiven ? options.fontName : "Calibri";
    const double size = options.sizeGiven ? options.fontSize : 11.0;
    if (name == "Calibri" && std::fabs(size - 11.0) <= 0)
        return;
    model.setFontAndSize(name, int32_t(size));
}

std::string reasonText(const std::string& file, SimpleXlsx::Status status)
{
    if (status.subject == file)
        status.subject.clear();
    return status.Text();
}

bool loadTimetable(const std::string& path, timeTable& model, std::ostream& err)
{
    SimpleXlsx::Status status;
    if (model.parse(path, &status) && status.Ok())
        return true;
    return failure(err, path, reasonText(path, status));
}

int writeWorkbooks(const cliOptions& options, std::ostream& out, std::ostream& err)
{
    timeTable model;
    if (!loadTimetable(options.input, model, err))
        return 1;
    chooseFont(model, options);

    bool allWritten = true;
    if (!options.teachersOutput.empty())
        allWritten =
            writeWorkbook(model, workbookKind::teachers, options.teachersOutput, out, err) &&
            allWritten;
    if (!options.studentsOutput.empty())
        allWritten =
            writeWorkbook(model, workbookKind::students, options.studentsOutput, out, err) &&
            allWritten;
    return allWritten ? 0 : 1;
}
