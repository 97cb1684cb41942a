#ifndef HORATAB_XLSX_INTERNAL_ZIP64END_H
#define HORATAB_XLSX_INTERNAL_ZIP64END_H

// The end records of an archive of 65,535 entries or more.
//
// minizip's zipClose writes 0xFFFF as the entry counts of the end of
// central directory record once an archive holds 65,535 entries, but adds
// the zip64 end record and locator, where the true count belongs, only
// when the central directory starts beyond 4 GiB. Readers then find no
// count they can trust, and reject the archive.

#include <cstdint>
#include <string>

#include "xlsx/Status.h"

namespace SimpleXlsx {

// Inserts the zip64 end of central directory record and its locator before
// the end record of the closed archive at `archivePath`, which holds
// `entryCount` entries, when the count needs them and they are missing.
// False, with `status` saying why, when the archive cannot be read or
// written or does not end in an end record without a comment.
bool CompleteZip64End(const std::string& archivePath, uint64_t entryCount, Status& status);

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_ZIP64END_H
