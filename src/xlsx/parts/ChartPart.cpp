// xl/charts/chart<N>.xml: the chart of a chartsheet (DrawingML chart).

#include "xlsx/Chartsheet.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/Worksheet.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

namespace {

// "l", "r", "t", "b" for the positions 1 to 4; `other` for anything else.
const char* PositionLetter(uint32_t position, const char* other)
{
    switch (position) {
    case 1:
        return "l";
    case 2:
        return "r";
    case 3:
        return "t";
    case 4:
        return "b";
    default:
        return other;
    }
}

const char* CrossesWord(uint32_t crosses)
{
    switch (crosses) {
    case 1:
        return "min";
    case 2:
        return "max";
    default:
        return "autoZero";
    }
}

void AddValElement(xmlw::XmlStream& xml, const char* element, const char* value)
{
    using namespace xmlw;
    xml << tag(element) << attr("val") << value << endtag();
}

template <typename Number>
void AddValElement(xmlw::XmlStream& xml, const char* element, Number value)
{
    using namespace xmlw;
    xml << tag(element) << attr("val") << value << endtag();
}

}  // namespace

bool CChartsheet::SaveChart()
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    xml << prolog() << tag("c:chartSpace") << attr("xmlns:c") << ns_c << attr("xmlns:a") << ns_a
        << attr("xmlns:r") << ns_relationships;
    // The chart schema wants the language before the corner style.
    AddValElement(xml, "c:lang", "en-US");
    AddValElement(xml, "c:roundedCorners", 1);

    xml << tag("c:chart");
    if (!diagram.name.empty())
        AddTitle(diagram.name, diagram.nameSize, false);
    xml << tag("c:plotArea") << tag("c:layout") << endtag();
    AddPlot(diagram.mainType, xAxis, yAxis, mainSeries, 0);
    // A second plot without series would refer to axes that are not written.
    if (!secondSeries.empty())
        AddPlot(diagram.secondType, x2Axis, y2Axis, secondSeries,
                static_cast<uint32_t>(mainSeries.size()));
    AddAxes(diagram.mainType, xAxis, yAxis);
    if (!secondSeries.empty())
        AddAxes(diagram.secondType, x2Axis, y2Axis);
    AddTableData();
    xml << endtag();  // c:plotArea
    AddLegend();
    AddValElement(xml, "c:plotVisOnly", 1);
    xml << endtag();  // c:chart

    chartStream.reset();  // ends c:chartSpace
    const bool written = chartFile->Close();
    ReleaseChartStream();
    return written;
}

void CChartsheet::AddPlot(EChartTypes type, Axis& plotXAxis, const Axis& plotYAxis,
                          const std::vector<Series>& series, uint32_t firstIndex)
{
    switch (type) {
    case CHART_LINE:
        AddLineChart(plotXAxis, plotYAxis.id, series, firstIndex);
        break;
    case CHART_BAR:
        AddBarChart(plotXAxis, plotYAxis.id, series, firstIndex, diagram.barDirection,
                    diagram.barGrouping);
        break;
    case CHART_SCATTER:
        plotXAxis.numberFormatLinked = true;
        AddScatterChart(plotXAxis.id, plotYAxis.id, series, firstIndex, diagram.scatterStyle);
        break;
    default:
        break;
    }
}

// A scatter plot's x axis is a value axis; the others have a category axis.
void CChartsheet::AddAxes(EChartTypes type, const Axis& plotXAxis, const Axis& plotYAxis)
{
    if (type == CHART_SCATTER)
        AddYAxis(plotXAxis, plotYAxis.id);
    else
        AddXAxis(plotXAxis, plotYAxis.id);
    AddYAxis(plotYAxis, plotXAxis.id);
}

void CChartsheet::AddTitle(const std::string& text, uint32_t size, bool vertical)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    const uint64_t hundredths = uint64_t{size} * 100;
    xml << tag("c:title") << tag("c:tx") << tag("c:rich") << tag("a:bodyPr");
    if (vertical)
        xml << attr("rot") << -5400000 << attr("vert") << "horz";
    xml << endtag() << tag("a:lstStyle") << endtag();
    xml << tag("a:p") << tag("a:pPr") << tag("a:defRPr") << attr("lang") << "en-US" << attr("sz")
        << hundredths << endtag() << endtag();
    xml << tag("a:r") << tag("a:rPr") << attr("lang") << "en-US" << attr("sz") << hundredths
        << endtag();
    xml << tag("a:t") << chardata() << text << endtag() << endtag();
    xml << tag("a:endParaRPr") << attr("lang") << "en-US" << endtag();
    xml << endtag() << endtag() << endtag();  // a:p, c:rich, c:tx
    xml << tag("c:layout") << endtag();
    AddValElement(xml, "c:overlay", 0);
    xml << endtag();  // c:title
}

void CChartsheet::AddLegend()
{
    using namespace xmlw;
    const uint32_t position = diagram.legendPosition;
    if (position == 0 || position > 8)
        return;
    XmlStream& xml = *chartStream;
    xml << tag("c:legend");
    AddValElement(xml, "c:legendPos", PositionLetter((position - 1) % 4 + 1, "r"));
    xml << tag("c:layout") << endtag();
    AddValElement(xml, "c:overlay", position <= 4 ? 1 : 0);
    xml << endtag();
}

void CChartsheet::AddTableData()
{
    using namespace xmlw;
    if (diagram.tableData == 0)
        return;
    XmlStream& xml = *chartStream;
    xml << tag("c:dTable");
    AddValElement(xml, "c:showHorzBorder", 1);
    AddValElement(xml, "c:showVertBorder", 1);
    AddValElement(xml, "c:showOutline", 1);
    if (diagram.tableData == 2)
        AddValElement(xml, "c:showKeys", 1);
    xml << endtag();
}

// Id, scaling, visibility, position, grid lines, title, number format and
// label position: the start of both kinds of axis.
void CChartsheet::AddAxisCommon(const Axis& axis, bool categoryAxis)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    AddValElement(xml, "c:axId", axis.id);
    xml << tag("c:scaling");
    AddValElement(xml, "c:orientation", "minMax");
    if (!axis.maxValue.empty())
        AddValElement(xml, "c:max", axis.maxValue.c_str());
    if (!axis.minValue.empty())
        AddValElement(xml, "c:min", axis.minValue.c_str());
    xml << endtag();
    AddValElement(xml, "c:delete", axis.position == 0 ? 1 : 0);
    AddValElement(xml, "c:axPos", PositionLetter(axis.position, categoryAxis ? "b" : "l"));
    if (axis.grid == 1 || axis.grid == 3)
        xml << tag("c:majorGridlines") << endtag();
    if (axis.grid == 2 || axis.grid == 3)
        xml << tag("c:minorGridlines") << endtag();
    if (!axis.name.empty())
        AddTitle(axis.name, axis.nameSize, !categoryAxis);
    if (axis.numberFormatLinked)
        xml << tag("c:numFmt") << attr("formatCode") << "General" << attr("sourceLinked") << 1
            << endtag();
    AddValElement(xml, "c:tickLblPos", "nextTo");
}

void CChartsheet::AddCrossing(const Axis& axis, uint32_t crossAxisId)
{
    AddValElement(*chartStream, "c:crossAx", crossAxisId);
    AddValElement(*chartStream, "c:crosses", CrossesWord(axis.crosses));
}

void CChartsheet::AddXAxis(const Axis& axis, uint32_t crossAxisId)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    xml << tag("c:catAx");
    AddAxisCommon(axis, true);
    if (axis.labelAngle != -1) {
        xml << tag("c:txPr") << tag("a:bodyPr") << attr("rot") << int64_t{axis.labelAngle} * 60000
            << endtag();
        xml << tag("a:lstStyle") << endtag();
        xml << tag("a:p") << tag("a:pPr") << tag("a:defRPr") << endtag() << endtag();
        xml << tag("a:endParaRPr") << attr("lang") << "en-US" << endtag() << endtag();
        xml << endtag();  // c:txPr
    }
    if (crossAxisId != 0)
        AddCrossing(axis, crossAxisId);
    AddValElement(xml, "c:auto", 1);
    AddValElement(xml, "c:lblAlgn", "ctr");
    AddValElement(xml, "c:lblOffset", 100);
    if (axis.labelSkip != -1)
        AddValElement(xml, "c:tickLblSkip", axis.labelSkip);
    if (axis.markSkip != -1)
        AddValElement(xml, "c:tickMarkSkip", axis.markSkip);
    xml << endtag();
}

void CChartsheet::AddYAxis(const Axis& axis, uint32_t crossAxisId)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    xml << tag("c:valAx");
    AddAxisCommon(axis, false);
    if (crossAxisId != 0) {
        AddCrossing(axis, crossAxisId);
        AddValElement(xml, "c:crossBetween", "between");
    }
    xml << endtag();
}

void CChartsheet::AddSeriesStart(const Series& series, uint32_t number)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    xml << tag("c:ser");
    AddValElement(xml, "c:idx", number);
    AddValElement(xml, "c:order", number);
    if (!series.title.empty())
        xml << tag("c:tx") << tag("c:v") << chardata() << series.title << endtag() << endtag();
}

void CChartsheet::AddRange(const char* element, const CWorksheet* sheet, CellPosition from,
                           CellPosition to)
{
    using namespace xmlw;
    *chartStream << tag(element) << tag("c:numRef") << tag("c:f") << chardata()
                 << RangeReference(*sheet, from, to) << endtag() << endtag() << endtag();
}

void CChartsheet::AddCategories(Axis& plotXAxis, const Series& series)
{
    if (series.categorySheet == nullptr ||
        (series.categoryTo.first == 0 && series.categoryTo.second == 0))
        return;
    plotXAxis.numberFormatLinked = true;
    AddRange("c:cat", series.categorySheet, series.categoryFrom, series.categoryTo);
}

void CChartsheet::AddLineChart(Axis& plotXAxis, uint32_t yAxisId, const std::vector<Series>& series,
                               uint32_t firstIndex)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    xml << tag("c:lineChart");
    AddValElement(xml, "c:grouping", "standard");
    uint32_t number = firstIndex;
    for (const Series& one : series) {
        AddSeriesStart(one, number++);
        if (one.dashed)
            xml << tag("c:spPr") << tag("a:ln") << tag("a:prstDash") << attr("val") << "dash"
                << endtag() << endtag() << endtag();
        xml << tag("c:marker");
        AddValElement(xml, "c:symbol", one.marked ? "diamond" : "none");
        xml << endtag();
        AddCategories(plotXAxis, one);
        AddRange("c:val", one.valueSheet, one.valueFrom, one.valueTo);
        AddValElement(xml, "c:smooth", one.smooth ? 1 : 0);
        xml << endtag();  // c:ser
    }
    AddValElement(xml, "c:marker", 1);
    AddValElement(xml, "c:smooth", 0);
    AddValElement(xml, "c:axId", plotXAxis.id);
    AddValElement(xml, "c:axId", yAxisId);
    xml << endtag();
}

void CChartsheet::AddBarChart(Axis& plotXAxis, uint32_t yAxisId, const std::vector<Series>& series,
                              uint32_t firstIndex, uint32_t direction, uint32_t grouping)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    xml << tag("c:barChart");
    if (direction <= 1)
        AddValElement(xml, "c:barDir", direction == 0 ? "col" : "bar");
    static const char* const groupings[] = {"clustered", "stacked", "percentStacked"};
    if (grouping <= 2)
        AddValElement(xml, "c:grouping", groupings[grouping]);
    uint32_t number = firstIndex;
    for (const Series& one : series) {
        AddSeriesStart(one, number++);
        AddCategories(plotXAxis, one);
        AddRange("c:val", one.valueSheet, one.valueFrom, one.valueTo);
        xml << endtag();  // c:ser
    }
    AddValElement(xml, "c:axId", plotXAxis.id);
    AddValElement(xml, "c:axId", yAxisId);
    xml << endtag();
}

void CChartsheet::AddScatterChart(uint32_t xAxisId, uint32_t yAxisId,
                                  const std::vector<Series>& series, uint32_t firstIndex,
                                  uint32_t style)
{
    using namespace xmlw;
    XmlStream& xml = *chartStream;
    xml << tag("c:scatterChart");
    if (style <= 1)
        AddValElement(xml, "c:scatterStyle", style == 0 ? "smoothMarker" : "lineMarker");
    uint32_t number = firstIndex;
    for (const Series& one : series) {
        AddSeriesStart(one, number++);
        if (style == 1)
            xml << tag("c:spPr") << tag("a:ln") << attr("w") << 28575 << tag("a:noFill") << endtag()
                << endtag() << endtag();
        xml << tag("c:marker");
        AddValElement(xml, "c:symbol", one.marked || style == 1 ? "diamond" : "none");
        xml << endtag();
        AddRange("c:xVal", one.categorySheet, one.categoryFrom, one.categoryTo);
        AddRange("c:yVal", one.valueSheet, one.valueFrom, one.valueTo);
        AddValElement(xml, "c:smooth", one.smooth ? 1 : 0);
        xml << endtag();  // c:ser
    }
    AddValElement(xml, "c:axId", xAxisId);
    AddValElement(xml, "c:axId", yAxisId);
    xml << endtag();
}

}  // namespace SimpleXlsx
