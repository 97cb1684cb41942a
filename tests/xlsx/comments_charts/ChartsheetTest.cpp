#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PackageReading.h"
#include "xlsx/Chartsheet.h"
#include "xlsx/Workbook.h"

using namespace SimpleXlsx;
using namespace cctest;
using Series = CChartsheet::Series;

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";
const std::string kChartNs = "http://schemas.openxmlformats.org/drawingml/2006/chart";
const std::string kMainNs = "http://schemas.openxmlformats.org/drawingml/2006/main";
const std::string kRelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const std::string kOfficeRelationshipsNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A series over rows `first` to `last` (from 0): categories in column
// `categoryColumn`, values in `valueColumn`.
Series Range(const CWorksheet& sheet, uint32_t first, uint32_t last, uint32_t categoryColumn, uint32_t valueColumn,
             const std::string& title = std::string())
{
    Series series;
    series.categorySheet = &sheet;
    series.categoryFrom = {first, categoryColumn};
    series.categoryTo = {last, categoryColumn};
    series.valueSheet = &sheet;
    series.valueFrom = {first, valueColumn};
    series.valueTo = {last, valueColumn};
    series.title = title;
    return series;
}

Series ValuesOnly(const CWorksheet& sheet, uint32_t first, uint32_t last, uint32_t column)
{
    Series series;
    series.valueSheet = &sheet;
    series.valueFrom = {first, column};
    series.valueTo = {last, column};
    return series;
}

// Ten rows of numbers: 1..10 in A, then B = 1.5 A, C = A * A, D = 11 - A.
void FillData(CWorksheet& sheet)
{
    for (int i = 1; i <= 10; ++i)
        sheet.AddRow(std::vector<CellDataDbl>{double(i), 1.5 * i, double(i * i), double(11 - i)});
}

// A chartsheet written straight into a scratch folder, with detached
// worksheets that only lend their titles to the references.
class ChartParts : public testing::Test {
protected:
    ChartParts()
    {
        data.SetTitle("Data");
        other.SetTitle("O'Brien's");
    }

    std::string Part(const std::string& name) const { return ReadFile(scratch.File(name)); }
    std::string Chart() const { return Part("xl/charts/chart1.xml"); }

    ScratchDir scratch;
    CWorksheet data;
    CWorksheet other;
};

}  // namespace

TEST_F(ChartParts, LineChartPartsAreWrittenExactly)
{
    CChartsheet chart(1, scratch.path);
    ASSERT_TRUE(chart.IsOk());
    EXPECT_EQ(chart.GetIndex(), 1u);
    EXPECT_EQ(chart.GetTitle(), "Diagramm 1");
    chart.GetDiagramm().name = "Hours";
    ASSERT_TRUE(chart.AddSeries(Range(data, 0, 9, 0, 1, "Mon")));
    ASSERT_TRUE(chart.Save());

    EXPECT_EQ(Chart(),
              kDeclaration + "<c:chartSpace xmlns:c=\"" + kChartNs + "\" xmlns:a=\"" + kMainNs + "\" xmlns:r=\"" +
                  kRelationshipsNs +
                  "\"><c:lang val=\"en-US\"/><c:roundedCorners val=\"1\"/><c:chart>"
                  "<c:title><c:tx><c:rich><a:bodyPr/><a:lstStyle/><a:p><a:pPr><a:defRPr lang=\"en-US\" sz=\"1800\"/>"
                  "</a:pPr><a:r><a:rPr lang=\"en-US\" sz=\"1800\"/><a:t>Hours</a:t></a:r><a:endParaRPr lang=\"en-US\"/>"
                  "</a:p></c:rich></c:tx><c:layout/><c:overlay val=\"0\"/></c:title>"
                  "<c:plotArea><c:layout/><c:lineChart><c:grouping val=\"standard\"/>"
                  "<c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:tx><c:v>Mon</c:v></c:tx>"
                  "<c:marker><c:symbol val=\"none\"/></c:marker>"
                  "<c:cat><c:numRef><c:f>'Data'!$A1:$A10</c:f></c:numRef></c:cat>"
                  "<c:val><c:numRef><c:f>'Data'!$B1:$B10</c:f></c:numRef></c:val><c:smooth val=\"0\"/></c:ser>"
                  "<c:marker val=\"1\"/><c:smooth val=\"0\"/><c:axId val=\"100\"/><c:axId val=\"101\"/></c:lineChart>"
                  "<c:catAx><c:axId val=\"100\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
                  "<c:delete val=\"0\"/><c:axPos val=\"b\"/><c:numFmt formatCode=\"General\" sourceLinked=\"1\"/>"
                  "<c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"101\"/><c:crosses val=\"autoZero\"/>"
                  "<c:auto val=\"1\"/><c:lblAlgn val=\"ctr\"/><c:lblOffset val=\"100\"/></c:catAx>"
                  "<c:valAx><c:axId val=\"101\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
                  "<c:delete val=\"0\"/><c:axPos val=\"l\"/><c:numFmt formatCode=\"General\" sourceLinked=\"1\"/>"
                  "<c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"100\"/><c:crosses val=\"autoZero\"/>"
                  "<c:crossBetween val=\"between\"/></c:valAx></c:plotArea>"
                  "<c:legend><c:legendPos val=\"r\"/><c:layout/><c:overlay val=\"1\"/></c:legend>"
                  "<c:plotVisOnly val=\"1\"/></c:chart></c:chartSpace>");
    EXPECT_EQ(Part("xl/chartsheets/sheet1.xml"),
              kDeclaration +
                  "<chartsheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
                  kOfficeRelationshipsNs +
                  "\"><sheetPr/><sheetViews><sheetView zoomScale=\"85\" workbookViewId=\"0\" zoomToFit=\"1\"/>"
                  "</sheetViews><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
                  "footer=\"0.3\"/><drawing r:id=\"rId1\"/></chartsheet>");
    EXPECT_EQ(Part("xl/chartsheets/_rels/sheet1.xml.rels"),
              kDeclaration + "<Relationships xmlns=\"" + kRelationshipsNs + "\"><Relationship Id=\"rId1\" Type=\"" +
                  kOfficeRelationshipsNs + "/drawing\" Target=\"../drawings/drawing1.xml\"/></Relationships>");
    EXPECT_EQ(Part("xl/drawings/_rels/drawing1.xml.rels"),
              kDeclaration + "<Relationships xmlns=\"" + kRelationshipsNs + "\"><Relationship Id=\"rId1\" Type=\"" +
                  kOfficeRelationshipsNs + "/chart\" Target=\"../charts/chart1.xml\"/></Relationships>");
    EXPECT_EQ(Part("xl/drawings/drawing1.xml"),
              kDeclaration +
                  "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
                  "xmlns:a=\"" +
                  kMainNs +
                  "\"><xdr:absoluteAnchor><xdr:pos x=\"0\" y=\"0\"/><xdr:ext cx=\"9312088\" cy=\"6084794\"/>"
                  "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"2\" name=\"Diagramm 1\"/>"
                  "<xdr:cNvGraphicFramePr><a:graphicFrameLocks noGrp=\"1\"/></xdr:cNvGraphicFramePr>"
                  "</xdr:nvGraphicFramePr><xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm>"
                  "<a:graphic><a:graphicData uri=\"" +
                  kChartNs + "\"><c:chart xmlns:c=\"" + kChartNs + "\" xmlns:r=\"" + kOfficeRelationshipsNs +
                  "\" r:id=\"rId1\"/></a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/>"
                  "</xdr:absoluteAnchor></xdr:wsDr>");
    EXPECT_FALSE(chart.Save());  // a chartsheet is saved once
}

TEST_F(ChartParts, RangeReferencesQuoteTheWorksheetTitle)
{
    EXPECT_EQ(CChartsheet::RangeReference(data, {0, 1}, {9, 1}), "'Data'!$B1:$B10");
    EXPECT_EQ(CChartsheet::RangeReference(other, {2, 26}, {1048575, 16383}), "'O''Brien''s'!$AA3:$XFD1048576");
    CWorksheet quotes;
    quotes.SetTitle("''");
    EXPECT_EQ(CChartsheet::RangeReference(quotes, {0, 0}, {0, 0}), "''''''!$A1:$A1");

    CChartsheet chart(1, scratch.path);
    ASSERT_TRUE(chart.AddSeries(Range(other, 1, 4, 0, 2)));
    ASSERT_TRUE(chart.Save());
    EXPECT_NE(Chart().find("<c:val><c:numRef><c:f>'O''Brien''s'!$C2:$C5</c:f>"), std::string::npos) << Chart();
}

TEST_F(ChartParts, SecondPlotNumbersItsSeriesOnAndUsesTheSecondAxes)
{
    CChartsheet chart(1, scratch.path);
    chart.GetDiagramm().secondType = CHART_BAR;
    ASSERT_TRUE(chart.AddSeries(Range(data, 0, 9, 0, 1, "first")));
    ASSERT_TRUE(chart.AddSeries(Range(data, 0, 9, 0, 2, "second")));
    for (uint32_t column = 1; column <= 3; ++column)
        ASSERT_TRUE(chart.AddSeries(ValuesOnly(data, 0, 9, column), false));
    EXPECT_EQ(chart.GetMainSeries().size(), 2u);
    EXPECT_EQ(chart.GetSecondSeries().size(), 3u);
    ASSERT_TRUE(chart.Save());
    const std::string part = Chart();
    EXPECT_TRUE(AppearInOrder(part, {"<c:lineChart>", "<c:idx val=\"0\"/><c:order val=\"0\"/>",
                                     "<c:idx val=\"1\"/><c:order val=\"1\"/>",
                                     "<c:axId val=\"100\"/><c:axId val=\"101\"/></c:lineChart>", "<c:barChart>",
                                     "<c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>",
                                     "<c:idx val=\"2\"/><c:order val=\"2\"/>", "<c:idx val=\"3\"/><c:order val=\"3\"/>",
                                     "<c:idx val=\"4\"/><c:order val=\"4\"/>",
                                     "<c:axId val=\"102\"/><c:axId val=\"103\"/></c:barChart>"}))
        << part;
    // Main axes, then the second axes: top category axis crossing at the
    // maximum, right value axis.
    EXPECT_TRUE(AppearInOrder(part, {"<c:catAx><c:axId val=\"100\"/>", "<c:valAx><c:axId val=\"101\"/>",
                                     "<c:catAx><c:axId val=\"102\"/>", "<c:axPos val=\"t\"/>",
                                     "<c:crossAx val=\"103\"/><c:crosses val=\"max\"/>",
                                     "<c:valAx><c:axId val=\"103\"/>", "<c:axPos val=\"r\"/>",
                                     "<c:crossAx val=\"102\"/><c:crosses val=\"max\"/>", "</c:plotArea>"}))
        << part;
    // The second series have no categories: the top axis is not linked.
    const std::string topAxis = part.substr(part.find("<c:catAx><c:axId val=\"102\"/>"));
    EXPECT_EQ(topAxis.substr(0, topAxis.find("</c:catAx>")).find("c:numFmt"), std::string::npos);

    // A second plot type without second series draws no plot on axes that
    // would not be written.
    CChartsheet single(2, scratch.path);
    single.GetDiagramm().secondType = CHART_LINE;
    ASSERT_TRUE(single.AddSeries(ValuesOnly(data, 0, 9, 1)));
    ASSERT_TRUE(single.Save());
    const std::string singlePart = Part("xl/charts/chart2.xml");
    EXPECT_EQ(CountOf(singlePart, "<c:lineChart>"), 1u);
    EXPECT_EQ(singlePart.find("val=\"102\""), std::string::npos);
}

TEST_F(ChartParts, LegendPositionsAndDataTables)
{
    struct Case {
        uint32_t legend;
        uint32_t table;
        std::string legendText;
        std::string tableText;
    };
    const Case cases[] = {
        {6, 0, "<c:legendPos val=\"r\"/><c:layout/><c:overlay val=\"0\"/>", ""},
        {2, 1, "<c:legendPos val=\"r\"/><c:layout/><c:overlay val=\"1\"/>",
         "<c:dTable><c:showHorzBorder val=\"1\"/><c:showVertBorder val=\"1\"/><c:showOutline val=\"1\"/></c:dTable>"},
        {1, 2, "<c:legendPos val=\"l\"/><c:layout/><c:overlay val=\"1\"/>",
         "<c:dTable><c:showHorzBorder val=\"1\"/><c:showVertBorder val=\"1\"/><c:showOutline val=\"1\"/>"
         "<c:showKeys val=\"1\"/></c:dTable>"},
        {7, 0, "<c:legendPos val=\"t\"/><c:layout/><c:overlay val=\"0\"/>", ""},
        {8, 0, "<c:legendPos val=\"b\"/><c:layout/><c:overlay val=\"0\"/>", ""},
        {4, 0, "<c:legendPos val=\"b\"/><c:layout/><c:overlay val=\"1\"/>", ""},
        {0, 0, "", ""},
    };
    for (const Case& c : cases) {
        ScratchDir folder;
        CChartsheet chart(1, folder.path);
        chart.GetDiagramm().legendPosition = c.legend;
        chart.GetDiagramm().tableData = c.table;
        ASSERT_TRUE(chart.AddSeries(ValuesOnly(data, 0, 3, 1)));
        ASSERT_TRUE(chart.Save());
        const std::string part = ReadFile(folder.File("xl/charts/chart1.xml"));
        if (c.legendText.empty())
            EXPECT_EQ(part.find("<c:legend>"), std::string::npos) << c.legend;
        else
            EXPECT_NE(part.find("</c:plotArea><c:legend>" + c.legendText + "</c:legend><c:plotVisOnly"),
                      std::string::npos)
                << c.legend << part;
        if (c.tableText.empty())
            EXPECT_EQ(part.find("c:dTable"), std::string::npos) << c.table;
        else
            EXPECT_NE(part.find(c.tableText + "</c:plotArea>"), std::string::npos) << c.table << part;
    }
}

TEST_F(ChartParts, AxisSettingsAreWrittenInSchemaOrderAndHiddenAxesKeepTheirLetter)
{
    CChartsheet chart(1, scratch.path);
    CChartsheet::Axis& x = chart.GetXAxis();
    x.name = "Week";
    x.nameSize = 12;
    x.grid = 3;
    x.minValue = "1";
    x.maxValue = "10";
    x.labelAngle = 45;
    x.labelSkip = 2;
    x.markSkip = 3;
    x.crosses = 1;
    CChartsheet::Axis y = chart.GetYAxis();
    y.name = "Hours";
    y.grid = 1;
    y.numberFormatLinked = false;
    chart.SetYAxis(y);
    ASSERT_TRUE(chart.AddSeries(ValuesOnly(data, 0, 9, 1)));
    ASSERT_TRUE(chart.Save());
    const std::string part = Chart();
    EXPECT_TRUE(AppearInOrder(
        part, {"<c:catAx><c:axId val=\"100\"/><c:scaling><c:orientation val=\"minMax\"/><c:max val=\"10\"/>"
               "<c:min val=\"1\"/></c:scaling><c:delete val=\"0\"/><c:axPos val=\"b\"/><c:majorGridlines/>"
               "<c:minorGridlines/><c:title><c:tx><c:rich><a:bodyPr/>",
               "<a:defRPr lang=\"en-US\" sz=\"1200\"/>", "<a:t>Week</a:t>",
               "</c:title><c:tickLblPos val=\"nextTo\"/><c:txPr><a:bodyPr rot=\"2700000\"/><a:lstStyle/><a:p><a:pPr>"
               "<a:defRPr/></a:pPr><a:endParaRPr lang=\"en-US\"/></a:p></c:txPr><c:crossAx val=\"101\"/>"
               "<c:crosses val=\"min\"/><c:auto val=\"1\"/><c:lblAlgn val=\"ctr\"/><c:lblOffset val=\"100\"/>"
               "<c:tickLblSkip val=\"2\"/><c:tickMarkSkip val=\"3\"/></c:catAx>"}))
        << part;
    // A value axis title stands vertically; the axis has no label settings.
    EXPECT_TRUE(AppearInOrder(
        part, {"<c:valAx><c:axId val=\"101\"/>", "<c:axPos val=\"l\"/><c:majorGridlines/><c:title><c:tx><c:rich>"
               "<a:bodyPr rot=\"-5400000\" vert=\"horz\"/>",
               "<a:defRPr lang=\"en-US\" sz=\"1000\"/>", "<a:t>Hours</a:t>",
               "</c:title><c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"100\"/><c:crosses val=\"autoZero\"/>"
               "<c:crossBetween val=\"between\"/></c:valAx>"}))
        << part;

    // Hidden axes keep the position letter of their kind.
    CChartsheet line(2, scratch.path);
    line.GetXAxis().position = 0;
    line.GetYAxis().position = 0;
    ASSERT_TRUE(line.AddSeries(ValuesOnly(data, 0, 9, 1)));
    ASSERT_TRUE(line.Save());
    EXPECT_TRUE(AppearInOrder(Part("xl/charts/chart2.xml"), {"<c:catAx>", "<c:delete val=\"1\"/><c:axPos val=\"b\"/>",
                                                           "<c:valAx>", "<c:delete val=\"1\"/><c:axPos val=\"l\"/>"}));

    // A scatter plot's x axis is a value axis: "l" when hidden.
    CChartsheet scatter(3, CHART_SCATTER, scratch.path);
    scatter.GetXAxis().position = 0;
    ASSERT_TRUE(scatter.AddSeries(Range(data, 0, 9, 0, 1)));
    ASSERT_TRUE(scatter.Save());
    const std::string scatterPart = Part("xl/charts/chart3.xml");
    EXPECT_EQ(scatterPart.find("<c:catAx>"), std::string::npos);
    EXPECT_TRUE(AppearInOrder(scatterPart, {"<c:valAx><c:axId val=\"100\"/>",
                                            "<c:delete val=\"1\"/><c:axPos val=\"l\"/>",
                                            "<c:numFmt formatCode=\"General\" sourceLinked=\"1\"/>",
                                            "<c:crossAx val=\"101\"/><c:crosses val=\"autoZero\"/><c:crossBetween",
                                            "<c:valAx><c:axId val=\"101\"/>"}))
        << scatterPart;
}

TEST_F(ChartParts, SeriesLooksFollowTheirFlagsAndThePlotStyle)
{
    CChartsheet line(1, scratch.path);
    Series styled = Range(data, 0, 9, 0, 1);
    styled.dashed = true;
    styled.marked = true;
    styled.smooth = true;
    ASSERT_TRUE(line.AddSeries(styled));
    ASSERT_TRUE(line.Save());
    EXPECT_NE(Chart().find("<c:order val=\"0\"/><c:spPr><a:ln><a:prstDash val=\"dash\"/></a:ln></c:spPr>"
                           "<c:marker><c:symbol val=\"diamond\"/></c:marker><c:cat>"),
              std::string::npos)
        << Chart();
    EXPECT_NE(Chart().find("</c:val><c:smooth val=\"1\"/></c:ser>"), std::string::npos);

    CChartsheet bars(2, CHART_BAR, scratch.path);
    bars.GetDiagramm().barDirection = 1;
    bars.GetDiagramm().barGrouping = 2;
    ASSERT_TRUE(bars.AddSeries(styled));  // line looks do not apply to bars
    ASSERT_TRUE(bars.Save());
    const std::string barPart = Part("xl/charts/chart2.xml");
    EXPECT_NE(barPart.find("<c:barChart><c:barDir val=\"bar\"/><c:grouping val=\"percentStacked\"/><c:ser>"
                           "<c:idx val=\"0\"/><c:order val=\"0\"/><c:cat>"),
              std::string::npos)
        << barPart;
    EXPECT_NE(barPart.find("</c:val></c:ser><c:axId val=\"100\"/><c:axId val=\"101\"/></c:barChart>"),
              std::string::npos);

    CChartsheet oddBars(3, CHART_BAR, scratch.path);
    oddBars.GetDiagramm().barDirection = 5;
    oddBars.GetDiagramm().barGrouping = 9;
    ASSERT_TRUE(oddBars.AddSeries(ValuesOnly(data, 0, 9, 1)));
    ASSERT_TRUE(oddBars.Save());
    EXPECT_NE(Part("xl/charts/chart3.xml").find("<c:barChart><c:ser>"), std::string::npos);

    CChartsheet markers(4, CHART_SCATTER, scratch.path);
    markers.GetDiagramm().scatterStyle = 1;
    ASSERT_TRUE(markers.AddSeries(Range(data, 0, 9, 0, 2, "squares")));
    ASSERT_TRUE(markers.Save());
    EXPECT_NE(Part("xl/charts/chart4.xml")
                  .find("<c:scatterChart><c:scatterStyle val=\"lineMarker\"/><c:ser><c:idx val=\"0\"/>"
                        "<c:order val=\"0\"/><c:tx><c:v>squares</c:v></c:tx><c:spPr><a:ln w=\"28575\"><a:noFill/>"
                        "</a:ln></c:spPr><c:marker><c:symbol val=\"diamond\"/></c:marker><c:xVal><c:numRef>"
                        "<c:f>'Data'!$A1:$A10</c:f></c:numRef></c:xVal><c:yVal><c:numRef><c:f>'Data'!$C1:$C10</c:f>"
                        "</c:numRef></c:yVal><c:smooth val=\"0\"/></c:ser><c:axId val=\"100\"/><c:axId val=\"101\"/>"
                        "</c:scatterChart>"),
              std::string::npos)
        << Part("xl/charts/chart4.xml");

    CChartsheet smooth(5, CHART_SCATTER, scratch.path);
    ASSERT_TRUE(smooth.AddSeries(Range(data, 0, 9, 0, 2)));
    ASSERT_TRUE(smooth.Save());
    EXPECT_NE(Part("xl/charts/chart5.xml")
                  .find("<c:scatterStyle val=\"smoothMarker\"/><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/>"
                        "<c:marker><c:symbol val=\"none\"/></c:marker><c:xVal>"),
              std::string::npos);
}

TEST_F(ChartParts, AddSeriesRefusesRangesThatCannotBeDrawn)
{
    CChartsheet line(1, scratch.path);
    Series noValues = Range(data, 0, 9, 0, 1);
    noValues.valueSheet = nullptr;
    EXPECT_FALSE(line.AddSeries(noValues));
    EXPECT_FALSE(line.AddSeries(Range(data, 0, 0, 0, 0)));  // valueTo (0, 0)
    Series beyond = Range(data, 0, 9, 0, 1);
    beyond.valueTo = {kMaxRows, 1};
    EXPECT_FALSE(line.AddSeries(beyond));
    beyond = Range(data, 0, 9, 0, 1);
    beyond.categoryTo = {9, kMaxColumns};
    EXPECT_FALSE(line.AddSeries(beyond));
    EXPECT_TRUE(line.GetMainSeries().empty());
    EXPECT_TRUE(line.AddSeries(ValuesOnly(data, 0, 9, 1)));  // a line needs no categories
    EXPECT_TRUE(line.AddSeries(ValuesOnly(data, 0, kMaxRows - 1, kMaxColumns - 1)));

    CChartsheet scatter(2, CHART_SCATTER, scratch.path);
    EXPECT_FALSE(scatter.AddSeries(ValuesOnly(data, 0, 9, 1)));
    Series noX = Range(data, 0, 9, 0, 1);
    noX.categoryTo = {0, 0};
    EXPECT_FALSE(scatter.AddSeries(noX));
    EXPECT_TRUE(scatter.GetMainSeries().empty());
    EXPECT_TRUE(scatter.AddSeries(ValuesOnly(data, 0, 9, 1), false));  // the second plot is no scatter
    scatter.GetDiagramm().secondType = CHART_SCATTER;
    EXPECT_FALSE(scatter.AddSeries(ValuesOnly(data, 0, 9, 1), false));
    EXPECT_EQ(scatter.GetSecondSeries().size(), 1u);
}

TEST_F(ChartParts, SaveRefusesChartsThatCannotBeDrawn)
{
    CChartsheet empty(1, scratch.path);
    EXPECT_FALSE(empty.Save());
    EXPECT_EQ(Chart(), "");  // nothing written
    EXPECT_FALSE(fs::exists(scratch.File("xl/chartsheets/sheet1.xml")));
    EXPECT_FALSE(fs::exists(scratch.File("xl/drawings/drawing1.xml")));

    CChartsheet noPlot(2, scratch.path);
    ASSERT_TRUE(noPlot.AddSeries(ValuesOnly(data, 0, 9, 1)));
    noPlot.GetDiagramm().mainType = CHART_NONE;
    EXPECT_FALSE(noPlot.Save());

    CChartsheet unknownPlot(3, scratch.path);
    ASSERT_TRUE(unknownPlot.AddSeries(ValuesOnly(data, 0, 9, 1)));
    unknownPlot.GetDiagramm().mainType = static_cast<EChartTypes>(7);
    EXPECT_FALSE(unknownPlot.Save());

    CChartsheet noSecondPlot(4, scratch.path);
    ASSERT_TRUE(noSecondPlot.AddSeries(ValuesOnly(data, 0, 9, 1)));
    ASSERT_TRUE(noSecondPlot.AddSeries(ValuesOnly(data, 0, 9, 2), false));
    EXPECT_FALSE(noSecondPlot.Save());

    // Turned into a scatter plot after a series without x values was added.
    CChartsheet lateScatter(5, scratch.path);
    ASSERT_TRUE(lateScatter.AddSeries(ValuesOnly(data, 0, 9, 1)));
    lateScatter.GetDiagramm().mainType = CHART_SCATTER;
    EXPECT_FALSE(lateScatter.Save());

    CChartsheet detached;
    EXPECT_FALSE(detached.IsOk());
    EXPECT_TRUE(detached.AddSeries(ValuesOnly(data, 0, 9, 1)));
    EXPECT_FALSE(detached.Save());
}

TEST_F(ChartParts, TitlesAreCutAndEscaped)
{
    CChartsheet chart(1, scratch.path);
    chart.SetTitle(std::string(40, 'x'));
    EXPECT_EQ(chart.GetTitle(), std::string(31, 'x'));
    chart.SetTitle(std::string(30, 'x') + "\xC3\xA9");  // no character is split
    EXPECT_EQ(chart.GetTitle(), std::string(30, 'x'));
    chart.SetTitle("A & <B>");
    chart.GetDiagramm().name = "1 < 2 & \"3\"";
    Series series = ValuesOnly(data, 0, 9, 1);
    series.title = "<tag>";
    ASSERT_TRUE(chart.AddSeries(series));
    ASSERT_TRUE(chart.Save());
    EXPECT_TRUE(IsWellFormedXml(Chart())) << Chart();
    EXPECT_NE(Chart().find("<a:t>1 &lt; 2 &amp; \"3\"</a:t>"), std::string::npos);
    EXPECT_NE(Chart().find("<c:v>&lt;tag&gt;</c:v>"), std::string::npos);
    EXPECT_NE(Part("xl/drawings/drawing1.xml").find("name=\"A &amp; &lt;B&gt;\""), std::string::npos);
}

TEST(Chartsheets, LineBarAndScatterChartsReadBackInAnIndependentReader)
{
    PackageScratch scratch;
    const std::string path = scratch.Output("charts.xlsx");
    {
        CWorkbook book;
        CWorksheet& data = book.AddSheet("Data");
        FillData(data);
        CWorksheet& other = book.AddSheet("O'Brien");
        FillData(other);

        CChartsheet& line = book.AddChart("Trend");
        line.GetDiagramm().name = "Hours per week";
        line.GetDiagramm().secondType = CHART_BAR;
        ASSERT_TRUE(line.AddSeries(Range(data, 0, 9, 0, 1, "Planned")));
        ASSERT_TRUE(line.AddSeries(Range(other, 0, 9, 0, 2, "Given")));
        ASSERT_TRUE(line.AddSeries(Range(data, 0, 9, 0, 3, "Free"), false));

        CChartsheet& bar = book.AddChart("Bars", CHART_BAR);
        ASSERT_TRUE(bar.AddSeries(Range(data, 1, 4, 0, 2)));

        CChartsheet* scatter = book.AddChartPtr("Spread", CHART_SCATTER);
        ASSERT_NE(scatter, nullptr);
        ASSERT_TRUE(scatter->AddSeries(Range(other, 0, 9, 1, 2, "Spread")));
        EXPECT_EQ(line.GetIndex(), 1u);
        EXPECT_EQ(bar.GetIndex(), 2u);
        EXPECT_EQ(scatter->GetIndex(), 3u);
        ASSERT_TRUE(book.Save(path));
    }
    EXPECT_TRUE(scratch.TemporaryFilesRemoved());
    std::vector<std::string> expected = {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"};
    for (const std::string n : {"1", "2", "3"}) {
        expected.push_back("xl/charts/chart" + n + ".xml");
        expected.push_back("xl/chartsheets/sheet" + n + ".xml");
        expected.push_back("xl/chartsheets/_rels/sheet" + n + ".xml.rels");
        expected.push_back("xl/drawings/drawing" + n + ".xml");
        expected.push_back("xl/drawings/_rels/drawing" + n + ".xml.rels");
    }
    EXPECT_EQ(EntryNames(path), FixedEntriesAnd(expected));

    EXPECT_EQ(CheckPackage(path, R"J({
        "sheets": [{"name": "Data", "cells": {"A1": 1, "B10": 15}}, {"name": "O'Brien", "cells": {"C3": 9}},
                   {"name": "Trend"}, {"name": "Bars"}, {"name": "Spread"}],
        "chartsheets": [
          {"name": "Trend", "title": "Hours per week", "plots": [
            {"type": "lineChart", "series": [
              {"idx": 0, "title": "Planned", "cat": "'Data'!$A1:$A10", "val": "'Data'!$B1:$B10"},
              {"idx": 1, "title": "Given", "cat": "'O''Brien'!$A1:$A10", "val": "'O''Brien'!$C1:$C10"}]},
            {"type": "barChart", "series": [
              {"idx": 2, "title": "Free", "cat": "'Data'!$A1:$A10", "val": "'Data'!$D1:$D10"}]}]},
          {"name": "Bars", "plots": [
            {"type": "barChart", "series": [{"idx": 0, "title": null, "cat": "'Data'!$A2:$A5",
                                             "val": "'Data'!$C2:$C5"}]}]},
          {"name": "Spread", "plots": [
            {"type": "scatterChart", "series": [{"idx": 0, "cat": "'O''Brien'!$B1:$B10",
                                                 "val": "'O''Brien'!$C1:$C10"}]}]}]})J"),
              "OK");

    const std::string types = ReadEntry(path, "[Content_Types].xml");
    EXPECT_TRUE(AppearInOrder(types, {"\"/xl/worksheets/sheet2.xml\"", "\"/xl/charts/chart1.xml\"",
                                      "\"/xl/drawings/drawing1.xml\"", "\"/xl/chartsheets/sheet1.xml\"",
                                      "\"/xl/charts/chart3.xml\"", "\"/xl/drawings/drawing3.xml\"",
                                      "\"/xl/chartsheets/sheet3.xml\""}))
        << types;
    const std::string app = ReadEntry(path, "docProps/app.xml");
    EXPECT_NE(app.find("<HeadingPairs><vt:vector size=\"4\" baseType=\"variant\"><vt:variant><vt:lpstr>Worksheets"
                       "</vt:lpstr></vt:variant><vt:variant><vt:i4>2</vt:i4></vt:variant><vt:variant><vt:lpstr>"
                       "Diagramms</vt:lpstr></vt:variant><vt:variant><vt:i4>3</vt:i4></vt:variant></vt:vector>"
                       "</HeadingPairs><TitlesOfParts><vt:vector size=\"5\" baseType=\"lpstr\"><vt:lpstr>Data"
                       "</vt:lpstr><vt:lpstr>O'Brien</vt:lpstr><vt:lpstr>Trend</vt:lpstr><vt:lpstr>Bars</vt:lpstr>"
                       "<vt:lpstr>Spread</vt:lpstr></vt:vector></TitlesOfParts>"),
              std::string::npos)
        << app;
}

TEST(Chartsheets, WorkbookRelationshipIdsWithAndWithoutFormulas)
{
    const std::string chartRel =
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet\" "
        "Target=\"chartsheets/sheet1.xml\"/>";
    for (const bool withFormula : {false, true}) {
        PackageScratch scratch;
        const std::string path = scratch.Output("ids.xlsx");
        CWorkbook book;
        CWorksheet& first = book.AddSheet("First");
        first.AddRow(std::vector<CellDataStr>{"text", "1"});
        CWorksheet& second = book.AddSheet("Second");
        second.AddRow(std::vector<CellDataInt>{1, 2});
        if (withFormula) second.AddRow(std::vector<CellDataStr>{"=A1+B1"});
        CChartsheet& chart = book.AddChart("Chart");
        ASSERT_TRUE(chart.AddSeries(ValuesOnly(second, 0, 0, 1)));
        ASSERT_TRUE(book.Save(path)) << withFormula;

        const std::string rels = ReadEntry(path, "xl/_rels/workbook.xml.rels");
        const std::string workbook = ReadEntry(path, "xl/workbook.xml");
        if (!withFormula) {
            EXPECT_TRUE(AppearInOrder(rels, {"Id=\"rId3\" ", "sheet1.xml\"", "Id=\"rId4\" ", "sheet2.xml\"",
                                             "<Relationship Id=\"rId5\" " + chartRel,
                                             "<Relationship Id=\"rId6\" ", "sharedStrings.xml\"/></Relationships>"}))
                << rels;
            EXPECT_NE(workbook.find("<sheets><sheet name=\"First\" sheetId=\"1\" r:id=\"rId3\"/><sheet name=\"Second\" "
                                    "sheetId=\"2\" r:id=\"rId4\"/><sheet name=\"Chart\" sheetId=\"3\" "
                                    "r:id=\"rId5\"/></sheets>"),
                      std::string::npos)
                << workbook;
        } else {
            EXPECT_TRUE(AppearInOrder(rels, {"Id=\"rId4\" ", "sheet2.xml\"", "<Relationship Id=\"rId5\" ",
                                             "calcChain.xml\"/>", "<Relationship Id=\"rId6\" " + chartRel,
                                             "<Relationship Id=\"rId7\" ", "sharedStrings.xml\"/></Relationships>"}))
                << rels;
            EXPECT_NE(workbook.find("<sheet name=\"Chart\" sheetId=\"3\" r:id=\"rId6\"/></sheets>"), std::string::npos)
                << workbook;
        }
        EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "First"}, {"name": "Second", "cells": {"A1": 1}},
            {"name": "Chart"}], "chartsheets": [{"name": "Chart", "plots": [{"type": "lineChart",
            "series": [{"idx": 0, "cat": null, "val": "'Second'!$B1:$B1"}]}]}]})J"),
                  "OK");
    }
}

TEST(Chartsheets, ChartsheetNamesAreValidAndUniqueAmongAllSheets)
{
    PackageScratch scratch;
    CWorkbook book;
    CWorksheet& data = book.AddSheet("Data");
    FillData(data);
    CChartsheet& same = book.AddChart("data");
    CChartsheet& bad = book.AddChart("a/b?");
    CChartsheet& empty = book.AddChart("");
    CChartsheet& longName = book.AddChart(std::string(40, 'c'));
    CWorksheet& late = book.AddSheet("Data (2)");  // taken by the chartsheet
    EXPECT_EQ(same.GetTitle(), "data (2)");
    EXPECT_EQ(bad.GetTitle(), "a_b_");
    EXPECT_EQ(empty.GetTitle(), "Sheet 3");
    EXPECT_EQ(longName.GetTitle(), std::string(31, 'c'));
    EXPECT_EQ(late.GetTitle(), "Data (2) (2)");
    for (CChartsheet* chart : {&same, &bad, &empty, &longName})
        ASSERT_TRUE(chart->AddSeries(ValuesOnly(data, 0, 9, 1)));
    const std::string path = scratch.Output("names.xlsx");
    ASSERT_TRUE(book.Save(path));
    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "Data"}, {"name": "Data (2) (2)"}, {"name": "data (2)"},
        {"name": "a_b_"}, {"name": "Sheet 3"}, {"name": "ccccccccccccccccccccccccccccccc"}]})J"),
              "OK");
}

TEST(Chartsheets, AChartWithoutSeriesFailsTheWholeSaveAndLeavesNothing)
{
    PackageScratch scratch;
    const std::string path = scratch.Output("failed.xlsx");
    {
        CWorkbook book;
        CWorksheet& data = book.AddSheet("Data");
        FillData(data);
        ASSERT_TRUE(book.AddChart("Good").AddSeries(ValuesOnly(data, 0, 9, 1)));
        book.AddChart("Empty", CHART_BAR);
        EXPECT_TRUE(fs::exists(book.GetTempPath() + "/xl/charts/chart2.xml"));  // opened when added
        EXPECT_FALSE(book.Save(path));
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(scratch.TemporaryFilesRemoved());
}

TEST(Chartsheets, ChartsheetsThatCannotBeMadeAreReported)
{
    {
        // A file where the charts folder belongs: the chart part cannot be opened.
        PackageScratch scratch;
        CWorkbook book;
        FillData(book.AddSheet("Data"));
        const std::string blocker = book.GetTempPath() + "/xl/charts";
        std::ofstream(blocker) << "in the way";
        EXPECT_EQ(book.AddChartPtr("Chart"), nullptr);
        EXPECT_FALSE(book.AddChart("Chart").IsOk());
        fs::remove(blocker);
        EXPECT_FALSE(book.Save(scratch.Output("detached.xlsx")));
        EXPECT_FALSE(fs::exists(scratch.Output("detached.xlsx")));
        EXPECT_TRUE(scratch.TemporaryFilesRemoved());
    }
    // No temporary folder can be made at all.
    ScratchDir outside;
    ScopedEnv tmpdir("TMPDIR", outside.File("missing").c_str());
    CWorkbook book;
    EXPECT_EQ(book.AddChartPtr("Chart"), nullptr);
    CChartsheet& detached = book.AddChart("Chart", CHART_SCATTER);
    EXPECT_FALSE(detached.IsOk());
    const std::string path = outside.File("out.xlsx");
    EXPECT_FALSE(book.Save(path));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::is_empty(outside.path));
}
