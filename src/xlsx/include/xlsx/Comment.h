#ifndef HORATAB_XLSX_COMMENT_H
#define HORATAB_XLSX_COMMENT_H

// A cell comment: its text as formatted runs and the note box that shows it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "xlsx/Cell.h"
#include "xlsx/Style.h"

namespace SimpleXlsx {

struct Comment
{
    // The pale yellow of a new note box.
    static constexpr const char* defaultFillColor = "#FFFFE1";
    static constexpr int32_t defaultWidth = 108;  // points
    static constexpr int32_t defaultHeight = 60;  // points

    int32_t sheetIndex;                              // the worksheet's GetIndex()
    std::vector<std::pair<Font, std::string>> runs;  // the text, run by run
    CellCoord cellRef;                               // row from 1, column from 0
    std::string fillColor;                           // written into the drawing as it is
    bool isHidden;                                   // shown only while the cell is pointed at
    int32_t x, y;                                    // left and top margin of the box, points
    int32_t width, height;                           // size of the box, points

    // An empty comment on A1 with the default box.
    Comment() : Comment(CellCoord(1, 0), {}) {}

    // A comment on `cell` with a hidden box of the default size and colour,
    // placed to the right of the cell and a little above it (assuming
    // columns and rows of the default size).
    Comment(CellCoord cell, std::vector<std::pair<Font, std::string>> text)
        : sheetIndex(0), runs(std::move(text)), cellRef(cell), fillColor(defaultFillColor),
          isHidden(true), x(DefaultLeft(cell)), y(DefaultTop(cell)), width(defaultWidth),
          height(defaultHeight)
    {}

    Comment(const Comment&) = default;
    Comment& operator=(const Comment&) = default;
    Comment(Comment&&) = default;
    Comment& operator=(Comment&&) = default;

    // Orders comments by worksheet only.
    bool operator<(const Comment& other) const { return sheetIndex < other.sheetIndex; }

    // True when the text of some run holds a line feed.
    bool HasLineFeed() const
    {
        for (const auto& run : runs)
            if (run.second.find('\n') != std::string::npos)
                return true;
        return false;
    }

private:
    // Default columns are 48 points wide and rows 15 points high.
    static int32_t DefaultLeft(CellCoord cell)
    {
        const int64_t left = (int64_t{cell.col} + 1) * 48 + 12;
        return left > INT32_MAX ? INT32_MAX : static_cast<int32_t>(left);
    }
    static int32_t DefaultTop(CellCoord cell)
    {
        const int64_t top = (cell.row > 1 ? int64_t{cell.row} - 1 : 0) * 15 - 4;
        return top < 0 ? 0 : top > INT32_MAX ? INT32_MAX : static_cast<int32_t>(top);
    }
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_COMMENT_H
