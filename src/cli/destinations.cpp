#include "cli/destinations.h"

#include "util/fileKind.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <tuple>
#include <vector>

namespace {

// A file by identity: its device and inode when it exists, else its
// folder's device and inode with its own name.
struct fileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    std::string newName;  // empty when the file exists
    bool known = false;

    bool operator==(const fileIdentity& other) const
    {
        return known && other.known && device == other.device && inode == other.inode &&
               newName == other.newName;
    }
};

fileIdentity identityOf(const std::string& path)
{
    fileIdentity identity;
    struct stat info;
    if (path.empty() || path.back() == '/')
        return identity;  // a folder, refused as such later
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return identity;
    if (stat(path.c_str(), &info) != 0) {
        const size_t slash = path.rfind('/');
        const std::string folder =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
        if (stat(folder.c_str(), &info) != 0)
            return identity;
        identity.newName = slash == std::string::npos ? path : path.substr(slash + 1);
    }
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.known = true;
    return identity;
}

}  // namespace

std::string specialFileProblem(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))
        return std::string();
    if (!S_ISLNK(info.st_mode))
        return util::notRegularFile(info.st_mode);
    if (util::linksThroughProc(path))
        return "names an open file descriptor, not a file (use \"-\" for standard output)";
    if (stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return std::string();  // a link to a regular file, or to nothing yet
    return std::string("is a symbolic link to ") + util::fileKindName(info.st_mode) +
           ", not to a regular file";
}

std::string sameFileProblem(const cliOptions& options, std::string& subject)
{
    const fileIdentity input = identityOf(options.input);
    const fileIdentity teachers = identityOf(options.teachersOutput);
    const fileIdentity students = identityOf(options.studentsOutput);
    const bool toStdout[] = {options.teachersOutput == "-", options.studentsOutput == "-"};
    if (options.input != "-") {
        for (const auto& [path, identity, isStdout] :
             {std::make_tuple(options.teachersOutput, teachers, toStdout[0]),
              std::make_tuple(options.studentsOutput, students, toStdout[1])})
            if (!path.empty() && !isStdout && identity == input) {
                subject = path;
                return "is the input file " + options.input + "; it would be overwritten";
            }
    }
    if (!options.teachersOutput.empty() && !options.studentsOutput.empty() && !toStdout[0] &&
        teachers == students) {
        subject = options.studentsOutput;
        return "is the same file as " + options.teachersOutput +
               "; the two workbooks need different files";
    }
    return std::string();
}

bool saveThroughTemporaryFile(const std::string& temporaryBase, std::ostream& out,
                              bool (*save)(void* context, const std::string& path), void* context)
{
    std::string pattern = temporaryBase + "/horatab-stdout-XXXXXX";
    std::vector<char> folder(pattern.begin(), pattern.end());
    folder.push_back('\0');
    if (mkdtemp(folder.data()) == nullptr)
        return false;
    const std::string file = std::string(folder.data()) + "/workbook.xlsx";
    bool copied = save(context, file);
    if (copied) {
        std::ifstream workbook(file, std::ios::binary);
        out << workbook.rdbuf();
        out.flush();
        copied = workbook.good() && out.good();
    }
    std::remove(file.c_str());
    rmdir(folder.data());
    return copied;
}
