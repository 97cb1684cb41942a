#include "cli/workbooks.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/destinations.h"
#include "cli/interrupts.h"
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

// Where the workbook keeps its part files while it is built.
std::string temporaryFolder()
{
    const char* env = std::getenv("TMPDIR");
    return env && *env ? env : "/tmp";
}

bool saveWorkbook(timeTable& model, workbookKind kind, const std::string& path,
                  SimpleXlsx::Status& status)
{
    return kind == workbookKind::teachers ? model.teacherToExcel(path, &status)
                                          : model.studentsToExcel(path, &status);
}

// The workbook is built as a file of the temporary folder, then copied out.
bool saveToStandardOutput(timeTable& model, workbookKind kind, std::ostream& out,
                          SimpleXlsx::Status& status)
{
    struct saveJob
    {
        timeTable* model;
        workbookKind kind;
        SimpleXlsx::Status* status;
    } job{&model, kind, &status};
    return saveThroughTemporaryFile(
        temporaryFolder(), out,
        [](void* context, const std::string& path) {
            auto* saving = static_cast<saveJob*>(context);
            return saveWorkbook(*saving->model, saving->kind, path, *saving->status);
        },
        &job);
}

bool writeWorkbook(timeTable& model, workbookKind kind, const std::string& path, std::ostream& out,
                   std::ostream& err)
{
    const bool toStandardOutput = path == "-";
    exportProgress progress;
    const bool showProgress = &err == &std::cerr && isatty(STDERR_FILENO);
    if (showProgress)
        progress.sheetStarted = [&err, &path](uint64_t done, uint64_t total, const std::string&) {
            err << '\r' << path << ": sheet " << done << " of " << total << std::flush;
        };
    model.setExportProgress(&progress);
    setInterruptibleExport(&progress);
    SimpleXlsx::Status status;
    const bool written = toStandardOutput ? saveToStandardOutput(model, kind, out, status)
                                          : saveWorkbook(model, kind, path, status);
    setInterruptibleExport(nullptr);
    model.setExportProgress(nullptr);
    if (showProgress)
        err << "\r\033[K" << std::flush;  // the progress line goes
    if (receivedInterrupt() != 0)
        return false;  // the program ends by the signal
    if (!written && status.Ok())
        status = SimpleXlsx::Status(SimpleXlsx::STATUS_SYSTEM, "cannot copy the workbook out");
    if (!written)
        return failure(err, toStandardOutput ? "standard output" : path, reasonText(path, status));
    if (!toStandardOutput)
        out << (kind == workbookKind::teachers ? "Teachers' workbook" : "Student groups' workbook")
            << " written to " << path << '\n';
    return true;
}

}  // namespace

void chooseFont(timeTable& model, const cliOptions& options)
{
    const std::string name = options.fontGiven ? options.fontName : "Calibri";
    const double size = options.sizeGiven ? options.fontSize : 11.0;
    if (isDefaultSpreadsheetFont(name, size))
        return;
    model.setFontAndSize(name, int32_t(size));
}

std::string reasonText(const std::string& file, SimpleXlsx::Status status)
{
    if (status.subject == file)
        status.subject.clear();
    return status.Text();
}

timeTable& freshModel()
{
    static timeTable* kept = nullptr;
    delete kept;
    kept = nullptr;
    kept = new timeTable;
    return *kept;
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
    // Destinations that must never be replaced are refused before anything is read.
    std::string subject;
    std::string reason = sameFileProblem(options, subject);
    for (const std::string& path : {options.teachersOutput, options.studentsOutput})
        if (reason.empty() && !path.empty() && path != "-") {
            subject = path;
            reason = specialFileProblem(path);
        }
    if (!reason.empty()) {
        failure(err, subject, reason);
        return 1;
    }
    timeTable& model = freshModel();
    if (!loadTimetable(options.input, model, err))
        return 1;
    chooseFont(model, options);
    model.setNameOrder(options.order);
    const size_t slash = options.input.rfind('/');
    model.setPrintReady(options.printReady, slash == std::string::npos
                                                ? options.input
                                                : options.input.substr(slash + 1));

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
