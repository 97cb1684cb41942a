#include "xlsx/internal/PackageVocabulary.h"

#include "xlsx/internal/Utf8.h"
#include "xlsx/internal/XmlStream.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <new>
#include <sys/stat.h>
#include <sys/types.h>

namespace SimpleXlsx {

bool MakeDirectory(const std::string& path)
{
    std::string directory;
    size_t componentStart = 0;
    for (size_t pos = 0; pos < path.size(); ++pos) {
        if (path[pos] != '/' && path[pos] != '\\')
            continue;
        directory.append(path, componentStart, pos - componentStart);
        directory += '/';
        componentStart = pos + 1;
        if (mkdir(directory.c_str(), 0777) != 0 && errno == ENOENT)
            return false;
    }
    return true;
}

std::string PackageAuthor()
{
    constexpr size_t maxAuthorBytes = 259;
    const char* user = std::getenv("USERNAME");
    const std::string_view name = user != nullptr ? user : "Unknown";
    return std::string(name.substr(0, Utf8PrefixBytes(name, maxAuthorBytes)));
}

std::string PartPath(const std::string& tempPath, const std::string& partName)
{
    std::string path;
    path.reserve(tempPath.size() + 1 + partName.size());
    path += tempPath;
    path += '/';
    path += partName;
    return path;
}

namespace {
thread_local PartFailureScope* innermostScope = nullptr;
}

PartFailureScope::PartFailureScope(Status& status) : status(status), outer(innermostScope)
{
    innermostScope = this;
}

PartFailureScope::~PartFailureScope()
{
    innermostScope = outer;
}

void PartFailureScope::Report(const Status& failure)
{
    if (innermostScope != nullptr && innermostScope->status.Ok())
        innermostScope->status = failure;
}

PartFile::PartFile(const std::string& tempPath, const std::string& partName, std::size_t bufferSize)
    : bufferSize(bufferSize)
{
    // Without a temporary directory the part would land at the root of the
    // file system; such a part file stays closed and Close reports it.
    if (tempPath.empty()) {
        failure = Status(STATUS_INVALID_USE, "no temporary folder for the part", partName);
        PartFailureScope::Report(failure);
        return;
    }
    path = PartPath(tempPath, partName);
    MakeDirectory(path);
    OpenBuffered(std::ios_base::out | std::ios_base::trunc | std::ios_base::binary);
}

// Keeps the first failure, with the errno of the call that just failed.
void PartFile::Fail(const char* what, int errorNumber)
{
    if (!failure.Ok())
        return;
    failure = Status::System(what, path, errorNumber);
    PartFailureScope::Report(failure);
}

bool PartFile::OpenBuffered(std::ios_base::openmode mode)
{
    buffer.reset(new char[bufferSize]);
    // The buffer has to be installed before the file is opened to take effect.
    file.rdbuf()->pubsetbuf(buffer.get(), static_cast<std::streamsize>(bufferSize));
    errno = 0;
    file.open(path, mode);
    if (!file.is_open())
        Fail("cannot create", errno);
    return file.is_open();
}

void PartFile::Suspend()
{
    if (suspended || !file.is_open())
        return;
    errno = 0;
    file.close();
    if (file.fail()) {
        lostData = true;
        Fail("cannot write", errno);
    }
    buffer.reset();
    suspended = true;
}

bool PartFile::Resume()
{
    if (!suspended)
        return file.is_open();
    suspended = false;
    file.clear();
    if (!OpenBuffered(std::ios_base::out | std::ios_base::app | std::ios_base::binary))
        lostData = true;
    return !lostData;
}

bool PartFile::Close()
{
    if (suspended)
        Resume();
    if (!file.is_open()) {
        PartFailureScope::Report(failure);
        return false;
    }
    errno = 0;
    file.close();
    if (file.fail())
        Fail("cannot write", errno);
    if (!file.fail() && !lostData)
        return true;
    PartFailureScope::Report(failure);
    return false;
}

}  // namespace SimpleXlsx
