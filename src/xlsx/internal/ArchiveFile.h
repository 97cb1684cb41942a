#ifndef HORATAB_XLSX_INTERNAL_ARCHIVEFILE_H
#define HORATAB_XLSX_INTERNAL_ARCHIVEFILE_H

// The file functions through which minizip writes a new archive. Minizip
// goes back to each entry's local header to write its CRC and sizes once
// the entry is complete; through the C library's stream every such seek
// writes out what was buffered, and a workbook of thousands of small
// sheets costs thousands of writes and seeks. Here the writes gather in a
// buffer of a few mebibytes, written out with pwrite when it is full or
// when a write lands outside it, and a seek only moves the position. The
// bytes in the file are the same. A failed write keeps its errno, and the
// calls after it fail too.

#include <ioapi.h>

namespace SimpleXlsx {

zlib_filefunc64_def BufferedArchiveFunctions();

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_ARCHIVEFILE_H
