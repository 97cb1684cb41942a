#include "timetable/printLayout.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "timetable/ExcelWriteWrapper.h"
#include "xlsx/PageSetup.h"
#include "xlsx/Style.h"
#include "xlsx/Workbook.h"
#include "xlsx/Worksheet.h"

namespace {

using namespace SimpleXlsx;

const double defaultPoints = 11;
const double widestColumn = 40;  // wider texts wrap
const double narrowestColumn = 4;
const double cellPadding = 1.5;  // the cell's inner margins, in character units
const double lineHeightPerPoint = 1.3;
const char* const headingFill = "FFE7E6E6";  // light grey

// Reads the next code point of `text` from `pos`; a byte that starts no
// valid sequence counts as one character of its own.
uint32_t nextCodePoint(const std::string& text, size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    const int continuations = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint32_t code = continuations == 0 ? lead : lead & (0x3F >> continuations);
    for (int i = 0; i < continuations && pos < text.size(); ++i)
        code = (code << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    return code;
}

// The width of one character relative to the digit "0" of a proportional
// font: narrow punctuation and letters, wide capitals, double-width
// ideographs.
double characterWidth(uint32_t c)
{
    static const std::string narrow = " .,:;!|'()[]ijlI";
    static const std::string slim = "frt-/\\\"";
    static const std::string wide = "mwMW@%";
    if (c < 0x80) {
        const char ascii = char(c);
        if (narrow.find(ascii) != std::string::npos)
            return 0.5;
        if (slim.find(ascii) != std::string::npos)
            return 0.65;
        if (wide.find(ascii) != std::string::npos)
            return 1.45;
        if (ascii >= 'A' && ascii <= 'Z')
            return 1.2;
        return 1.0;
    }
    if (c >= 0x2E80)
        return 2.0;  // CJK and the like
    return 1.1;      // accented letters and other scripts
}

double lineWidth(const std::string& line, double points, bool bold)
{
    double units = 0;
    for (size_t pos = 0; pos < line.size();)
        units += characterWidth(nextCodePoint(line, pos));
    return units * (points / defaultPoints) * (bold ? 1.1 : 1.0);
}

std::vector<std::string> linesOfText(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

uint32_t rowHeight(uint32_t lines, double points)
{
    return uint32_t(std::ceil(std::max<uint32_t>(lines, 1) * points * lineHeightPerPoint + 1));
}

// `text` in the font `name`, bold or not, at `points`: the size code must
// not run into a digit that begins the text.
std::string inFont(const std::string& name, bool bold, uint32_t points, const std::string& text)
{
    std::string literal = HeaderFooterLiteral(text);
    if (!literal.empty() && literal[0] >= '0' && literal[0] <= '9')
        literal = " " + literal;
    return HeaderFooterFont(name, bold ? "Bold" : "Regular", points) + literal;
}

}  // namespace

double estimatedTextWidth(const std::string& text, double points, bool bold)
{
    double widest = 0;
    for (const std::string& line : linesOfText(text))
        widest = std::max(widest, lineWidth(line, points, bold));
    return widest;
}

printLayout::printLayout(ExcelWriteWrapper& facade, const std::string& fontName, int32_t points,
                         const std::string& fileName, const std::string& date)
    : facade(facade), fontName(fontName), points(uint32_t(std::max(points, 1))), fileName(fileName),
      date(date)
{
    titleStyle = addStyle(true, this->points + 4, false, false, false, false);
    captionStyle = addStyle(true, this->points, false, false, false, false);
    styles.plain = addStyle(false, this->points, false, true, false, true);
    styles.heading = addStyle(true, this->points, true, true, false, true);
    styles.dayStart = addStyle(false, this->points, false, true, true, true);
    styles.headingDayStart = addStyle(true, this->points, true, true, true, true);
}

int32_t printLayout::addStyle(bool bold, uint32_t size, bool filled, bool bordered, bool thickLeft,
                              bool centred)
{
    CWorkbook* book = facade.workbookInUse();
    if (!book)
        return 0;
    Style style;
    style.font.name = fontName;
    style.font.size = size;
    style.font.attributes = bold ? FONT_BOLD : 0;
    if (filled) {
        style.fill.patternType = PATTERN_SOLID;
        style.fill.fgColor = headingFill;
        style.fill.bgColor = headingFill;
    }
    if (bordered) {
        style.border.left.style = thickLeft ? BORDER_MEDIUM : BORDER_THIN;
        style.border.right.style = style.border.top.style = style.border.bottom.style = BORDER_THIN;
    }
    style.horizAlign = centred ? ALIGN_H_CENTER : ALIGN_H_LEFT;
    style.vertAlign = ALIGN_V_CENTER;
    style.wrapText = centred;
    return int32_t(book->GetStyleList().Add(style));
}

uint32_t printLayout::linesOf(const std::string& text, double columnWidth, bool bold) const
{
    const double room = std::max(columnWidth - cellPadding, 1.0);
    uint32_t lines = 0;
    for (const std::string& line : linesOfText(text))
        lines +=
            std::max<uint32_t>(1, uint32_t(std::ceil(lineWidth(line, points, bold) / room - 0.01)));
    return lines;
}

bool printLayout::writeRow(const std::vector<std::string>& texts,
                           const std::vector<int32_t>& cellStyles, uint32_t lines, double size)
{
    CWorksheet* sheet = facade.worksheetInUse();
    if (!sheet || !sheet->BeginRow(rowHeight(lines, size)))
        return false;
    bool result = true;
    for (size_t c = 0; c < texts.size() && result; ++c)
        result = texts[c].empty() ? sheet->AddBlankCell(cellStyles[c])
                                  : sheet->AddCell(CellDataStr(texts[c], cellStyles[c], true));
    sheet->EndRow();
    return result;
}

void printLayout::fitColumns(const std::vector<double>& widths)
{
    std::vector<ColumnWidth> rules;
    for (size_t c = 0; c < widths.size(); ++c)
        rules.emplace_back(uint32_t(c), uint32_t(c), float(widths[c]));
    facade.worksheetInUse()->SetColumnWidths(rules);
}

bool printLayout::setPageSetup(const std::string& name, bool onePage)
{
    CWorksheet* sheet = facade.worksheetInUse();
    sheet->SetPageOrientation(PAGE_LANDSCAPE);
    sheet->SetPaperSize(PAPER_A4);
    sheet->SetFitToPages(1, onePage ? 1 : 0);
    sheet->SetCenterOnPage(true, onePage);
    // A name too long for the header's 255 characters is shown without
    // its font; the footer drops the file's name before the date.
    if (!sheet->SetHeader(HeaderFooterSections("", inFont(fontName, true, points + 2, name), "")))
        sheet->SetHeader(HeaderFooterSections("", HeaderFooterLiteral(name.substr(0, 120)), ""));
    if (!sheet->SetFooter(HeaderFooterSections(inFont(fontName, false, 0, fileName), "",
                                               HeaderFooterLiteral(date))))
        sheet->SetFooter(HeaderFooterSections("", "", HeaderFooterLiteral(date)));
    return true;
}

bool printLayout::writeWeek(const std::string& name, const std::vector<std::string>& captions,
                            const std::vector<BaseMatrix<std::string>>& blocks)
{
    CWorksheet* sheet = facade.worksheetInUse();
    if (!sheet || blocks.empty())
        return false;
    const uint64_t columns = std::max<uint64_t>(blocks.front().colSize(), 1);
    std::vector<double> widths(columns, narrowestColumn);
    for (const BaseMatrix<std::string>& block : blocks)
        for (uint64_t r = 0; r < block.rowSize(); ++r)
            for (uint64_t c = 0; c < block.colSize() && c < columns; ++c)
                widths[c] = std::max(widths[c], estimatedTextWidth(block(uint32_t(r), uint32_t(c)),
                                                                   points, r == 0 || c == 0) +
                                                    cellPadding);
    for (double& width : widths)
        width = std::min(std::ceil(width * 4) / 4, widestColumn);

    bool result = writeRow({name}, {titleStyle}, 1, points + 4) &&
                  sheet->MergeCells(CellCoord(1, 0), CellCoord(1, uint32_t(columns - 1)));
    for (size_t b = 0; b < blocks.size() && result; ++b) {
        if (b > 0)
            result = writeRow({}, {}, 1, points);
        if (result)
            result = writeRow({b < captions.size() ? captions[b] : std::string()}, {captionStyle},
                              1, points);
        const BaseMatrix<std::string>& block = blocks[b];
        for (uint64_t r = 0; r < block.rowSize() && result; ++r) {
            std::vector<std::string> texts;
            std::vector<int32_t> cellStyles;
            uint32_t lines = 1;
            for (uint64_t c = 0; c < columns; ++c) {
                const bool heading = r == 0 || c == 0;
                texts.push_back(c < block.colSize() ? block(uint32_t(r), uint32_t(c)) : "");
                cellStyles.push_back(heading ? styles.heading : styles.plain);
                lines = std::max(lines, linesOf(texts.back(), widths[c], heading));
            }
            result = writeRow(texts, cellStyles, lines, points);
        }
    }
    if (result) {
        fitColumns(widths);
        result = setPageSetup(name, true);
    }
    return result;
}

bool printLayout::writeSummary(const std::string& name, const BaseMatrix<std::string>& summary,
                               uint64_t hoursPerDay)
{
    CWorksheet* sheet = facade.worksheetInUse();
    if (!sheet || hoursPerDay == 0)
        return false;
    const uint64_t columns = summary.colSize();
    // The day names span their blocks: only the other rows size the columns.
    std::vector<double> widths(columns, narrowestColumn);
    for (uint64_t r = 1; r < summary.rowSize(); ++r)
        for (uint64_t c = 0; c < columns; ++c)
            widths[c] = std::max(widths[c], estimatedTextWidth(summary(uint32_t(r), uint32_t(c)),
                                                               points, r < 2 || c == 0) +
                                                cellPadding);
    for (double& width : widths)
        width = std::min(std::ceil(width * 4) / 4, widestColumn);

    bool result = true;
    for (uint64_t r = 0; r < summary.rowSize() && result; ++r) {
        std::vector<std::string> texts;
        std::vector<int32_t> cellStyles;
        uint32_t lines = 1;
        for (uint64_t c = 0; c < columns; ++c) {
            const bool heading = r < 2 || c == 0;
            const bool dayStart = c >= 1 && (c - 1) % hoursPerDay == 0;
            texts.push_back(summary(uint32_t(r), uint32_t(c)));
            cellStyles.push_back(heading ? (dayStart ? styles.headingDayStart : styles.heading)
                                         : (dayStart ? styles.dayStart : styles.plain));
            if (r != 0)
                lines = std::max(lines, linesOf(texts.back(), widths[c], heading));
        }
        result = writeRow(texts, cellStyles, lines, points);
    }
    for (uint64_t first = 1; first + hoursPerDay - 1 < columns && hoursPerDay > 1 && result;
         first += hoursPerDay)
        result = sheet->MergeCells(CellCoord(1, uint32_t(first)),
                                   CellCoord(1, uint32_t(first + hoursPerDay - 1)));
    if (result) {
        fitColumns(widths);
        sheet->FreezePanes(1, 2);
        result = sheet->SetPrintTitleRows(1, 2) && sheet->SetPrintTitleColumns(0, 0) &&
                 setPageSetup(name, false);
    }
    return result;
}
