#ifndef HORATAB_CLI_DESTINATIONS_H
#define HORATAB_CLI_DESTINATIONS_H

// Where workbooks may go: only to regular files (or new names), never onto
// the input or onto each other, and to standard output through a file of
// the temporary folder.

#include <ostream>
#include <string>

#include "cli/options.h"

// Why `path` may not be replaced by a workbook: it exists and is not a
// regular file (a device, a FIFO, a socket), or is a symbolic link to
// something that is not. Empty when it may. A symbolic link to a regular
// file may: the link itself is replaced, its target is never written.
std::string specialFileProblem(const std::string& path);

// Why the files `options` names clash: a workbook would land on the input
// or both workbooks on one file, compared by device and inode (through
// links, hard links and other spellings of a path). Empty when none do.
std::string sameFileProblem(const cliOptions& options, std::string& subject);

// Runs `save` on a new file in a private folder of the temporary folder and
// copies the result to `out`; the folder is removed afterwards.
bool saveThroughTemporaryFile(const std::string& temporaryBase, std::ostream& out,
                              bool (*save)(void* context, const std::string& path), void* context);

#endif  // HORATAB_CLI_DESTINATIONS_H
