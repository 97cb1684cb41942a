#include "xlsx/Worksheet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <tuple>
#include <type_traits>

#include "xlsx/internal/NumberText.h"
#include "xlsx/internal/PackageManifest.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/SharedStringTable.h"
#include "xlsx/internal/SheetName.h"
#include "xlsx/internal/Utf8.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

namespace {

constexpr char columnLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int timePrecision = 15;

// Column letters of `col` ("A" for 0, "AA" for 26); at most 7 letters.
size_t WriteColumnLetters(char* out, uint32_t col)
{
    char reversed[8];
    size_t count = 0;
    reversed[count++] = columnLetters[col % 26];
    for (uint32_t n = col / 26; n != 0; n /= 26) {
        --n;
        reversed[count++] = columnLetters[n % 26];
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = reversed[count - 1 - i];
    return count;
}

template <typename Int>
size_t WriteInteger(char* out, Int value)
{
    return static_cast<size_t>(std::to_chars(out, out + 24, value).ptr - out);
}

size_t WriteLiteral(char* out, std::string_view text)
{
    std::memcpy(out, text.data(), text.size());
    return text.size();
}

// Days from 1970-01-01 to the first of January of `year` (proleptic
// Gregorian calendar), valid for any year.
int64_t DaysToNewYear(int64_t year)
{
    const int64_t y = year - 1;  // January and February count with the year before
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = 306;  // 1 January, counted from 1 March
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The spreadsheet's date serial number (1900 date system) of the local
// wall-clock time of `time`; false when the platform cannot break it down.
bool TimeToSerial(time_t time, double& serial)
{
    struct tm local;
    if (localtime_r(&time, &local) == nullptr)
        return false;
    const int64_t days = DaysToNewYear(int64_t{local.tm_year} + 1900) + local.tm_yday;
    const int64_t seconds = days * 86400 + local.tm_sec + 60 * local.tm_min + 3600 * local.tm_hour;
    serial = static_cast<double>(seconds + 2208988800LL) / 86400.0 + 2.0;
    // The 1900 date system counts a 29 February 1900 that never was: days
    // before 1 March 1900 (serial 61) are one lower.
    if (serial < 61.0)
        serial -= 1.0;
    return true;
}

}  // namespace

CWorksheet::CWorksheet() = default;

CWorksheet::CWorksheet(uint32_t sheetIndex, const std::string& tempDir) : tempPath(tempDir)
{
    Init(sheetIndex, 0, 0, {});
}

CWorksheet::CWorksheet(uint32_t sheetIndex, uint32_t frozenWidth, uint32_t frozenHeight,
                       const std::string& tempDir)
    : tempPath(tempDir)
{
    Init(sheetIndex, frozenWidth, frozenHeight, {});
}

CWorksheet::CWorksheet(uint32_t sheetIndex, const std::vector<ColumnWidth>& colWidths,
                       const std::string& tempDir)
    : tempPath(tempDir)
{
    Init(sheetIndex, 0, 0, colWidths);
}

CWorksheet::CWorksheet(uint32_t sheetIndex, uint32_t frozenWidth, uint32_t frozenHeight,
                       const std::vector<ColumnWidth>& colWidths, const std::string& tempDir)
    : tempPath(tempDir)
{
    Init(sheetIndex, frozenWidth, frozenHeight, colWidths);
}

CWorksheet::~CWorksheet()
{
    ReleaseStreams();
}

void CWorksheet::ReleaseStreams()
{
    sheetStream.reset();  // closes every element still open
    sheetFile.reset();
}

bool CWorksheet::IsOk() const
{
    return sheetStream && sheetFile->Stream().good();
}

Status CWorksheet::GetStatus() const
{
    if (!sheetFile)
        return Status(STATUS_INVALID_USE, "the worksheet belongs to no workbook");
    if (!sheetFile->Failure().Ok())
        return sheetFile->Failure();
    if (currentRow > maxRows)
        return Status(STATUS_TOO_LARGE,
                      "too large for a sheet: more than " + std::to_string(maxRows) +
                          " rows on the sheet",
                      title);
    if (uint64_t{offsetColumn} + currentColumn > maxColumns)
        return Status(STATUS_TOO_LARGE,
                      "too large for a sheet: more than " + std::to_string(maxColumns) +
                          " columns on the sheet",
                      title);
    return Status();
}

void CWorksheet::Suspend()
{
    if (sheetFile)
        sheetFile->Suspend();
}

bool CWorksheet::ResumeIfSuspended()
{
    return !sheetFile->IsSuspended() || sheetFile->Resume();
}

void CWorksheet::Init(uint32_t sheetIndex, uint32_t frozenWidth, uint32_t frozenHeight,
                      const std::vector<ColumnWidth>& colWidths)
{
    ReleaseStreams();
    withFormula = withComment = rowOpen = false;
    currentRow = currentColumn = offsetColumn = pageOrientation = 0;
    sheetDataStarted = rowStartPending = false;
    precision = 6;
    index = sheetIndex;
    title = "Sheet 1";
    calcChain.clear();
    mergedCells.clear();
    commentedCells.clear();
    paneWidth = frozenWidth;
    paneHeight = frozenHeight;
    columnWidths = colWidths;
    usedRange = UsedRange();
    partHead.clear();

    // Without a package folder there is nowhere to write: never at the root.
    if (tempPath.empty())
        return;
    // Most sheets are small: they stay in memory until packed. A part file
    // that cannot be opened is kept for its reason (GetStatus).
    sheetFile.reset(new PartFile(tempPath, PackageManifest::WorksheetPartName(sheetIndex),
                                 PartFile::defaultBufferSize, PartFile::Keeping::MemoryWhileSmall));
    if (!sheetFile->Stream())
        return;
    sheetStream.reset(new xmlw::XmlStream(sheetFile->Stream()));
    // The part file holds the rows and what follows them; what goes before
    // (the used range above all) is known only at Save, which keeps it as
    // the part's head for the archive (HeadOfPart).
    *sheetStream << xmlw::tag("sheetData");
}

std::string CWorksheet::UsedRangeRef() const
{
    if (usedRange.firstRow == 0)
        return "A1";
    const std::string first = GetCellCoord(CellCoord(usedRange.firstRow, usedRange.firstColumn));
    const std::string last = GetCellCoord(CellCoord(usedRange.lastRow, usedRange.lastColumn));
    return first == last ? first : first + ':' + last;
}

void CWorksheet::NoteUsedCell(CellCoord coord)
{
    if (usedRange.firstRow == 0) {
        usedRange.firstRow = coord.row;
        usedRange.firstColumn = usedRange.lastColumn = coord.col;
    }
    usedRange.lastRow = coord.row;  // rows only go down
    usedRange.firstColumn = std::min(usedRange.firstColumn, coord.col);
    usedRange.lastColumn = std::max(usedRange.lastColumn, coord.col);
}

// Everything before the rows, in the order the schema gives.
std::string CWorksheet::WriteHead() const
{
    std::ostringstream head;
    {
        xmlw::XmlStream xml(head);
        xml << xmlw::prolog()
            << xmlw::raw(std::string("<worksheet xmlns=\"") + ns_book + "\" xmlns:r=\"" +
                         ns_book_r + "\" xmlns:mc=\"" + ns_mc +
                         "\" mc:Ignorable=\"x14ac\" xmlns:x14ac=\"" + ns_x14ac + "\">");
        if (fitToPage)
            xml << xmlw::tag("sheetPr") << xmlw::tag("pageSetUpPr") << xmlw::attr("fitToPage")
                << "1" << xmlw::endtag() << xmlw::endtag();
        xml << xmlw::tag("dimension") << xmlw::attr("ref") << UsedRangeRef() << xmlw::endtag();
        xml << xmlw::tag("sheetViews") << xmlw::tag("sheetView") << xmlw::attr("tabSelected") << "0"
            << xmlw::attr("workbookViewId") << "0";
        if (paneWidth != 0 || paneHeight != 0)
            AddFrozenPane(xml, paneWidth, paneHeight);
        xml << xmlw::endtag() << xmlw::endtag();
        xml << xmlw::tag("sheetFormatPr") << xmlw::attr("defaultRowHeight") << "15"
            << xmlw::attr("x14ac:dyDescent") << "0.25" << xmlw::endtag();
        AddColumnWidths(xml, columnWidths);
    }
    return head.str();
}

void CWorksheet::AddFrozenPane(xmlw::XmlStream& xml, uint32_t width, uint32_t height)
{
    const CellCoord topLeft(height + 1, width);
    if (height >= maxRows || !topLeft.IsInSheet())
        return;  // a pane beyond the sheet
    const std::string topLeftRef = GetCellCoord(topLeft);
    const char* activePane = (width != 0 && height != 0) ? "bottomRight"
                             : (height != 0)             ? "bottomLeft"
                                                         : "topRight";
    xml << xmlw::tag("pane");
    if (width != 0)
        xml << xmlw::attr("xSplit") << width;
    if (height != 0)
        xml << xmlw::attr("ySplit") << height;
    xml << xmlw::attr("topLeftCell") << topLeftRef << xmlw::attr("activePane") << activePane
        << xmlw::attr("state") << "frozen" << xmlw::endtag();

    auto selection = [&xml](const char* pane, const std::string& ref) {
        xml << xmlw::tag("selection") << xmlw::attr("pane") << pane << xmlw::attr("activeCell")
            << ref << xmlw::attr("sqref") << ref << xmlw::endtag();
    };
    if (width != 0 && height != 0) {
        selection("topRight", GetCellCoord(CellCoord(height, width)));
        selection("bottomLeft", GetCellCoord(CellCoord(height + 1, width - 1)));
        selection("bottomRight", topLeftRef);
    } else {
        selection(activePane, topLeftRef);
    }
}

// Rules that reach beyond the last column are cut to it; rules that lie
// wholly beyond it, or run backwards, are left out.
void CWorksheet::AddColumnWidths(xmlw::XmlStream& xml, const std::vector<ColumnWidth>& colWidths)
{
    std::vector<ColumnWidth> rules;
    for (const ColumnWidth& rule : colWidths) {
        if (rule.colFrom > rule.colTo || rule.colFrom >= maxColumns)
            continue;
        rules.emplace_back(rule.colFrom, std::min(rule.colTo, maxColumns - 1), rule.width);
    }
    if (rules.empty())
        return;
    xml << xmlw::tag("cols");
    for (const ColumnWidth& rule : rules)
        xml << xmlw::tag("col") << xmlw::attr("min") << rule.colFrom + 1 << xmlw::attr("max")
            << rule.colTo + 1 << xmlw::attr("width") << rule.width << xmlw::endtag();
    xml << xmlw::endtag();
}

void CWorksheet::SetTitle(const std::string& text)
{
    title = text.substr(0, Utf8PrefixBytes(text, maxSheetNameBytes));
}

void CWorksheet::WriteRaw(const char* text, size_t length)
{
    *sheetStream << xmlw::raw(std::string_view(text, length));
}

bool CWorksheet::OpenRow(uint32_t height, const char* spans, size_t spansLength)
{
    if (!sheetStream || !ResumeIfSuspended())
        return false;
    if (currentRow < UINT32_MAX)
        ++currentRow;
    currentColumn = 0;
    if (currentRow > maxRows)
        return false;

    if (!sheetDataStarted) {
        *sheetStream << xmlw::chardata();  // ends the "<sheetData" start tag
        sheetDataStarted = true;
    }
    rowDigitsLength = WriteInteger(rowDigits, currentRow);

    char buffer[128];
    size_t n = WriteLiteral(buffer, "<row r=\"");
    n += WriteLiteral(buffer + n, std::string_view(rowDigits, rowDigitsLength));
    n += WriteLiteral(buffer + n, "\"");
    if (spans != nullptr) {
        n += WriteLiteral(buffer + n, " spans=\"");
        n += WriteLiteral(buffer + n, std::string_view(spans, spansLength));
        n += WriteLiteral(buffer + n, "\"");
    }
    n += WriteLiteral(buffer + n, " x14ac:dyDescent=\"0.25\"");
    if (height != 0) {
        n += WriteLiteral(buffer + n, " ht=\"");
        n += WriteInteger(buffer + n, height);
        n += WriteLiteral(buffer + n, "\" customHeight=\"1\"");
    }
    WriteRaw(buffer, n);
    rowStartPending = true;  // ">" or "/>" follows with the first cell or the end
    rowOpen = true;
    return true;
}

void CWorksheet::CloseRow()
{
    if (!rowOpen || !ResumeIfSuspended())
        return;
    if (rowStartPending)
        WriteRaw("/>", 2);
    else
        WriteRaw("</row>", 6);
    rowStartPending = false;
    rowOpen = false;
}

bool CWorksheet::BeginRow(uint32_t height)
{
    CloseRow();
    return OpenRow(height, nullptr, 0);
}

void CWorksheet::EndRow()
{
    CloseRow();
}

bool CWorksheet::CanWriteCellHere(CellCoord& coord)
{
    if (!sheetStream || !rowOpen || !ResumeIfSuspended())
        return false;
    const uint64_t column = uint64_t{offsetColumn} + currentColumn;
    if (column >= maxColumns)
        return false;
    coord = CellCoord(currentRow, static_cast<uint32_t>(column));
    return true;
}

// Writes `<c r="REF"[ s="N"][ t="T"]>`, preceded by the ">" that ends a
// row's start tag when this is the row's first cell.
size_t CWorksheet::FormatCellStart(char* out, CellCoord coord, int32_t styleId,
                                   const char* typeAttr) const
{
    size_t n = 0;
    if (rowStartPending)
        out[n++] = '>';
    n += WriteLiteral(out + n, "<c r=\"");
    n += WriteColumnLetters(out + n, coord.col);
    n += WriteLiteral(out + n, std::string_view(rowDigits, rowDigitsLength));
    out[n++] = '"';
    if (styleId > 0) {
        n += WriteLiteral(out + n, " s=\"");
        n += WriteInteger(out + n, styleId);
        out[n++] = '"';
    }
    if (typeAttr != nullptr) {
        n += WriteLiteral(out + n, " t=\"");
        n += WriteLiteral(out + n, typeAttr);
        out[n++] = '"';
    }
    out[n++] = '>';
    return n;
}

size_t CWorksheet::FormatNumber(char* out, double value) const
{
    return FormatGeneral(out, value, precision);
}

template <typename Number>
bool CWorksheet::AddCellRoutine(Number value, int32_t styleId)
{
    CellCoord coord;
    const bool writable = CanWriteCellHere(coord);
    ++currentColumn;
    if (!writable)
        return false;

    char buffer[192];
    size_t n;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value)) {
            // A spreadsheet holds no infinity or NaN: an error value instead.
            NoteUsedCell(coord);
            n = FormatCellStart(buffer, coord, styleId, "e");
            n += WriteLiteral(buffer + n, "<v>#NUM!</v></c>");
            rowStartPending = false;
            WriteRaw(buffer, n);
            return true;
        }
    }
    NoteUsedCell(coord);
    n = FormatCellStart(buffer, coord, styleId, nullptr);
    rowStartPending = false;
    n += WriteLiteral(buffer + n, "<v>");
    if constexpr (std::is_floating_point_v<Number>)
        n += FormatNumber(buffer + n, static_cast<double>(value));
    else
        n += WriteInteger(buffer + n, value);
    n += WriteLiteral(buffer + n, "</v></c>");
    WriteRaw(buffer, n);
    return true;
}

bool CWorksheet::AddCell(const CellDataInt& data)
{
    return AddCellRoutine(data.value, data.style_id);
}
bool CWorksheet::AddCell(const CellDataUInt& data)
{
    return AddCellRoutine(data.value, data.style_id);
}
bool CWorksheet::AddCell(const CellDataDbl& data)
{
    return AddCellRoutine(data.value, data.style_id);
}
bool CWorksheet::AddCell(const CellDataFlt& data)
{
    return AddCellRoutine(data.value, data.style_id);
}

bool CWorksheet::AddCell(const CellDataStr& data)
{
    return AddStringCell(data.value, data.style_id, data.asText);
}

bool CWorksheet::AddBlankCell(int32_t styleId)
{
    CellCoord coord;
    const bool writable = CanWriteCellHere(coord);
    ++currentColumn;
    if (!writable)
        return false;
    if (styleId <= 0)
        return true;
    NoteUsedCell(coord);
    char buffer[192];
    size_t n = FormatCellStart(buffer, coord, styleId, nullptr) - 1;  // without its ">"
    rowStartPending = false;
    n += WriteLiteral(buffer + n, "/>");
    WriteRaw(buffer, n);
    return true;
}

bool CWorksheet::AddTextCell(std::string_view text, int32_t styleId)
{
    return AddStringCell(text, styleId, true);
}

bool CWorksheet::AddStringCell(std::string_view text, int32_t styleId, bool asText)
{
    CellCoord coord;
    const bool writable = CanWriteCellHere(coord);
    ++currentColumn;
    if (!writable)
        return false;
    if (text.empty())
        return true;
    if (text.size() > maxCellTextLength)
        text = text.substr(0, Utf8PrefixUtf16Units(text, maxCellTextLength));
    NoteUsedCell(coord);

    char buffer[192];
    const bool formula = !asText && text.size() > 1 && text.front() == '=';
    if (formula) {
        if (rowStartPending)
            WriteRaw(">", 1);
        rowStartPending = false;
        char ref[cellRefBufferSize];
        GetCellCoord(coord, ref);
        xmlw::XmlStream& xml = *sheetStream;
        xml << xmlw::tag("c") << xmlw::attr("r") << ref;
        if (styleId > 0)
            xml << xmlw::attr("s") << styleId;
        xml << xmlw::tag("f") << xmlw::chardata() << text.substr(1) << xmlw::endtag()
            << xmlw::endtag();
        calcChain.emplace_back(ref);
        withFormula = true;
        return true;
    }
    if (sharedStrings == nullptr) {
        size_t n = FormatCellStart(buffer, coord, styleId, nullptr);
        rowStartPending = false;
        n += WriteLiteral(buffer + n, "<v>");
        WriteRaw(buffer, n);
        *sheetStream << text << xmlw::raw("</v></c>");
        return true;
    }

    const uint64_t stringIndex = SharedStringIndex(text);
    size_t n = FormatCellStart(buffer, coord, styleId, "s");
    rowStartPending = false;
    n += WriteLiteral(buffer + n, "<v>");
    n += WriteInteger(buffer + n, stringIndex);
    n += WriteLiteral(buffer + n, "</v></c>");
    WriteRaw(buffer, n);
    return true;
}

// The index of `text` in the workbook's table, adding it when it is new.
uint64_t CWorksheet::SharedStringIndex(std::string_view text)
{
    return sharedStrings->IndexOf(text);
}

bool CWorksheet::AddCell(const CellDataTime& data)
{
    CellCoord coord;
    const bool writable = CanWriteCellHere(coord);
    ++currentColumn;
    double serial = 0.0;
    if (!writable || !TimeToSerial(data.value, serial))
        return false;

    if (precision != timePrecision) {
        // From the first time cell on, every number of the sheet keeps 15 digits.
        precision = timePrecision;
        *sheetStream << std::setprecision(timePrecision);
    }
    NoteUsedCell(coord);
    char buffer[192];
    size_t n = FormatCellStart(buffer, coord, data.style_id, nullptr);
    rowStartPending = false;
    n += WriteLiteral(buffer + n, "<v>");
    n += FormatNumber(buffer + n, serial);
    n += WriteLiteral(buffer + n, "</v></c>");
    WriteRaw(buffer, n);
    return true;
}

template <typename Cell>
bool CWorksheet::AddCellsOf(const std::vector<Cell>& data)
{
    bool allWritten = true;
    for (const Cell& cell : data)
        allWritten = AddCell(cell) && allWritten;
    return allWritten;
}

bool CWorksheet::AddCells(const std::vector<CellDataStr>& data)
{
    return AddCellsOf(data);
}
bool CWorksheet::AddCells(const std::vector<CellDataInt>& data)
{
    return AddCellsOf(data);
}
bool CWorksheet::AddCells(const std::vector<CellDataUInt>& data)
{
    return AddCellsOf(data);
}
bool CWorksheet::AddCells(const std::vector<CellDataDbl>& data)
{
    return AddCellsOf(data);
}
bool CWorksheet::AddCells(const std::vector<CellDataFlt>& data)
{
    return AddCellsOf(data);
}
bool CWorksheet::AddCells(const std::vector<CellDataTime>& data)
{
    return AddCellsOf(data);
}

template <typename Cell>
bool CWorksheet::AddRowOf(const std::vector<Cell>& data, uint32_t offset, uint32_t height)
{
    CloseRow();
    const uint64_t first = uint64_t{offset} + 1;
    const uint64_t last = data.empty() ? first : uint64_t{offset} + data.size();
    char spans[48];
    size_t n = WriteInteger(spans, first);
    spans[n++] = ':';
    n += WriteInteger(spans + n, last);
    if (!OpenRow(height, spans, n))
        return false;

    offsetColumn = offset;
    const bool allWritten = AddCellsOf(data);
    CloseRow();
    offsetColumn = 0;
    return allWritten;
}

bool CWorksheet::AddRow(const std::vector<CellDataStr>& data, uint32_t offset, uint32_t height)
{
    return AddRowOf(data, offset, height);
}
bool CWorksheet::AddRow(const std::vector<CellDataInt>& data, uint32_t offset, uint32_t height)
{
    return AddRowOf(data, offset, height);
}
bool CWorksheet::AddRow(const std::vector<CellDataUInt>& data, uint32_t offset, uint32_t height)
{
    return AddRowOf(data, offset, height);
}
bool CWorksheet::AddRow(const std::vector<CellDataDbl>& data, uint32_t offset, uint32_t height)
{
    return AddRowOf(data, offset, height);
}
bool CWorksheet::AddRow(const std::vector<CellDataFlt>& data, uint32_t offset, uint32_t height)
{
    return AddRowOf(data, offset, height);
}
bool CWorksheet::AddRow(const std::vector<CellDataTime>& data, uint32_t offset, uint32_t height)
{
    return AddRowOf(data, offset, height);
}

void CWorksheet::GetCurrentCellCoord(CellCoord& coord) const
{
    coord = CellCoord(currentRow, currentColumn);
}

bool CWorksheet::MergeCells(CellCoord from, CellCoord to)
{
    if (!from.IsInSheet() || !to.IsInSheet())
        return false;
    mergedCells.push_back(GetCellCoord(from) + ':' + GetCellCoord(to));
    return true;
}

bool CWorksheet::AddComment(Comment comment)
{
    if (comments == nullptr || !sheetStream || !comment.cellRef.IsInSheet())
        return false;
    const bool hasText = std::any_of(comment.runs.begin(), comment.runs.end(),
                                     [](const auto& run) { return !run.second.empty(); });
    if (!hasText)
        return false;
    const auto cell = std::make_pair(comment.cellRef.row, comment.cellRef.col);
    if (commentedCells.count(cell) != 0)
        return false;  // one comment per cell
    // Room first, so that nothing changes when memory runs out.
    comments->reserve(comments->size() + 1);
    commentedCells.insert(cell);
    comment.sheetIndex = static_cast<int32_t>(index);
    comments->push_back(std::move(comment));
    withComment = true;
    return true;
}

bool CWorksheet::AddComment(CellCoord cell, std::vector<std::pair<Font, std::string>> runs)
{
    return AddComment(Comment(cell, std::move(runs)));
}

bool CWorksheet::AddComment(CellCoord cell, const std::string& text)
{
    return AddComment(Comment(cell, {{Font(), text}}));
}

bool CWorksheet::GetCellCoord(CellCoord coord, char* out, size_t outSize)
{
    char text[cellRefBufferSize];
    size_t n = WriteColumnLetters(text, coord.col);
    n += WriteInteger(text + n, coord.row);
    if (out == nullptr || outSize == 0)
        return false;
    if (n + 1 > outSize) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, text, n);
    out[n] = '\0';
    return true;
}

std::string CWorksheet::GetCellCoord(CellCoord coord)
{
    char text[cellRefBufferSize];
    GetCellCoord(coord, text);
    return text;
}

bool CWorksheet::Save()
{
    if (!sheetStream || !ResumeIfSuspended())
        return false;
    CloseRow();
    xmlw::XmlStream& xml = *sheetStream;
    xml << xmlw::endtag();  // sheetData; short form when no row was written
    WriteTail(xml);
    sheetStream.reset();
    const bool ok = sheetFile->Close();
    sheetFile.reset();
    partHead = WriteHead();
    return ok;
}

bool CWorksheet::PartFrameIfEndedNow(std::string& head, std::string& end) const
{
    if (!sheetStream || sheetStream->Depth() != 1)
        return false;
    const xmlw::XmlStream::state_type state = sheetStream->GetState();
    if (state != xmlw::XmlStream::None && state != xmlw::XmlStream::TagBegin)
        return false;
    std::ostringstream tail;
    tail.precision(sheetFile->Stream().precision());
    {
        xmlw::XmlStream xml(tail);
        WriteTail(xml);
    }
    head = WriteHead();
    end = !rowOpen ? "" : rowStartPending ? "/>" : "</row>";
    end += state == xmlw::XmlStream::None ? "</sheetData>" : "/>";
    end += tail.str();
    return true;
}

std::string_view CWorksheet::RowsInMemory() const
{
    return sheetFile ? sheetFile->BytesInMemory() : std::string_view();
}

// What WriteHead, WriteTail and PartFrameIfEndedNow read, and nothing
// else: a member they come to read must be added here, or a sheet changed
// after its rows were handed over would be packed with its old frame.
struct CWorksheet::FrameInputs
{
    std::array<uint32_t, 4> usedRange;
    bool fitToPage;
    uint32_t paneWidth;
    uint32_t paneHeight;
    std::vector<std::tuple<uint32_t, uint32_t, float>> columnWidths;
    std::vector<std::string> mergedCells;
    bool centerHorizontally;
    bool centerVertically;
    bool printGridlines;
    std::array<double, 6> margins;
    EPaperSize paperSize;
    uint32_t fitWide;
    uint32_t fitTall;
    uint32_t pageOrientation;
    std::string header;
    std::string footer;
    bool withComment;
    int precision;
    bool rowOpen;
    bool rowStartPending;
    xmlw::XmlStream::state_type streamState;
    size_t streamDepth;

    auto Tied() const
    {
        return std::tie(usedRange, fitToPage, paneWidth, paneHeight, columnWidths, mergedCells,
                        centerHorizontally, centerVertically, printGridlines, margins, paperSize,
                        fitWide, fitTall, pageOrientation, header, footer, withComment, precision,
                        rowOpen, rowStartPending, streamState, streamDepth);
    }

    bool operator==(const FrameInputs& other) const { return Tied() == other.Tied(); }
};

CWorksheet::FrameInputs CWorksheet::CurrentFrameInputs() const
{
    FrameInputs inputs{
        {usedRange.firstRow, usedRange.lastRow, usedRange.firstColumn, usedRange.lastColumn},
        fitToPage,
        paneWidth,
        paneHeight,
        {},
        mergedCells,
        centerHorizontally,
        centerVertically,
        printGridlines,
        {margins.left, margins.right, margins.top, margins.bottom, margins.header, margins.footer},
        paperSize,
        fitWide,
        fitTall,
        pageOrientation,
        header,
        footer,
        withComment,
        precision,
        rowOpen,
        rowStartPending,
        sheetStream ? sheetStream->GetState() : xmlw::XmlStream::None,
        sheetStream ? sheetStream->Depth() : 0};
    for (const ColumnWidth& rule : columnWidths)
        inputs.columnWidths.emplace_back(rule.colFrom, rule.colTo, rule.width);
    return inputs;
}

bool CWorksheet::HandOverRows(std::function<bool(std::string& rows)> reclaim)
{
    if (!sheetFile || !sheetFile->HandOver(std::move(reclaim)))
        return false;
    handedOverFrame.reset(new (std::nothrow) FrameInputs(CurrentFrameInputs()));
    return true;
}

bool CWorksheet::RowsHandedOver() const
{
    return sheetFile && sheetFile->IsHandedOver();
}

bool CWorksheet::FrameAsHandedOver() const
{
    return RowsHandedOver() && handedOverFrame && *handedOverFrame == CurrentFrameInputs();
}

void CWorksheet::CloseHandedOver()
{
    if (!RowsHandedOver())
        return;
    sheetFile->Abandon();
    ReleaseStreams();  // what the stream still writes goes nowhere
}

void CWorksheet::WriteTail(xmlw::XmlStream& xml) const
{
    if (!mergedCells.empty()) {
        xml << xmlw::tag("mergeCells") << xmlw::attr("count") << mergedCells.size();
        for (const std::string& range : mergedCells)
            xml << xmlw::tag("mergeCell") << xmlw::attr("ref") << range << xmlw::endtag();
        xml << xmlw::endtag();
    }
    AddPrintOptions(xml);
    xml << xmlw::tag("pageMargins") << xmlw::attr("left") << margins.left << xmlw::attr("right")
        << margins.right << xmlw::attr("top") << margins.top << xmlw::attr("bottom")
        << margins.bottom << xmlw::attr("header") << margins.header << xmlw::attr("footer")
        << margins.footer << xmlw::endtag();
    AddPageSetup(xml);
    AddHeaderFooter(xml);

    // The comments' drawing is the sheet's first relationship (see
    // PackageManifest).
    if (withComment)
        xml << xmlw::tag("legacyDrawing") << xmlw::attr("r:id") << "rId1" << xmlw::endtag();
    xml << xmlw::raw("</worksheet>");
}

void CWorksheet::AddPrintOptions(xmlw::XmlStream& xml) const
{
    if (!centerHorizontally && !centerVertically && !printGridlines)
        return;
    xml << xmlw::tag("printOptions");
    if (centerHorizontally)
        xml << xmlw::attr("horizontalCentered") << "1";
    if (centerVertically)
        xml << xmlw::attr("verticalCentered") << "1";
    if (printGridlines)
        xml << xmlw::attr("gridLines") << "1";
    xml << xmlw::endtag();
}

void CWorksheet::AddPageSetup(xmlw::XmlStream& xml) const
{
    xml << xmlw::tag("pageSetup") << xmlw::attr("paperSize") << static_cast<uint32_t>(paperSize);
    if (fitToPage && fitWide != 1)
        xml << xmlw::attr("fitToWidth") << fitWide;
    if (fitToPage && fitTall != 1)
        xml << xmlw::attr("fitToHeight") << fitTall;
    xml << xmlw::attr("orientation")
        << (pageOrientation == 0   ? "portrait"
            : pageOrientation == 1 ? "landscape"
                                   : "")
        << xmlw::endtag();
}

void CWorksheet::AddHeaderFooter(xmlw::XmlStream& xml) const
{
    if (header.empty() && footer.empty())
        return;
    xml << xmlw::tag("headerFooter");
    if (!header.empty())
        xml << xmlw::tag("oddHeader") << xmlw::chardata() << header << xmlw::endtag();
    if (!footer.empty())
        xml << xmlw::tag("oddFooter") << xmlw::chardata() << footer << xmlw::endtag();
    xml << xmlw::endtag();
}

void CWorksheet::SetFitToPages(uint32_t wide, uint32_t tall)
{
    fitToPage = true;
    fitWide = wide;
    fitTall = tall;
}

bool CWorksheet::SetPageMargins(const PageMargins& pageMargins)
{
    for (double margin : {pageMargins.left, pageMargins.right, pageMargins.top, pageMargins.bottom,
                          pageMargins.header, pageMargins.footer})
        if (!std::isfinite(margin) || margin < 0)
            return false;
    margins = pageMargins;
    return true;
}

void CWorksheet::SetCenterOnPage(bool horizontally, bool vertically)
{
    centerHorizontally = horizontally;
    centerVertically = vertically;
}

namespace {

bool FitsHeaderFooter(const std::string& text)
{
    return Utf8PrefixUtf16Units(text, maxHeaderFooterLength) == text.size();
}

}  // namespace

bool CWorksheet::SetHeader(const std::string& text)
{
    if (!FitsHeaderFooter(text))
        return false;
    header = text;
    return true;
}

bool CWorksheet::SetFooter(const std::string& text)
{
    if (!FitsHeaderFooter(text))
        return false;
    footer = text;
    return true;
}

bool CWorksheet::SetPrintTitleRows(uint32_t firstRow, uint32_t lastRow)
{
    if (firstRow < 1 || firstRow > lastRow || lastRow > maxRows)
        return false;
    titleFirstRow = firstRow;
    titleLastRow = lastRow;
    return true;
}

bool CWorksheet::SetPrintTitleColumns(uint32_t firstCol, uint32_t lastCol)
{
    if (firstCol > lastCol || lastCol >= maxColumns)
        return false;
    titleColumns = true;
    titleFirstColumn = firstCol;
    titleLastColumn = lastCol;
    return true;
}

// Columns first, then rows, each on the sheet named in quotes (a quote in
// the name doubled). Readers decode "_xHHHH_" in the defined name as in the
// sheet list, so the name is escaped as there and both read back alike.
std::string CWorksheet::GetPrintTitles() const
{
    std::string sheet = "'";
    for (char c : SheetNameAttribute(title))
        sheet += c == '\'' ? std::string("''") : std::string(1, c);
    sheet += "'!";
    std::string titles;
    if (titleColumns) {
        char first[8], last[8];
        const size_t firstLength = WriteColumnLetters(first, titleFirstColumn);
        const size_t lastLength = WriteColumnLetters(last, titleLastColumn);
        titles +=
            sheet + '$' + std::string(first, firstLength) + ":$" + std::string(last, lastLength);
    }
    if (titleFirstRow != 0) {
        if (!titles.empty())
            titles += ',';
        titles += sheet + '$' + std::to_string(titleFirstRow) + ":$" + std::to_string(titleLastRow);
    }
    return titles;
}

}  // namespace SimpleXlsx
