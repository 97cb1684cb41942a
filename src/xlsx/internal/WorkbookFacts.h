#ifndef HORATAB_XLSX_INTERNAL_WORKBOOKFACTS_H
#define HORATAB_XLSX_INTERNAL_WORKBOOKFACTS_H

// Facts about a workbook's sheets that several part writers derive alike,
// so that the parts agree with each other.

#include <algorithm>
#include <memory>
#include <vector>

#include "xlsx/internal/PackageSheets.h"

namespace SimpleXlsx {

inline bool AnyFormula(const std::vector<std::unique_ptr<PackageWorksheet>>& worksheets)
{
    return std::any_of(worksheets.begin(), worksheets.end(), [](const auto& sheet) {
        return sheet != nullptr && sheet->IsThereFormula();
    });
}

// Relationship ids of the workbook part: rId1 styles, rId2 theme, then the
// worksheets in creation order, then the calculation chain if any formula,
// then the chartsheets in creation order, then the shared strings if any.
inline size_t WorksheetRelationshipNumber(size_t position)
{
    return position + 3;
}

inline size_t CalcChainRelationshipNumber(size_t worksheetCount)
{
    return worksheetCount + 3;
}

inline size_t ChartsheetRelationshipNumber(size_t worksheetCount, bool hasFormula,
                                           size_t chartPosition)
{
    return worksheetCount + 3 + (hasFormula ? 1 : 0) + chartPosition;
}

inline size_t SharedStringsRelationshipNumber(size_t worksheetCount, bool hasFormula,
                                              size_t chartsheetCount = 0)
{
    return worksheetCount + 3 + (hasFormula ? 1 : 0) + chartsheetCount;
}

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_WORKBOOKFACTS_H
