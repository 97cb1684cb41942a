#ifndef HORATAB_XLSX_INTERNAL_SHEETNAME_H
#define HORATAB_XLSX_INTERNAL_SHEETNAME_H

// Sheet names that spreadsheet programs accept.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace SimpleXlsx {

constexpr size_t maxSheetNameBytes = 31;

// Turns `title` into a valid sheet name that differs, without regard to
// letter case, from every name in `taken`:
// - the characters : \ / ? * [ ], control characters, U+FFFE, U+FFFF and
//   bytes that are not valid UTF-8 become "_";
// - at most 31 bytes, cut on a character boundary;
// - an apostrophe at the start or the end becomes "_";
// - an empty name becomes "Sheet <index>";
// - a name already taken gets the suffix " (2)", " (3)", ..., the base cut
//   on a character boundary so that the result stays within 31 bytes.
// A title that already obeys these rules is returned unchanged.
std::string MakeSheetName(std::string_view title, uint32_t index,
                          const std::vector<std::string>& taken);

// Equality of sheet names as spreadsheet programs see it: letters of every
// script compared without regard to case.
bool SameSheetName(std::string_view a, std::string_view b);

// The names of a workbook's sheets, looked up by SameSheetName in constant
// time, so that a workbook of thousands of sheets names each one quickly.
class SheetNameSet
{
public:
    bool Contains(std::string_view name) const;
    void Add(std::string_view name);
    // MakeSheetName with the names of this set taken.
    std::string NameFor(std::string_view title, uint32_t index) const;

private:
    std::unordered_set<std::string> folded;  // letters in lower case
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_SHEETNAME_H
