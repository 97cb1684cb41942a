#ifndef HORATAB_XLSX_CHARTSHEET_H
#define HORATAB_XLSX_CHARTSHEET_H

// A chartsheet: one chart drawn from ranges of worksheet cells. On Save it
// writes five parts numbered with its index N: the chart
// "xl/charts/chart<N>.xml", the sheet "xl/chartsheets/sheet<N>.xml" with
// its relationships, and the drawing "xl/drawings/drawing<N>.xml" that
// places the chart on the sheet, with its relationships.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace xmlw {
class XmlStream;
}

namespace SimpleXlsx {

class CWorksheet;
class PartFile;

enum EChartTypes : int32_t
{
    CHART_NONE = -1,
    CHART_LINE = 0,
    CHART_BAR = 1,
    CHART_SCATTER = 2
};

// A chartsheet is made by its workbook (CWorkbook::AddChart), which also
// names and saves it. Save fails when the chart cannot be drawn: no main
// series, a plot type that is not one, second series without a second plot
// type.
class CChartsheet
{
public:
    // A cell position counted from 0: (row, column).
    using CellPosition = std::pair<uint32_t, uint32_t>;

    // One data series: categories (x values of a scatter plot) and values,
    // each a range of one worksheet's cells.
    struct Series
    {
        const CWorksheet* categorySheet = nullptr;  // not owned; none when absent
        CellPosition categoryFrom{0, 0};
        CellPosition categoryTo{0, 0};
        const CWorksheet* valueSheet = nullptr;  // not owned
        CellPosition valueFrom{0, 0};
        CellPosition valueTo{0, 0};
        std::string title;    // series name; empty for none
        bool marked = false;  // diamond markers on the line
        bool smooth = false;  // smoothed line
        bool dashed = false;  // dashed line (line plots only)
    };

    struct Axis
    {
        uint32_t id = 0;                  // axis id used for cross references
        std::string name;                 // axis title; empty for none
        uint32_t nameSize = 10;           // title font size, points
        uint32_t position = 1;            // 0 none (deleted), 1 left, 2 right, 3 top, 4 bottom
        uint32_t grid = 0;                // 0 none, 1 major, 2 minor, 3 both
        uint32_t crosses = 0;             // crossing axis at 0 automatic zero, 1 minimum, 2 maximum
        bool numberFormatLinked = false;  // number format linked to the source cells
        std::string minValue;             // fixed scale limits; empty for automatic
        std::string maxValue;
        int32_t labelSkip = -1;   // tick label skip interval; -1 for none
        int32_t markSkip = -1;    // tick mark skip interval; -1 for none
        int32_t labelAngle = -1;  // tick label rotation in degrees; -1 for none
    };

    struct Diagramm
    {
        std::string name;        // chart title; empty for none
        uint32_t nameSize = 18;  // title font size, points
        // 0 none; 1 left, 2 right, 3 top, 4 bottom over the plot area;
        // 5 left, 6 right, 7 top, 8 bottom beside it.
        uint32_t legendPosition = 2;
        uint32_t tableData = 0;  // 0 none, 1 data table, 2 with legend keys
        EChartTypes mainType = CHART_LINE;
        EChartTypes secondType = CHART_NONE;  // plot of the second series
        uint32_t barDirection = 0;            // 0 columns, 1 bars
        uint32_t barGrouping = 0;             // 0 clustered, 1 stacked, 2 percent stacked
        uint32_t scatterStyle = 0;            // 0 smooth lines with markers, 1 markers only
    };

    virtual ~CChartsheet();

    CChartsheet(const CChartsheet&) = delete;
    CChartsheet& operator=(const CChartsheet&) = delete;

    // True while the chart part is open for writing.
    bool IsOk() const;

    // The sheet's name, unique in its workbook, at most 31 bytes.
    std::string GetTitle() const { return title; }
    uint32_t GetIndex() const { return index; }

    // The diagram and the four axes, as Init set them up, to change in
    // place or to replace.
    Diagramm& GetDiagramm() { return diagram; }
    const Diagramm& GetDiagramm() const { return diagram; }
    void SetDiagramm(const Diagramm& value) { diagram = value; }
    Axis& GetXAxis() { return xAxis; }
    Axis& GetYAxis() { return yAxis; }
    Axis& GetX2Axis() { return x2Axis; }
    Axis& GetY2Axis() { return y2Axis; }
    const Axis& GetXAxis() const { return xAxis; }
    const Axis& GetYAxis() const { return yAxis; }
    const Axis& GetX2Axis() const { return x2Axis; }
    const Axis& GetY2Axis() const { return y2Axis; }
    void SetXAxis(const Axis& axis) { xAxis = axis; }
    void SetYAxis(const Axis& axis) { yAxis = axis; }
    void SetX2Axis(const Axis& axis) { x2Axis = axis; }
    void SetY2Axis(const Axis& axis) { y2Axis = axis; }

    // Adds a series to the main plot (mainChart) or to the second plot.
    // Refused (false, nothing stored) without a value sheet, with valueTo
    // (0, 0), with a range beyond the sheet, and for a scatter plot without
    // a category sheet or with categoryTo (0, 0).
    bool AddSeries(const Series& series, bool mainChart = true);
    const std::vector<Series>& GetMainSeries() const { return mainSeries; }
    const std::vector<Series>& GetSecondSeries() const { return secondSeries; }

    // The reference "'Title'!$B1:$B10" of a range of `sheet` (apostrophes
    // in the title doubled, as formulas require).
    static std::string RangeReference(const CWorksheet& sheet, CellPosition from, CellPosition to);

private:
    // The workbook's side (see PackageChartsheet).
    friend class PackageChartsheet;

    // Made on the package folder `tempDir`. The default one is detached: no
    // part file, and Save refuses it.
    CChartsheet();
    CChartsheet(uint32_t index, const std::string& tempDir);
    CChartsheet(uint32_t index, EChartTypes type, const std::string& tempDir);

    // Sheet name: cut to at most 31 bytes on a UTF-8 character boundary.
    void SetTitle(const std::string& title);
    // Writes the five parts; false when the chart cannot be drawn or a part
    // could not be written. A chartsheet is saved once.
    bool Save();

    void Init(uint32_t index, EChartTypes type);
    bool CanDraw() const;
    void ReleaseChartStream();

    // The chart part, onto the stream opened by Init.
    bool SaveChart();
    void AddTitle(const std::string& text, uint32_t size, bool vertical);
    void AddLegend();
    void AddTableData();
    void AddXAxis(const Axis& axis, uint32_t crossAxisId);
    void AddYAxis(const Axis& axis, uint32_t crossAxisId);
    void AddAxisCommon(const Axis& axis, bool categoryAxis);
    void AddCrossing(const Axis& axis, uint32_t crossAxisId);
    void AddLineChart(Axis& xAxis, uint32_t yAxisId, const std::vector<Series>& series,
                      uint32_t firstIndex);
    void AddBarChart(Axis& xAxis, uint32_t yAxisId, const std::vector<Series>& series,
                     uint32_t firstIndex, uint32_t direction, uint32_t grouping);
    void AddScatterChart(uint32_t xAxisId, uint32_t yAxisId, const std::vector<Series>& series,
                         uint32_t firstIndex, uint32_t style);
    void AddPlot(EChartTypes type, Axis& plotXAxis, const Axis& plotYAxis,
                 const std::vector<Series>& series, uint32_t firstIndex);
    void AddAxes(EChartTypes type, const Axis& plotXAxis, const Axis& plotYAxis);
    void AddSeriesStart(const Series& series, uint32_t number);
    void AddRange(const char* element, const CWorksheet* sheet, CellPosition from, CellPosition to);
    void AddCategories(Axis& xAxis, const Series& series);

    // The sheet and the drawing (parts/ChartsheetPart.cpp,
    // parts/DrawingPart.cpp); the workbook writes their relationships.
    bool SaveChartsheet() const;
    bool SaveDrawing() const;

    std::unique_ptr<PartFile> chartFile;
    std::unique_ptr<xmlw::XmlStream> chartStream;
    uint32_t index = 0;
    std::string tempPath;
    std::string title = "Diagramm 1";
    bool ready = false;
    std::vector<Series> mainSeries;
    std::vector<Series> secondSeries;
    Diagramm diagram;
    Axis xAxis;
    Axis yAxis;
    Axis x2Axis;
    Axis y2Axis;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_CHARTSHEET_H
