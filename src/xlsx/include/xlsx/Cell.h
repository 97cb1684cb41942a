#ifndef HORATAB_XLSX_CELL_H
#define HORATAB_XLSX_CELL_H

// Cell positions, column widths and the cell values a worksheet accepts.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>

namespace SimpleXlsx {

// Limits of a sheet in the spreadsheet format.
constexpr uint32_t maxRows = 1048576;        // rows 1 .. 1048576
constexpr uint32_t maxColumns = 16384;       // columns "A" .. "XFD"
constexpr size_t maxCellTextLength = 32767;  // in UTF-16 code units

// A cell position: row counted from 1 as in A1 references (0 is no row),
// column counted from 0 (0 is column "A").
struct CellCoord
{
    uint32_t row;
    uint32_t col;

    CellCoord() : row(1), col(0) {}
    CellCoord(uint32_t r, uint32_t c) : row(r), col(c) {}

    // True when the position lies on a sheet (row 1..maxRows, column < maxColumns).
    bool IsInSheet() const { return row >= 1 && row <= maxRows && col < maxColumns; }
};

// One width rule for the columns colFrom .. colTo (counted from 0, inclusive),
// in the spreadsheet's character units.
struct ColumnWidth
{
    uint32_t colFrom;
    uint32_t colTo;
    float width;

    ColumnWidth() : colFrom(0), colTo(0), width(0.0f) {}
    ColumnWidth(uint32_t from, uint32_t to, float w) : colFrom(from), colTo(to), width(w) {}
};

// Cell values: the value first, the style index (from StyleList::Add; 0 is
// the default style) second.

// A text cell. A text beginning with "=" is a formula (written without the
// "="), unless asText is set: then the value is always written as text,
// whatever its first character. An empty text writes no cell.
struct CellDataStr
{
    std::string value;
    int32_t style_id;
    bool asText;

    CellDataStr() : style_id(0), asText(false) {}
    CellDataStr(std::string v, int32_t style = 0, bool text = false)
        : value(std::move(v)), style_id(style), asText(text)
    {}
    CellDataStr(const char* v, int32_t style = 0, bool text = false)
        : value(v ? v : ""), style_id(style), asText(text)
    {}
};

struct CellDataInt
{
    int32_t value;
    int32_t style_id;
    CellDataInt(int32_t v = 0, int32_t style = 0) : value(v), style_id(style) {}
};

struct CellDataUInt
{
    uint32_t value;
    int32_t style_id;
    CellDataUInt(uint32_t v = 0, int32_t style = 0) : value(v), style_id(style) {}
};

struct CellDataDbl
{
    double value;
    int32_t style_id;
    CellDataDbl(double v = 0.0, int32_t style = 0) : value(v), style_id(style) {}
};

struct CellDataFlt
{
    float value;
    int32_t style_id;
    CellDataFlt(float v = 0.0f, int32_t style = 0) : value(v), style_id(style) {}
};

// A calendar time (seconds since the epoch), written as the spreadsheet's
// date serial number of its local wall-clock time.
struct CellDataTime
{
    time_t value;
    int32_t style_id;
    CellDataTime(time_t v = 0, int32_t style = 0) : value(v), style_id(style) {}
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_CELL_H
