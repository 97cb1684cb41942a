#pragma once
// Why an operation failed, beside its boolean result.
//
//   Status status;                       // kind STATUS_OK
//   if (!workbook.Save(path))
//       std::cerr << path << ": " << workbook.LastStatus().Text() << '\n';
//
// A Status holds the kind of failure, the errno of the system call that
// failed (0 when none did), the part or path concerned and a message.
// Text() joins them into one line for a person:
//   "<message>[ <subject>][: <strerror(errorNumber)>]"
// for example "cannot write /tmp/xlsx_Ab12/xl/styles.xml: No space left on
// device" or "not well-formed XML at line 3, column 7: Start-end tags
// mismatch".
//
// Who reports through it:
//   CWorkbook::LastStatus()            Save, AddSheet, AddChart
//   ExcelWriteWrapper::lastStatus()    every row operation and Save
//   timeTable::parse(path, &status)    the import; a well-formed file with no
//                                      teachers is read (true) with kind
//                                      STATUS_NO_TEACHERS
//   timeTable::teacherToExcel(path, &status), studentsToExcel(path, &status)

#include <string>

namespace SimpleXlsx {

enum EStatusKind
{
    STATUS_OK,
    STATUS_SYSTEM,             // a system call failed: errorNumber holds its errno
    STATUS_ZIP,                // the archive could not take a part: subject names it
    STATUS_NO_MEMORY,          // not enough memory
    STATUS_TOO_LARGE,          // more rows or columns than a sheet holds
    STATUS_MALFORMED_XML,      // the input is not well-formed XML (line and column in the message)
    STATUS_UNREADABLE_INPUT,   // the input is empty or not text in its encoding
    STATUS_NO_TEACHERS,        // a well-formed input without teachers (or with another root)
    STATUS_NOTHING_TO_EXPORT,  // no teacher has an hour, no hour names a group
    STATUS_INVALID_USE,        // an operation the object's state does not allow
    STATUS_CANCELLED,          // the caller cancelled the operation
};

struct Status
{
    EStatusKind kind = STATUS_OK;
    int errorNumber = 0;  // errno of the failed system call, 0 when none
    std::string subject;  // the part or path concerned; may be empty
    std::string message;  // what went wrong, without the subject and the errno text

    Status() = default;
    Status(EStatusKind kind, std::string message, std::string subject = std::string(),
           int errorNumber = 0);

    // A system call on `path` failed with `errorNumber` (errno);
    // `message` says what was being done ("cannot write").
    static Status System(std::string message, std::string path, int errorNumber);
    static Status NoMemory();

    bool Ok() const { return kind == STATUS_OK; }
    explicit operator bool() const { return Ok(); }

    // The one-line text for a person; "ok" when nothing failed.
    std::string Text() const;
};

}  // namespace SimpleXlsx
