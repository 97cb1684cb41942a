#ifndef HORATAB_UTIL_FILEKIND_H
#define HORATAB_UTIL_FILEKIND_H

#include <sys/types.h>

#include <string>

// What a path names on the file system, for the layers that open or
// replace files a user gave: the writer, the import and the command line.
namespace util {

// The kind of file of a stat() mode, as said in a message: "a directory",
// "a pipe (FIFO)", "a character device", ...
const char* fileKindName(mode_t mode);

// Why a file of `mode` is refused where a regular file is needed:
// "is a pipe (FIFO), not a regular file".
std::string notRegularFile(mode_t mode);

// Whether the links from `path` lead through /proc (/dev/stdout,
// /dev/fd/N): the name of an open descriptor, whose link is a system file.
bool linksThroughProc(std::string path);

}  // namespace util

#endif  // HORATAB_UTIL_FILEKIND_H
