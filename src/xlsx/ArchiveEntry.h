#pragma once
// Packs one part file into the package's zip archive as a deflated entry.

#include <zip.h>

#include <cstddef>
#include <string>

namespace SimpleXlsx {

// Adds the file at `path` to `archive` under `entryName`, deflated at
// zlib's default level. Files larger than one block are deflated in blocks
// on two threads (BlockDeflater) when the machine has a second core and
// written as a raw entry; smaller ones go through minizip's own deflate,
// read through `block` (`blockSize` bytes). False when the file cannot be
// read or the entry cannot be written.
bool AddArchiveEntry(zipFile archive, const std::string& entryName, const std::string& path, char* block,
                     size_t blockSize);

}  // namespace SimpleXlsx
