#ifndef HORATAB_TIMETABLE_PRINTLAYOUT_H
#define HORATAB_TIMETABLE_PRINTLAYOUT_H

// The print-ready layout of the workbooks: titled, captioned, bordered weeks
// with fitted columns, each on one landscape page; summaries with merged day
// names, frozen headings repeated on every page, one page wide.

#include <cstdint>
#include <string>
#include <vector>

#include "timetable/BaseMatrix.h"

class ExcelWriteWrapper;

// The width, in the spreadsheet's character units (the width of "0" in the
// default font at 11 points), that `text` takes in a font of `points`
// points, bold or not: the widest of its lines, each the sum of estimated
// character widths.
double estimatedTextWidth(const std::string& text, double points, bool bold);

class printLayout
{
public:
    // `fontName` at `points` for every cell; the header shows each sheet's
    // name, the footer `fileName` and `date`.
    printLayout(ExcelWriteWrapper& facade, const std::string& fontName, int32_t points,
                const std::string& fileName, const std::string& date);

    // A week sheet: the name as a title, then each block under its caption,
    // one empty row apart; the blocks have equal sizes.
    bool writeWeek(const std::string& name, const std::vector<std::string>& captions,
                   const std::vector<BaseMatrix<std::string>>& blocks);
    // A summary sheet: `summary` with its two heading rows, the days in
    // blocks of `hoursPerDay` columns after the column of names.
    bool writeSummary(const std::string& name, const BaseMatrix<std::string>& summary,
                      uint64_t hoursPerDay);

private:
    struct cellStyles
    {
        int32_t plain;
        int32_t heading;
        int32_t dayStart;         // plain, a thicker left edge
        int32_t headingDayStart;  // heading, a thicker left edge
    };

    int32_t addStyle(bool bold, uint32_t points, bool filled, bool bordered, bool thickLeft,
                     bool centred);
    bool writeRow(const std::vector<std::string>& texts, const std::vector<int32_t>& styles,
                  uint32_t lines, double points);
    bool setPageSetup(const std::string& name, bool onePage);
    void fitColumns(const std::vector<double>& widths);
    // Lines of `text` once wrapped at the column's width.
    uint32_t linesOf(const std::string& text, double columnWidth, bool bold) const;

    ExcelWriteWrapper& facade;
    std::string fontName;
    uint32_t points;
    std::string fileName;
    std::string date;
    int32_t titleStyle;
    int32_t captionStyle;
    cellStyles styles;
};

#endif  // HORATAB_TIMETABLE_PRINTLAYOUT_H
