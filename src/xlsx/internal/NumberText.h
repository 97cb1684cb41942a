#ifndef HORATAB_XLSX_INTERNAL_NUMBERTEXT_H
#define HORATAB_XLSX_INTERNAL_NUMBERTEXT_H

// Decimal text of floating-point numbers as an output stream writes them in
// its default notation and the "C" locale (printf's "%.<precision>g"),
// without the stream's locale machinery.

#include <cstddef>

namespace SimpleXlsx {

// Enough for any double at any precision up to 60 digits.
constexpr size_t numberTextSize = 96;

// Writes `value` with at most `precision` significant digits (0 counts as
// 1), trailing zeros dropped, exponent notation when the decimal exponent is
// below -4 or not below the precision; returns the length written into
// `out`, which holds numberTextSize bytes. Precision above 60 is taken as 60.
size_t FormatGeneral(char* out, double value, int precision);

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_NUMBERTEXT_H
