#include "timetable/ExcelWriteWrapper.h"

#include <new>
#include <utility>

#include "xlsx/Style.h"
#include "xlsx/Workbook.h"
#include "xlsx/Worksheet.h"

ExcelWriteWrapper::ExcelWriteWrapper()
    : workbook(new (std::nothrow) SimpleXlsx::CWorkbook()), worksheet(nullptr),
      cellStr(std::string(), 0, true), styleIndex(0)
{}

ExcelWriteWrapper::~ExcelWriteWrapper() = default;

bool ExcelWriteWrapper::addWorksheet(std::string title)
{
    worksheet = workbook ? workbook->AddSheetPtr(title) : nullptr;
    return worksheet != nullptr;
}

bool ExcelWriteWrapper::beginRow()
{
    return workbook && worksheet && worksheet->BeginRow(0);
}

bool ExcelWriteWrapper::addCell(std::string text)
{
    if (!workbook || !worksheet)
        return false;
    cellStr.value = std::move(text);
    return worksheet->AddCell(cellStr);
}

bool ExcelWriteWrapper::endRow()
{
    if (!workbook || !worksheet)
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
    return workbook && worksheet && workbook->Save(path);
}

void ExcelWriteWrapper::setCancelFlag(const std::atomic<bool>* cancelled)
{
    if (workbook)
        workbook->SetCancelFlag(cancelled);
}
