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

PartFile::PartFile(const std::string& tempPath, const std::string& partName, std::size_t bufferSize)
    : bufferSize(bufferSize)
{
    // Without a temporary directory the part would land at the root of the
    // file system; such a part file stays closed and Close reports it.
    if (tempPath.empty())
        return;
    path = PartPath(tempPath, partName);
    MakeDirectory(path);
    OpenBuffered(std::ios_base::out | std::ios_base::trunc | std::ios_base::binary);
}

bool PartFile::OpenBuffered(std::ios_base::openmode mode)
{
    buffer.reset(new (std::nothrow) char[bufferSize]);
    // The buffer has to be installed before the file is opened to take effect.
    if (buffer)
        file.rdbuf()->pubsetbuf(buffer.get(), static_cast<std::streamsize>(bufferSize));
    file.open(path, mode);
    return file.is_open();
}

void PartFile::Suspend()
{
    if (suspended || !file.is_open())
        return;
    file.close();
    lostData = lostData || file.fail();
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
    if (!file.is_open())
        return false;
    file.close();
    return !file.fail() && !lostData;
}

}  // namespace SimpleXlsx
