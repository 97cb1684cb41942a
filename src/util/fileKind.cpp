#include "util/fileKind.h"

#include <sys/stat.h>
#include <unistd.h>

namespace util {

const char* fileKindName(mode_t mode)
{
    if (S_ISREG(mode))
        return "a regular file";
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISLNK(mode))
        return "a symbolic link";
    if (S_ISFIFO(mode))
        return "a pipe (FIFO)";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a special file";
}

std::string notRegularFile(mode_t mode)
{
    return std::string("is ") + fileKindName(mode) + ", not a regular file";
}

bool linksThroughProc(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        char target[4096];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return false;
        std::string next(target, static_cast<size_t>(length));
        if (next.front() != '/') {
            const size_t slash = path.rfind('/');
            next = (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + next;
        }
        if (next.compare(0, 6, "/proc/") == 0)
            return true;
        path = next;
    }
    return false;
}

}  // namespace util
