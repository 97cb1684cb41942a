#ifndef HORATAB_FUZZ_PACKAGECHECK_H
#define HORATAB_FUZZ_PACKAGECHECK_H
// Checks that a saved workbook is one a spreadsheet program opens: a zip
// archive whose every entry is well-formed XML made of characters XML 1.0
// allows, and whose sheet names obey the spreadsheet rules.

#include <string>
#include <vector>

namespace horatabCheck {

// The reason `name` is not a valid sheet name, or "" when it is one: not
// empty, valid UTF-8, at most 31 characters (UTF-16 code units), none of
// : \ / ? * [ ] nor a control character, no apostrophe at either end.
std::string sheetNameProblem(const std::string& name);

// Sheet names compared as spreadsheet programs do: without regard to letter
// case (ASCII, Latin, Greek and Cyrillic letters).
bool sameSheetName(const std::string& a, const std::string& b);

// The first character XML 1.0 forbids in `bytes` (invalid UTF-8, a control
// character other than tab, line feed and carriage return, U+FFFE, U+FFFF,
// or a character reference to any of them), described; "" when there is none.
std::string xmlCharacterProblem(const std::string& bytes);

// Checks the workbook at `path`. Returns "" when it is sound, otherwise the
// first problem found. The sheet names in xl/workbook.xml go to `sheetNames`.
std::string workbookProblem(const std::string& path, std::vector<std::string>& sheetNames);

}  // namespace horatabCheck

#endif  // HORATAB_FUZZ_PACKAGECHECK_H
