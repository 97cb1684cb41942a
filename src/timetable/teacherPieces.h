#ifndef HORATAB_TIMETABLE_TEACHERPIECES_H
#define HORATAB_TIMETABLE_TEACHERPIECES_H

#include <functional>
#include <string>

#include "timetable/teacherRecords.h"

// Reads the UTF-8 timetable file at `path` a few teacher elements at a
// time, so that neither its whole text nor a document of all of it is ever
// held: a second thread reads the file in bounded blocks, finds where each
// child element of the root ends, parses a run of them with pugixml and
// reads the run's teachers off into records, while this thread hands each
// run's records, in document order, to `build`.
//
// The file is taken only in its common shape: an optional byte-order mark,
// then XML declaration, comments and processing instructions, the root
// <Teachers_Timetable> with at least one child element, only whitespace
// and comments between its children, and only whitespace, comments and
// processing instructions after it. Each run is checked to parse to exactly
// the elements found, and what surrounds the root to parse as it would
// around the whole, so a completed read builds what loading the whole
// document would have built.
//
// Returns false as soon as anything else is seen: another encoding, a
// document type, text or CDATA between teachers, a null byte or a possible
// reference to U+0000, a parse error, a file that cannot be read, memory
// running out. The caller then discards whatever `build` made and loads
// the whole document, which gives that input's exact result or error.
bool readTeachersInPieces(const std::string& path,
                          const std::function<void(const teacherRecords&)>& build);

#endif  // HORATAB_TIMETABLE_TEACHERPIECES_H
