#include "cli/workbooks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <pugixml.hpp>

#include "cli/destinations.h"
#include "cli/interrupts.h"
#include "timetable/timeTable.h"
#include "timetable/xmlFile.h"

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

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where the workbook keeps its part files while it is built.
std::string temporaryFolder()
{
    const char* env = std::getenv("TMPDIR");
    return env && *env ? env : "/tmp";
}

bool isWritableFolder(const std::string& folder)
{
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(folder.c_str(), W_OK | X_OK) == 0;
}

bool hasAnyHour(const timeTable& model)
{
    for (const auto& entry : model.teachers.map())
        if (entry.second && entry.second->hourCount > 0)
            return true;
    return false;
}

// Why there is nothing to put in the workbook; empty when there is.
std::string contentProblem(const timeTable& model, workbookKind kind, const std::string& input,
                           const std::string& rootName)
{
    if (model.teachers.size() == 0) {
        std::string reason = "nothing to export: " + input + " holds no teachers";
        if (rootName != "Teachers_Timetable")
            reason +=
                " (its root element is <" + echoedName(rootName) + ">, not <Teachers_Timetable>)";
        return reason;
    }
    if (kind == workbookKind::teachers && !hasAnyHour(model))
        return "nothing to export: no teacher has an hour";
    if (kind == workbookKind::students && model.students.size() == 0)
        return "nothing to export: no hour names a student group";
    return std::string();
}

bool saveWorkbook(timeTable& model, workbookKind kind, const std::string& path)
{
    return kind == workbookKind::teachers ? model.teacherToExcel(path)
                                          : model.studentsToExcel(path);
}

// The workbook is built as a file of the temporary folder, then copied out.
bool saveToStandardOutput(timeTable& model, workbookKind kind, std::ostream& out)
{
    std::pair<timeTable*, workbookKind> job(&model, kind);
    return saveThroughTemporaryFile(
        temporaryFolder(), out,
        [](void* context, const std::string& path) {
            auto* saving = static_cast<std::pair<timeTable*, workbookKind>*>(context);
            return saveWorkbook(*saving->first, saving->second, path);
        },
        &job);
}

bool writeWorkbook(timeTable& model, workbookKind kind, const std::string& path,
                   const std::string& input, const std::string& rootName, std::ostream& out,
                   std::ostream& err)
{
    const bool toStandardOutput = path == "-";
    std::string problem = contentProblem(model, kind, input, rootName);
    if (problem.empty() && !toStandardOutput)
        problem = destinationProblem(path);
    if (problem.empty() && !isWritableFolder(temporaryFolder()))
        problem =
            "the temporary folder " + temporaryFolder() + " (TMPDIR) is missing or not writable";
    if (!problem.empty())
        return failure(err, path, problem);

    exportProgress progress;
    const bool showProgress = &err == &std::cerr && isatty(STDERR_FILENO);
    if (showProgress)
        progress.sheetStarted = [&err, &path](uint64_t done, uint64_t total, const std::string&) {
            err << '\r' << path << ": sheet " << done << " of " << total << std::flush;
        };
    model.setExportProgress(&progress);
    setInterruptibleExport(&progress);
    const bool written =
        toStandardOutput ? saveToStandardOutput(model, kind, out) : saveWorkbook(model, kind, path);
    setInterruptibleExport(nullptr);
    model.setExportProgress(nullptr);
    if (showProgress)
        err << "\r\033[K" << std::flush;  // the progress line goes
    if (receivedInterrupt() != 0)
        return false;  // the program ends by the signal
    if (!written)
        return failure(err, toStandardOutput ? "standard output" : path,
                       "the workbook could not be written");
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

std::string destinationProblem(const std::string& path)
{
    const std::string special = specialFileProblem(path);
    if (!special.empty())
        return special;
    struct stat info;
    if (path.empty() || path.back() == '/' ||
        (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)))
        return "is a folder, not a file name";
    const std::string folder = folderOf(path);
    if (stat(folder.c_str(), &info) != 0)
        return errno == ENOENT
                   ? "the folder " + folder + " does not exist"
                   : "the folder " + folder + " cannot be reached: " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a folder";
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return "the folder " + folder + " is not writable";
    return std::string();
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
    pugi::xml_document document;
    if (!loadXmlFile(options.input, document, &reason)) {
        failure(err, options.input, reason);
        return 1;
    }
    timeTable model;
    model.parse(document);
    chooseFont(model, options);
    const size_t slash = options.input.rfind('/');
    model.setPrintReady(options.printReady, slash == std::string::npos
                                                ? options.input
                                                : options.input.substr(slash + 1));
    const std::string rootName = document.document_element().name();

    bool allWritten = true;
    if (!options.teachersOutput.empty())
        allWritten = writeWorkbook(model, workbookKind::teachers, options.teachersOutput,
                                   options.input, rootName, out, err) &&
                     allWritten;
    if (!options.studentsOutput.empty())
        allWritten = writeWorkbook(model, workbookKind::students, options.studentsOutput,
                                   options.input, rootName, out, err) &&
                     allWritten;
    return allWritten ? 0 : 1;
}
