#ifndef HORATAB_XLSX_WORKSHEET_H
#define HORATAB_XLSX_WORKSHEET_H

// One worksheet of a workbook: streams its part "xl/worksheets/sheet<N>.xml"
// into the package's temporary folder as rows and cells arrive.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xlsx/Cell.h"
#include "xlsx/Comment.h"
#include "xlsx/PageSetup.h"
#include "xlsx/Status.h"

namespace xmlw {
class XmlStream;
}

namespace SimpleXlsx {

class PartFile;
class SharedStringTable;

// A worksheet is made by its workbook (CWorkbook::AddSheet), which also
// names it, wires it to the workbook's shared tables and saves it.
class CWorksheet
{
public:
    // Enough for the reference of any CellCoord, terminator included
    // (7 letters, 10 digits, NUL).
    static constexpr size_t cellRefBufferSize = 18;

    virtual ~CWorksheet();

    CWorksheet(const CWorksheet&) = delete;
    CWorksheet& operator=(const CWorksheet&) = delete;

    // True while the part file is open and every write so far succeeded.
    bool IsOk() const;
    // Why rows or cells are refused: the part file's failure, or a row or
    // column beyond the sheet; STATUS_OK when neither happened.
    Status GetStatus() const;

    // The sheet's name, unique in its workbook, at most 31 bytes.
    std::string GetTitle() const { return title; }

    uint32_t GetIndex() const { return index; }
    bool IsThereFormula() const { return withFormula; }
    bool IsThereComment() const { return withComment; }
    void GetCalcChain(std::vector<std::string>& cells) const { cells = calcChain; }

    // Rows. BeginRow closes a row still open and starts the next one
    // (height 0: default height); false when the row lies beyond the sheet.
    bool BeginRow(uint32_t height = 0);
    void EndRow();

    // Cells go to the open row, one column further each time (also when a
    // cell is not written). A cell is refused (false) when no row is open,
    // when it lies beyond column "XFD", or when the worksheet cannot write.
    // A text longer than maxCellTextLength is cut on a character boundary.
    bool AddCell(const CellDataStr& data);
    bool AddCell(const CellDataInt& data);
    bool AddCell(const CellDataUInt& data);
    bool AddCell(const CellDataDbl& data);
    bool AddCell(const CellDataFlt& data);
    bool AddCell(const CellDataTime& data);
    // Skips one column.
    void AddCell() { ++currentColumn; }

    // A cell without a value that shows style `styleId` (its borders, its
    // fill); with style 0 it only takes its column, as AddCell() does.
    bool AddBlankCell(int32_t styleId);

    // A text cell that is always text, even when it begins with "=".
    bool AddTextCell(std::string_view text, int32_t styleId = 0);

    bool AddCells(const std::vector<CellDataStr>& data);
    bool AddCells(const std::vector<CellDataInt>& data);
    bool AddCells(const std::vector<CellDataUInt>& data);
    bool AddCells(const std::vector<CellDataDbl>& data);
    bool AddCells(const std::vector<CellDataFlt>& data);
    bool AddCells(const std::vector<CellDataTime>& data);

    // A whole row of cells starting at column `offset` (counted from 0).
    // A row still open from BeginRow is closed first.
    bool AddRow(const std::vector<CellDataStr>& data, uint32_t offset = 0, uint32_t height = 0);
    bool AddRow(const std::vector<CellDataInt>& data, uint32_t offset = 0, uint32_t height = 0);
    bool AddRow(const std::vector<CellDataUInt>& data, uint32_t offset = 0, uint32_t height = 0);
    bool AddRow(const std::vector<CellDataDbl>& data, uint32_t offset = 0, uint32_t height = 0);
    bool AddRow(const std::vector<CellDataFlt>& data, uint32_t offset = 0, uint32_t height = 0);
    bool AddRow(const std::vector<CellDataTime>& data, uint32_t offset = 0, uint32_t height = 0);

    // Comments. A comment goes to the workbook's comment list with this
    // worksheet's index (whatever its sheetIndex said), and Save links the
    // comment parts. Refused (false) when the worksheet belongs to no
    // workbook or is saved already, when the cell lies outside the sheet,
    // when the comment has no text, or when the cell has a comment already.
    bool AddComment(Comment comment);
    // A comment in the given runs, or in one run of the default font, with
    // the default note box (see Comment).
    bool AddComment(CellCoord cell, std::vector<std::pair<Font, std::string>> runs);
    bool AddComment(CellCoord cell, const std::string& text);

    // (current row, current column), without the AddRow column offset.
    void GetCurrentCellCoord(CellCoord& coord) const;

    // Records the merged range from:to; refused (false) when either
    // position lies outside the sheet.
    bool MergeCells(CellCoord from, CellCoord to);

    // Layout, any time before the workbook is saved. Column widths replace
    // those given to AddSheet; a pane of 0 columns and 0 rows unfreezes.
    void SetColumnWidths(const std::vector<ColumnWidth>& colWidths) { columnWidths = colWidths; }
    void FreezePanes(uint32_t width, uint32_t height)
    {
        paneWidth = width;
        paneHeight = height;
    }

    // Printing, any time before the workbook is saved.
    void SetPageOrientation(EPageOrientation orientation) { pageOrientation = orientation; }
    void SetPaperSize(EPaperSize size) { paperSize = size; }
    // Scales the sheet to `wide` pages across and `tall` down; 0 leaves
    // that direction to as many pages as it needs.
    void SetFitToPages(uint32_t wide, uint32_t tall);
    // Refused (false) when a margin is negative or not a number.
    bool SetPageMargins(const PageMargins& margins);
    void SetCenterOnPage(bool horizontally, bool vertically);
    void SetPrintGridlines(bool print) { printGridlines = print; }
    // Header and footer in the spreadsheet's codes (see PageSetup.h);
    // refused (false) beyond maxHeaderFooterLength characters.
    bool SetHeader(const std::string& text);
    bool SetFooter(const std::string& text);
    // Rows firstRow..lastRow (from 1) and columns firstCol..lastCol (from
    // 0) repeated on every printed page; refused (false) when the range
    // runs backwards or leaves the sheet.
    bool SetPrintTitleRows(uint32_t firstRow, uint32_t lastRow);
    bool SetPrintTitleColumns(uint32_t firstCol, uint32_t lastCol);
    // The print titles as the workbook's defined name holds them
    // ("'Sheet'!$A:$A,'Sheet'!$1:$2"), the name escaped as in the sheet
    // list; empty when there are none.
    std::string GetPrintTitles() const;

    // The A1 reference of `coord` ("A1", "XFD1048576"), NUL-terminated.
    // Returns false (and an empty text) when the buffer is too small.
    static bool GetCellCoord(CellCoord coord, char* out, size_t outSize);
    template <size_t N>
    static bool GetCellCoord(CellCoord coord, char (&out)[N])
    {
        return GetCellCoord(coord, out, N);
    }
    static std::string GetCellCoord(CellCoord coord);

private:
    // The workbook's side (see PackageWorksheet).
    friend class PackageWorksheet;

    // Made on the package folder `tempDir`. The default one is detached:
    // no part file, every write refused.
    CWorksheet();
    CWorksheet(uint32_t sheetIndex, const std::string& tempDir);
    CWorksheet(uint32_t sheetIndex, uint32_t frozenWidth, uint32_t frozenHeight,
               const std::string& tempDir);
    CWorksheet(uint32_t sheetIndex, const std::vector<ColumnWidth>& colWidths,
               const std::string& tempDir);
    CWorksheet(uint32_t sheetIndex, uint32_t frozenWidth, uint32_t frozenHeight,
               const std::vector<ColumnWidth>& colWidths, const std::string& tempDir);

    // Closes the part file until the next write reopens it, so that a
    // workbook of thousands of sheets does not hold thousands of open files
    // and buffers. The workbook suspends a sheet when it adds the next one.
    void Suspend();

    // Title: cut to at most 31 bytes on a UTF-8 character boundary.
    void SetTitle(const std::string& text);
    void SetSharedStr(SharedStringTable* strings) { sharedStrings = strings; }
    void SetComments(std::vector<Comment>* list) { comments = list; }

    // Writes the tail and closes the part file; false when the part could
    // not be created or fully written. The part file holds the part from
    // its rows on; what goes before them is HeadOfPart.
    bool Save();
    // The beginning of the part, up to its rows: the declaration, the
    // worksheet's start tag, the used range, the views and the column
    // widths. Empty until Save succeeded.
    const std::string& HeadOfPart() const { return partHead; }
    // What Save would write before and after the rows written so far if
    // the sheet ended now; false when that cannot be foreseen.
    bool PartFrameIfEndedNow(std::string& head, std::string& end) const;
    // The rows written so far while the part is in memory; empty otherwise.
    std::string_view RowsInMemory() const;
    // Gives up the rows in memory, a copy of which the workbook keeps; the
    // next write first gets them back through `reclaim`. False when the
    // part is not in memory.
    bool HandOverRows(std::function<bool(std::string& rows)> reclaim);
    bool RowsHandedOver() const;
    // Whether the rows are handed over and PartFrameIfEndedNow would still
    // give the frame it gave then: nothing the frame is made from changed.
    bool FrameAsHandedOver() const;
    // Ends a sheet whose rows were handed over and are packed from there
    // (Save is not called).
    void CloseHandedOver();

    bool ResumeIfSuspended();

    void Init(uint32_t sheetIndex, uint32_t frozenWidth, uint32_t frozenHeight,
              const std::vector<ColumnWidth>& colWidths);
    std::string WriteHead() const;
    // What follows the rows, from the end of sheetData on.
    void WriteTail(xmlw::XmlStream& xml) const;
    void AddPrintOptions(xmlw::XmlStream& xml) const;
    void AddPageSetup(xmlw::XmlStream& xml) const;
    void AddHeaderFooter(xmlw::XmlStream& xml) const;
    static void AddFrozenPane(xmlw::XmlStream& xml, uint32_t width, uint32_t height);
    static void AddColumnWidths(xmlw::XmlStream& xml, const std::vector<ColumnWidth>& colWidths);
    // The range from the first to the last cell written ("A1:F31"; "A1"
    // for a sheet without cells).
    std::string UsedRangeRef() const;
    void NoteUsedCell(CellCoord coord);

    bool OpenRow(uint32_t height, const char* spans, size_t spansLength);
    void CloseRow();
    bool CanWriteCellHere(CellCoord& coord);
    void WriteRaw(const char* text, size_t length);
    template <typename Number>
    bool AddCellRoutine(Number value, int32_t styleId);
    bool AddStringCell(std::string_view text, int32_t styleId, bool asText);
    uint64_t SharedStringIndex(std::string_view text);
    template <typename Cell>
    bool AddCellsOf(const std::vector<Cell>& data);
    template <typename Cell>
    bool AddRowOf(const std::vector<Cell>& data, uint32_t offset, uint32_t height);
    size_t FormatCellStart(char* out, CellCoord coord, int32_t styleId, const char* typeAttr) const;
    size_t FormatNumber(char* out, double value) const;
    void ReleaseStreams();

    std::unique_ptr<PartFile> sheetFile;
    std::unique_ptr<xmlw::XmlStream> sheetStream;
    std::vector<std::string> calcChain;
    SharedStringTable* sharedStrings = nullptr;
    std::vector<Comment>* comments = nullptr;
    std::vector<std::string> mergedCells;
    std::set<std::pair<uint32_t, uint32_t>> commentedCells;  // (row, column)
    uint32_t index = 1;
    std::string tempPath;
    std::string title = "Sheet 1";
    bool withFormula = false;
    bool withComment = false;
    uint32_t currentRow = 0;
    bool rowOpen = false;
    uint32_t currentColumn = 0;
    uint32_t offsetColumn = 0;
    uint32_t pageOrientation = 0;
    uint32_t paneWidth = 0;   // frozen columns
    uint32_t paneHeight = 0;  // frozen rows
    std::vector<ColumnWidth> columnWidths;
    EPaperSize paperSize = PAPER_A4;
    bool fitToPage = false;
    uint32_t fitWide = 1;
    uint32_t fitTall = 1;
    PageMargins margins;
    bool centerHorizontally = false;
    bool centerVertically = false;
    bool printGridlines = false;
    std::string header;
    std::string footer;
    uint32_t titleFirstRow = 0;  // 0: no rows repeated
    uint32_t titleLastRow = 0;
    bool titleColumns = false;
    uint32_t titleFirstColumn = 0;
    uint32_t titleLastColumn = 0;
    struct UsedRange
    {
        uint32_t firstRow = 0;  // 0: no cell written yet
        uint32_t lastRow = 0;
        uint32_t firstColumn = 0;
        uint32_t lastColumn = 0;
    } usedRange;
    std::string partHead;  // made by Save
    // Everything the frame of the part is made from, as it was when the
    // rows were handed over.
    struct FrameInputs;
    std::unique_ptr<FrameInputs> handedOverFrame;
    FrameInputs CurrentFrameInputs() const;

    bool sheetDataStarted = false;  // "<sheetData>" start tag closed
    bool rowStartPending = false;   // "<row ..." written, ">" not yet
    int precision = 6;              // significant digits of numbers
    char rowDigits[12] = {};        // decimal text of the current row
    size_t rowDigitsLength = 0;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_WORKSHEET_H
