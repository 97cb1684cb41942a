#include "xlsx/Chartsheet.h"

#include <algorithm>

#include "xlsx/Cell.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/SheetName.h"
#include "xlsx/internal/Utf8.h"
#include "xlsx/Worksheet.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

namespace {

bool IsPlot(EChartTypes type)
{
    return type == CHART_LINE || type == CHART_BAR || type == CHART_SCATTER;
}

bool IsOrigin(CChartsheet::CellPosition position)
{
    return position.first == 0 && position.second == 0;
}

bool IsInSheet(CChartsheet::CellPosition position)
{
    return position.first < maxRows && position.second < maxColumns;
}

bool IsRangeInSheet(CChartsheet::CellPosition from, CChartsheet::CellPosition to)
{
    return IsInSheet(from) && IsInSheet(to);
}

// A scatter plot takes its x values from the category range.
bool HasXValues(const CChartsheet::Series& series)
{
    return series.categorySheet != nullptr && !IsOrigin(series.categoryTo);
}

std::string CellReference(CChartsheet::CellPosition position)
{
    const uint32_t row = position.first < UINT32_MAX ? position.first + 1 : UINT32_MAX;
    return CWorksheet::GetCellCoord(CellCoord(row, position.second));
}

}  // namespace

CChartsheet::CChartsheet() = default;

CChartsheet::CChartsheet(uint32_t index, const std::string& tempDir) : tempPath(tempDir)
{
    Init(index, CHART_LINE);
}

CChartsheet::CChartsheet(uint32_t index, EChartTypes type, const std::string& tempDir)
    : tempPath(tempDir)
{
    Init(index, type);
}

CChartsheet::~CChartsheet()
{
    ReleaseChartStream();
}

void CChartsheet::ReleaseChartStream()
{
    chartStream.reset();  // closes every element still open
    chartFile.reset();
    ready = false;
}

void CChartsheet::Init(uint32_t sheetIndex, EChartTypes type)
{
    ReleaseChartStream();
    index = sheetIndex;
    title = "Diagramm 1";
    mainSeries.clear();
    secondSeries.clear();
    diagram = Diagramm();
    diagram.mainType = type;

    xAxis = Axis();
    xAxis.id = 100;
    xAxis.position = 4;
    yAxis = Axis();
    yAxis.id = 101;
    yAxis.position = 1;
    yAxis.numberFormatLinked = true;
    x2Axis = Axis();
    x2Axis.id = 102;
    x2Axis.position = 3;
    x2Axis.crosses = 2;
    y2Axis = Axis();
    y2Axis.id = 103;
    y2Axis.position = 2;
    y2Axis.crosses = 2;
    y2Axis.numberFormatLinked = true;

    // Without a package folder there is nowhere to write: never at the root.
    if (tempPath.empty())
        return;
    chartFile.reset(new PartFile(tempPath, "xl/charts/chart" + std::to_string(index) + ".xml"));
    if (!chartFile->Stream()) {
        chartFile.reset();
        return;
    }
    chartStream.reset(new xmlw::XmlStream(chartFile->Stream()));
    ready = true;
}

bool CChartsheet::IsOk() const
{
    return ready && chartFile->Stream().good();
}

void CChartsheet::SetTitle(const std::string& text)
{
    title = text.substr(0, Utf8PrefixBytes(text, maxSheetNameBytes));
}

bool CChartsheet::AddSeries(const Series& series, bool mainChart)
{
    if (series.valueSheet == nullptr || IsOrigin(series.valueTo))
        return false;
    if (!IsRangeInSheet(series.valueFrom, series.valueTo))
        return false;
    if (series.categorySheet != nullptr && !IsRangeInSheet(series.categoryFrom, series.categoryTo))
        return false;
    const EChartTypes plot = mainChart ? diagram.mainType : diagram.secondType;
    if (plot == CHART_SCATTER && !HasXValues(series))
        return false;
    (mainChart ? mainSeries : secondSeries).push_back(series);
    return true;
}

// The plot types may have changed after the series were added: check again
// what AddSeries checked, so that every reference can be written.
bool CChartsheet::CanDraw() const
{
    if (mainSeries.empty() || !IsPlot(diagram.mainType))
        return false;
    if (!secondSeries.empty() && !IsPlot(diagram.secondType))
        return false;
    if (diagram.mainType == CHART_SCATTER &&
        !std::all_of(mainSeries.begin(), mainSeries.end(), HasXValues))
        return false;
    if (!secondSeries.empty() && diagram.secondType == CHART_SCATTER &&
        !std::all_of(secondSeries.begin(), secondSeries.end(), HasXValues))
        return false;
    return true;
}

bool CChartsheet::Save()
{
    if (!ready || !CanDraw()) {
        ReleaseChartStream();
        return false;
    }
    const bool chartWritten = SaveChart();
    const bool sheetWritten = SaveChartsheet();
    const bool drawingWritten = SaveDrawing();
    return chartWritten && sheetWritten && drawingWritten;
}

std::string CChartsheet::RangeReference(const CWorksheet& sheet, CellPosition from, CellPosition to)
{
    std::string reference = "'";
    for (const char c : sheet.GetTitle()) {
        reference += c;
        if (c == '\'')
            reference += '\'';
    }
    reference += "'!$";
    reference += CellReference(from);
    reference += ":$";
    reference += CellReference(to);
    return reference;
}

}  // namespace SimpleXlsx
