#include "timetable/ExcelWriteWrapper.h"

#include <utility>

#include "xlsx/Style.h"
#include "xlsx/Workbook.h"
#include "xlsx/Worksheet.h"

ExcelWriteWrapper::ExcelWriteWrapper()
    : workbook(new SimpleXlsx::CWorkbook()), worksheet(nullptr), cellStr(std::string(), 0, true),
      styleIndex(0)
{}

ExcelWriteWrapper::~ExcelWriteWrapper() = default;

bool ExcelWriteWrapper::fail(SimpleXlsx::Status reason)
{
    status = std::move(reason);
    return false;
}

// The worksheet refused a row or a cell: too far down or right, or its
// part file failed.
bool ExcelWriteWrapper::sheetRefused()
{
    SimpleXlsx::Status reason = worksheet->GetStatus();
    if (reason.Ok())
        reason = SimpleXlsx::Status(SimpleXlsx::STATUS_INVALID_USE, "the sheet refused a cell",
                                    worksheet->GetTitle());
    return fail(reason);
}

bool ExcelWriteWrapper::haveWorksheet()
{
    if (workbook && worksheet)
        return true;
    return fail(SimpleXlsx::Status(SimpleXlsx::STATUS_INVALID_USE, "no worksheet to write to"));
}

bool ExcelWriteWrapper::addWorksheet(std::string title)
{
    worksheet = workbook ? workbook->AddSheetPtr(title) : nullptr;
    if (worksheet == nullptr && workbook)
        return fail(workbook->LastStatus());
    return haveWorksheet();
}

bool ExcelWriteWrapper::beginRow()
{
    if (!haveWorksheet())
        return false;
    return worksheet->BeginRow(0) || sheetRefused();
}

bool ExcelWriteWrapper::addCell(const std::string& text)
{
    if (!haveWorksheet())
        return false;
    return worksheet->AddTextCell(text, cellStr.style_id) || sheetRefused();
}

bool ExcelWriteWrapper::endRow()
{
    if (!haveWorksheet())
        return false;
    worksheet->EndRow();
    return true;
}

bool ExcelWriteWrapper::insertRows(int32_t count)
{
    bool result = true;
    for (int32_t i = 0; i < count && result; ++i) {
        result = beginRow();
        if (result)
            result = endRow();
    }
    return result;
}

bool ExcelWriteWrapper::saveTimeTable(const BaseMatrix<std::string>& matrix)
{
    bool result = true;
    for (uint64_t row = 0; row < matrix.rowSize() && result; ++row) {
        result = beginRow();
        for (uint64_t column = 0; column < matrix.colSize() && result; ++column)
            result = addCell(matrix(uint32_t(row), uint32_t(column)));
        if (result)
            result = endRow();
    }
    return result;
}

int32_t ExcelWriteWrapper::addStyle(std::string fontName, int32_t size)
{
    if (!workbook)
        return -1;
    SimpleXlsx::Style style;
    style.font.size = uint32_t(size);
    style.font.name = std::move(fontName);
    style.font.theme = true;
    style.font.attributes = 0;
    style.fill.patternType = SimpleXlsx::PATTERN_NONE;
    style.horizAlign = SimpleXlsx::ALIGN_H_CENTER;
    style.vertAlign = SimpleXlsx::ALIGN_V_CENTER;
    styleIndex = int32_t(workbook->GetStyleList().Add(style));
    return styleIndex;
}

void ExcelWriteWrapper::applyStyle(int32_t index)
{
    if (index < 0)
        return;
    cellStr.style_id = index;
    cellInt.style_id = index;
    cellUInt.style_id = index;
    cellDbl.style_id = index;
    cellFlt.style_id = index;
}

bool ExcelWriteWrapper::Save(std::string path)
{
    if (!haveWorksheet())
        return false;
    return workbook->Save(path) || fail(workbook->LastStatus());
}

void ExcelWriteWrapper::setCancelFlag(const std::atomic<bool>* cancelled)
{
    if (workbook)
        workbook->SetCancelFlag(cancelled);
}
