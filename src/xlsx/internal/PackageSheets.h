#ifndef HORATAB_XLSX_INTERNAL_PACKAGESHEETS_H
#define HORATAB_XLSX_INTERNAL_PACKAGESHEETS_H

// Worksheets and chartsheets as the workbook sees them: made straight on a
// package folder, wired to the workbook's tables, suspended and saved. The
// workbook owns its sheets in these forms; the writer's tests make single
// sheets with them.

#include <cstdint>
#include <string>
#include <vector>

#include "xlsx/Chartsheet.h"
#include "xlsx/Worksheet.h"

namespace SimpleXlsx {

class PackageWorksheet : public CWorksheet
{
public:
    PackageWorksheet() = default;
    PackageWorksheet(uint32_t index, const std::string& tempDir) : CWorksheet(index, tempDir) {}
    PackageWorksheet(uint32_t index, uint32_t frozenWidth, uint32_t frozenHeight,
                     const std::string& tempDir)
        : CWorksheet(index, frozenWidth, frozenHeight, tempDir)
    {}
    PackageWorksheet(uint32_t index, const std::vector<ColumnWidth>& colWidths,
                     const std::string& tempDir)
        : CWorksheet(index, colWidths, tempDir)
    {}
    PackageWorksheet(uint32_t index, uint32_t frozenWidth, uint32_t frozenHeight,
                     const std::vector<ColumnWidth>& colWidths, const std::string& tempDir)
        : CWorksheet(index, frozenWidth, frozenHeight, colWidths, tempDir)
    {}

    using CWorksheet::CloseHandedOver;
    using CWorksheet::FrameAsHandedOver;
    using CWorksheet::HandOverRows;
    using CWorksheet::HeadOfPart;
    using CWorksheet::PartFrameIfEndedNow;
    using CWorksheet::RowsHandedOver;
    using CWorksheet::RowsInMemory;
    using CWorksheet::Save;
    using CWorksheet::SetComments;
    using CWorksheet::SetSharedStr;
    using CWorksheet::SetTitle;
    using CWorksheet::Suspend;
};

class PackageChartsheet : public CChartsheet
{
public:
    PackageChartsheet() = default;
    PackageChartsheet(uint32_t index, const std::string& tempDir) : CChartsheet(index, tempDir) {}
    PackageChartsheet(uint32_t index, EChartTypes type, const std::string& tempDir)
        : CChartsheet(index, type, tempDir)
    {}

    using CChartsheet::Save;
    using CChartsheet::SetTitle;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_PACKAGESHEETS_H
