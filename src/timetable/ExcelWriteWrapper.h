#ifndef HORATAB_TIMETABLE_EXCELWRITEWRAPPER_H
#define HORATAB_TIMETABLE_EXCELWRITEWRAPPER_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "timetable/BaseMatrix.h"
#include "xlsx/Cell.h"
#include "xlsx/Status.h"

namespace SimpleXlsx {
class CWorkbook;
class CWorksheet;
}

// The small writing interface of the timetable export: one workbook, rows of
// text cells going to the sheet added last, one optional cell style, and a
// single Save. Every operation reports success as a boolean; addStyle
// returns a style index.
//
// Every text is written as text: the cells hold names from the input file,
// and a name that begins with "=" must not turn into a formula.
class ExcelWriteWrapper
{
public:
    ExcelWriteWrapper();
    // Deletes the workbook, its sheets and its temporary folder; a workbook
    // that was never saved leaves no file.
    ~ExcelWriteWrapper();

    ExcelWriteWrapper(const ExcelWriteWrapper&) = delete;
    ExcelWriteWrapper& operator=(const ExcelWriteWrapper&) = delete;

    // Appends a sheet and makes it the one rows go to. The workbook turns
    // the title into a valid, unique sheet name.
    bool addWorksheet(std::string title);

    // The row operations fail without a worksheet, and when the sheet
    // refuses the row or the cell (past its last row or column).
    bool beginRow();
    bool addCell(const std::string& text);
    bool endRow();

    // `count` empty rows; a count of 0 or less writes nothing.
    bool insertRows(int32_t count);
    // Matrix row r becomes the next sheet row, matrix column c its column
    // c + 1 (A, B, ...); empty elements leave their cells blank.
    bool saveTimeTable(const BaseMatrix<std::string>& matrix);

    // Registers the font `fontName` at `size` points, centred both ways, and
    // returns its style index (equal styles share one); -1 without a workbook.
    int32_t addStyle(std::string fontName, int32_t size);
    // From now on every cell carries style `index`; a negative index
    // changes nothing.
    void applyStyle(int32_t index);

    bool Save(std::string path);

    // Why the last operation that failed failed: no worksheet, a row or a
    // column beyond the sheet, the sheet's part file, or the workbook's
    // Save. Each successful operation leaves it as it was.
    const SimpleXlsx::Status& lastStatus() const { return status; }
    // Records why the export stops (nothing to export, a summary too large
    // for a sheet) and returns false.
    bool fail(SimpleXlsx::Status reason);
    // Once `*cancelled` is set (from any thread), Save stops and fails
    // before the file is replaced. Not owned; null for none.
    void setCancelFlag(const std::atomic<bool>* cancelled);

    // The workbook and the sheet rows go to, for layouts that style cells
    // one by one; null when there is none.
    SimpleXlsx::CWorkbook* workbookInUse() { return workbook.get(); }
    SimpleXlsx::CWorksheet* worksheetInUse() { return workbook ? worksheet : nullptr; }

private:
    bool sheetRefused();
    bool haveWorksheet();

    std::unique_ptr<SimpleXlsx::CWorkbook> workbook;
    SimpleXlsx::CWorksheet* worksheet;  // owned by the workbook; the sheet added last
    SimpleXlsx::CellDataStr cellStr;
    SimpleXlsx::CellDataInt cellInt;
    SimpleXlsx::CellDataUInt cellUInt;
    SimpleXlsx::CellDataDbl cellDbl;
    SimpleXlsx::CellDataFlt cellFlt;
    int32_t styleIndex;
    SimpleXlsx::Status status;
};

#endif  // HORATAB_TIMETABLE_EXCELWRITEWRAPPER_H
