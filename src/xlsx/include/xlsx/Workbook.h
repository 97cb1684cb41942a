#ifndef HORATAB_XLSX_WORKBOOK_H
#define HORATAB_XLSX_WORKBOOK_H

// The .xlsx package being built: owns its worksheets, the shared string
// table and the style list, keeps the part files in a private temporary
// folder and packs them into the archive on Save.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "xlsx/Cell.h"
#include "xlsx/Chartsheet.h"
#include "xlsx/Comment.h"
#include "xlsx/Status.h"
#include "xlsx/Style.h"
#include "xlsx/Worksheet.h"

namespace SimpleXlsx {

class PackageChartsheet;
class PackageWorksheet;
class PartPrecompressor;
class SharedStringTable;
class SheetNameSet;

class CWorkbook
{
public:
    CWorkbook();
    // Deletes the sheets and removes the temporary folder if Save did not.
    virtual ~CWorkbook();

    CWorkbook(const CWorkbook&) = delete;
    CWorkbook& operator=(const CWorkbook&) = delete;

    // Adding worksheets. Every form gives the sheet a valid, unique name:
    // characters that sheet names cannot hold become "_", the name is cut
    // to 31 bytes, an empty one becomes "Sheet <index>", and a name taken
    // already (in any letter case) gets " (2)", " (3)", ... The reference forms cannot report
    // failure: when a sheet cannot be made they return a detached worksheet that refuses every
    // write, and Save then returns false.
    CWorksheet& AddSheet(const std::string& title);
    CWorksheet& AddSheet(const std::string& title, const std::vector<ColumnWidth>& colWidths);
    CWorksheet& AddSheet(const std::string& title, uint32_t frozenWidth, uint32_t frozenHeight);
    CWorksheet& AddSheet(const std::string& title, uint32_t frozenWidth, uint32_t frozenHeight,
                         const std::vector<ColumnWidth>& colWidths);
    // Null, and the workbook unchanged, when the sheet cannot be made.
    CWorksheet* AddSheetPtr(const std::string& title);

    // Adding chartsheets, numbered 1, 2, 3 apart from the worksheets and
    // named like them. The reference forms cannot report failure: when a
    // chartsheet cannot be made they return a detached one, and Save then
    // returns false. AddChartPtr gives null, and leaves the workbook
    // unchanged, instead.
    CChartsheet& AddChart(const std::string& title);
    CChartsheet& AddChart(const std::string& title, EChartTypes type);
    CChartsheet* AddChartPtr(const std::string& title, EChartTypes type = CHART_LINE);

    StyleList& GetStyleList() { return styleList; }

    // Writes the package to `name` (created or replaced). The archive is
    // written beside `name` and renamed over it only when everything
    // succeeded, so a failed save leaves an existing file untouched. The
    // temporary folder is removed whatever the result. A workbook is saved
    // once; a second Save returns false.
    bool Save(const std::string& name);

    // Why the last Save, AddSheet or AddChart failed; STATUS_OK after one
    // that succeeded. A sheet that could not be made keeps its reason until
    // Save, which then fails with it.
    const Status& LastStatus() const { return status; }

    // Once `*cancelled` is set (from any thread), Save stops between sheets
    // and before the archive replaces the file, and returns false, leaving
    // the file as it was. Not owned; null for none.
    void SetCancelFlag(const std::atomic<bool>* cancelled) { cancelFlag = cancelled; }

    // The temporary folder ("" until the first sheet or Save needs it).
    const std::string& GetTempPath() const { return tempPath; }

private:
    bool EnsureTempDir();
    template <typename... SheetArgs>
    CWorksheet* CreateSheet(const std::string& title, const SheetArgs&... args);
    void NoteSheetCreationFailure();
    CWorksheet& SheetOrDetached(CWorksheet* sheet);
    CChartsheet* CreateChart(const std::string& title, EChartTypes type);
    CChartsheet& ChartOrDetached(CChartsheet* chart);
    bool SaveAll(const std::string& name);
    // The workbook-level parts (written by parts/), then the sheets, then
    // the archive, all after the manifest of the package's parts.
    bool SavePackage(const std::string& name);
    bool SaveSheets();
    void DeflateAhead(PackageWorksheet& sheet);
    bool SealHandedOver(PackageWorksheet& sheet, const std::string& name);
    bool SaveCharts();
    bool WriteArchive(const std::string& archivePath, const std::vector<std::string>& partNames);
    bool WriteArchiveAtomically(const std::string& name, const std::vector<std::string>& partNames);
    void ClearTemp();

    std::string tempPath;
    // Parts whose first bytes are kept in memory, not in their file (the
    // worksheets' heads, known only when their rows are written).
    std::map<std::string, std::string> partHeads;
    // Deflates finished sheets ahead and keeps them; shared with the sheets,
    // which may take their rows back while it lives.
    std::shared_ptr<PartPrecompressor> precompressor;
    std::vector<std::unique_ptr<PackageWorksheet>> worksheets;
    std::vector<std::unique_ptr<PackageChartsheet>> charts;
    std::unique_ptr<SheetNameSet> sheetNames;  // of the worksheets and chartsheets together
    std::unique_ptr<SharedStringTable> sharedStrings;
    std::vector<Comment> comments;
    StyleList styleList;

    std::unique_ptr<PackageWorksheet> detachedSheet;   // returned when a sheet cannot be made
    std::unique_ptr<PackageChartsheet> detachedChart;  // returned when a chartsheet cannot be made
    bool sheetCreationFailed = false;
    bool saved = false;
    Status status;
    Status sheetCreationStatus;  // why the first sheet that failed could not be made

    const std::atomic<bool>* cancelFlag = nullptr;

    bool Cancelled() const { return cancelFlag && *cancelFlag; }
    // True, with the status saying so, once the save is cancelled.
    bool StoppedByCancel();
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_WORKBOOK_H
