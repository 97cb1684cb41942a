#ifndef HORATAB_XLSX_INTERNAL_SHEETNAME_H
#define HORATAB_XLSX_INTERNAL_SHEETNAME_H

// Sheet names that spreadsheet programs accept.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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
// - "History" in any letter case, which the most used spreadsheet program
//   reserves, gets a "_" appended;
// - a name already taken gets the suffix " (2)", " (3)", ..., the base cut
//   on a character boundary so that the result stays within 31 bytes.
// A title that already obeys these rules is returned unchanged.
std::string MakeSheetName(std::string_view title, uint32_t index,
                          const std::vector<std::string>& taken);

// Equality of sheet names as spreadsheet programs see it: full Unicode case
// folding (ICU), with the Turkic dotted and dotless i counted as i.
bool SameSheetName(std::string_view a, std::string_view b);

// `name` as the value of the workbook's name attribute: readers decode
// "_xHHHH_" there as in cells, so the underscore of a literal one is
// written "_x005F_" and the reader shows `name` exactly.
std::string SheetNameAttribute(std::string_view name);

// The names of a workbook's sheets, looked up by SameSheetName in constant
// time, so that a workbook of thousands of sheets names each one quickly.
// Clashes of one base name go on from the last suffix given to it, so
// thousands of alike titles are named in linear time.
class SheetNameSet
{
public:
    bool Contains(std::string_view name) const;
    void Add(std::string_view name);
    // MakeSheetName with the names of this set taken.
    std::string NameFor(std::string_view title, uint32_t index);

private:
    std::unordered_set<std::string> folded;              // case-folded names
    std::unordered_map<std::string, size_t> nextSuffix;  // by case-folded base name
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_SHEETNAME_H
