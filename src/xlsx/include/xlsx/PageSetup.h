#ifndef HORATAB_XLSX_PAGESETUP_H
#define HORATAB_XLSX_PAGESETUP_H

// How a worksheet prints: orientation, paper, scaling to pages, margins,
// centring, gridlines, header and footer. Header and footer texts use the
// spreadsheet's codes, which the functions below help to build.

#include <cstdint>
#include <string>
#include <string_view>

namespace SimpleXlsx {

enum EPageOrientation
{
    PAGE_PORTRAIT = 0,
    PAGE_LANDSCAPE = 1
};

// Paper sizes by the spreadsheet's numbers.
enum EPaperSize
{
    PAPER_LETTER = 1,
    PAPER_LEGAL = 5,
    PAPER_A3 = 8,
    PAPER_A4 = 9,
    PAPER_A5 = 11
};

// Margins in inches.
struct PageMargins
{
    double left = 0.7;
    double right = 0.7;
    double top = 0.75;
    double bottom = 0.75;
    double header = 0.3;
    double footer = 0.3;
};

// The longest header or footer text the spreadsheet accepts, in characters.
constexpr size_t maxHeaderFooterLength = 255;

// A header or footer of three sections, each empty or code text:
// "&L<left>&C<centre>&R<right>", empty sections left out.
std::string HeaderFooterSections(std::string_view left, std::string_view center,
                                 std::string_view right);

// `text` shown as it is: every "&" doubled.
std::string HeaderFooterLiteral(std::string_view text);

// The font of the text after it: &"name,style" (style "Regular", "Bold",
// "Italic", "Bold Italic"), then &size when `points` is not 0. A quotation
// mark cannot stand in the name and is left out. A size followed by digits
// would read as a larger size: put a space between them.
std::string HeaderFooterFont(std::string_view name, std::string_view style = "Regular",
                             uint32_t points = 0);

// Codes of the fields: page number, number of pages, date, time, file name
// and sheet name.
inline constexpr char headerPageNumber[] = "&P";
inline constexpr char headerPageCount[] = "&N";
inline constexpr char headerDate[] = "&D";
inline constexpr char headerTime[] = "&T";
inline constexpr char headerFileName[] = "&F";
inline constexpr char headerSheetName[] = "&A";

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_PAGESETUP_H
