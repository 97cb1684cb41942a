#pragma once
// Sheet names that spreadsheet programs accept.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace SimpleXlsx {

constexpr size_t kMaxSheetNameBytes = 31;

// Turns `title` into a valid sheet name that differs, without regard to
// letter case, from every name in `taken`:
// - the characters : \ / ? * [ ], control characters and bytes that are
//   not valid UTF-8 become "_";
// - at most 31 bytes, cut on a character boundary;
// - an apostrophe at the start or the end becomes "_";
// - an empty name becomes "Sheet <index>";
// - a name already taken gets the suffix " (2)", " (3)", ..., the base cut
//   on a character boundary so that the result stays within 31 bytes.
// A title that already obeys these rules is returned unchanged.
std::string MakeSheetName(std::string_view title, uint32_t index,
                          const std::vector<std::string>& taken);

// The taken names as keys (SheetNameKey): a workbook of thousands of sheets
// whose titles clash keeps this set, so that each name is found in constant
// time rather than by comparing it with every sheet.
using SheetNameKeys = std::unordered_set<std::string>;
std::string MakeSheetNameAmong(std::string_view title, uint32_t index, const SheetNameKeys& taken);

// The key under which a sheet name must be unique: its letters lower-cased.
// SameSheetName(a, b) exactly when the keys of a and b are equal.
std::string SheetNameKey(std::string_view name);

// Equality of sheet names as spreadsheet programs see it: letters of every
// script compared without regard to case.
bool SameSheetName(std::string_view a, std::string_view b);

}  // namespace SimpleXlsx
