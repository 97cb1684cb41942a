#ifndef HORATAB_XLSX_INTERNAL_UTF8_H
#define HORATAB_XLSX_INTERNAL_UTF8_H

// Cutting UTF-8 text to a limit without splitting a character.

#include <cstddef>
#include <string_view>

namespace SimpleXlsx {

// The length in bytes of the longest prefix of `text` that holds at most
// `maxBytes` bytes and ends on a character boundary. A byte that does not
// belong to a valid UTF-8 sequence counts as one character.
size_t Utf8PrefixBytes(std::string_view text, size_t maxBytes);

// The length in bytes of the longest prefix of `text` that holds at most
// `maxUnits` UTF-16 code units (a character beyond U+FFFF counts two) and
// ends on a character boundary.
size_t Utf8PrefixUtf16Units(std::string_view text, size_t maxUnits);

// The length of the valid UTF-8 sequence starting at text[pos], or 0 when
// the bytes there do not form one.
size_t Utf8SequenceLength(std::string_view text, size_t pos);

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_UTF8_H
