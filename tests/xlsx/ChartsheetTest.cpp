#include "xlsx/Chartsheet.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/PackageSheets.h"

#include "XlsxTest.h"

using namespace SimpleXlsx;
using xt::InOrder;
using Series = CChartsheet::Series;

namespace {

// A series over rows `first` to `last` (from 0): categories in column
// `categoryColumn` (none when -1), values in `valueColumn`.
Series Range(const CWorksheet& sheet, uint32_t first, uint32_t last, int categoryColumn,
             uint32_t valueColumn, const std::string& title = std::string())
{
    Series series;
    if (categoryColumn >= 0) {
        series.categorySheet = &sheet;
        series.categoryFrom = {first, static_cast<uint32_t>(categoryColumn)};
        series.categoryTo = {last, static_cast<uint32_t>(categoryColumn)};
    }
    series.valueSheet = &sheet;
    series.valueFrom = {first, valueColumn};
    series.valueTo = {last, valueColumn};
    series.title = title;
    return series;
}

Series ValuesOnly(const CWorksheet& sheet, uint32_t first, uint32_t last, uint32_t column)
{
    return Range(sheet, first, last, -1, column);
}

// Ten rows of numbers: 1..10 in A, then B = 1.5 A, C = A * A, D = 11 - A.
void FillData(CWorksheet& sheet)
{
    for (int i = 1; i <= 10; ++i)
        sheet.AddRow(std::vector<CellDataDbl>{double(i), 1.5 * i, double(i * i), double(11 - i)});
}

// Chartsheets written straight into a scratch folder, with detached
// worksheets that only lend their titles to the references.
class ChartParts : public testing::Test
{
protected:
    ChartParts() { data.SetTitle("Data"); }
    std::string Part(const std::string& name) const
    {
        return support::readFile(scratch.file(name));
    }
    std::string Chart(int n = 1) const
    {
        return Part("xl/charts/chart" + std::to_string(n) + ".xml");
    }
    // Saves a chart of one series of values, after `setUp` changed it.
    template <typename SetUp>
    std::string Saved(uint32_t index, EChartTypes type, SetUp setUp)
    {
        PackageChartsheet chart(index, type, scratch.path());
        setUp(chart);
        EXPECT_TRUE(chart.Save());
        return Chart(index);
    }
    // Compares the next chart saved, of `type` after `setUp`, with a reference.
    template <typename SetUp>
    void Expect(EChartTypes type, const char* reference, SetUp setUp)
    {
        EXPECT_EQ(Saved(++charts, type, setUp), xt::Reference(reference)) << reference;
    }

    support::ScratchFolder scratch;
    PackageWorksheet data;
    uint32_t charts = 0;
};

}  // namespace

TEST_F(ChartParts, RangeReferencesDoubleApostrophes)
{
    PackageWorksheet other, quotes;
    other.SetTitle("O'Brien's");
    quotes.SetTitle("''");
    EXPECT_EQ(CChartsheet::RangeReference(other, {2, 26}, {1048575, 16383}),
              "'O''Brien''s'!$AA3:$XFD1048576");
    EXPECT_EQ(CChartsheet::RangeReference(quotes, {0, 0}, {0, 0}), "''''''!$A1:$A1");
}

// Chart parts that each setting shapes, written exactly: a plain line; a second plot
// numbers its series on and uses the second axes; axis settings come in
// schema order and hidden axes keep the letter of their kind; dashes,
// markers and smoothing apply to lines only; a scatter plot's style.
TEST_F(ChartParts, SettingsShapeThePartExactly)
{
    Series styled = Range(data, 0, 9, 0, 1);
    styled.dashed = true;
    styled.marked = true;
    styled.smooth = true;
    Expect(CHART_LINE, "line-chart.xml", [&](CChartsheet& chart) {
        chart.GetDiagramm().name = "Hours";
        chart.AddSeries(Range(data, 0, 9, 0, 1, "Mon"));
    });
    Expect(CHART_LINE, "second-plot-chart.xml", [&](CChartsheet& chart) {
        chart.GetDiagramm().secondType = CHART_BAR;
        chart.AddSeries(Range(data, 0, 9, 0, 1, "first"));
        chart.AddSeries(Range(data, 0, 9, 0, 2, "second"));
        for (uint32_t column = 1; column <= 3; ++column)
            chart.AddSeries(ValuesOnly(data, 0, 9, column), false);
    });
    Expect(CHART_LINE, "axis-settings-chart.xml", [&](CChartsheet& chart) {
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
        chart.AddSeries(ValuesOnly(data, 0, 9, 1));
    });
    Expect(CHART_LINE, "hidden-axes-chart.xml", [&](CChartsheet& chart) {
        chart.GetXAxis().position = 0;
        chart.GetYAxis().position = 0;
        chart.AddSeries(ValuesOnly(data, 0, 9, 1));
    });
    Expect(CHART_LINE, "styled-line-chart.xml",
           [&](CChartsheet& chart) { chart.AddSeries(styled); });
    Expect(CHART_BAR, "styled-bar-chart.xml", [&](CChartsheet& chart) {
        chart.GetDiagramm().barDirection = 1;
        chart.GetDiagramm().barGrouping = 2;
        chart.AddSeries(styled);
    });
    Expect(CHART_SCATTER, "scatter-markers-chart.xml", [&](CChartsheet& chart) {
        chart.GetDiagramm().scatterStyle = 1;
        chart.AddSeries(Range(data, 0, 9, 0, 2, "squares"));
    });
}

TEST_F(ChartParts, LegendPositionsAndDataTables)
{
    for (const support::tableRow& row : support::testTable("xlsx/data/legends.tsv")) {
        const std::string part = Saved(++charts, CHART_LINE, [&](CChartsheet& chart) {
            chart.GetDiagramm().legendPosition = uint32_t(std::stoul(row[0]));
            chart.GetDiagramm().tableData = uint32_t(std::stoul(row[1]));
            chart.AddSeries(ValuesOnly(data, 0, 3, 1));
        });
        EXPECT_TRUE(xt::Has(part, "</c:valAx>" + row[2] + "<c:plotVisOnly")) << row[0] << row[1];
    }
}

TEST_F(ChartParts, SeriesAndChartsThatCannotBeDrawnAreRefused)
{
    PackageChartsheet line(1, scratch.path());
    Series noValues = Range(data, 0, 9, 0, 1), beyondRows = noValues, beyondColumns = noValues,
           noX = noValues;
    noValues.valueSheet = nullptr;
    beyondRows.valueTo = {maxRows, 1};
    beyondColumns.categoryTo = {9, maxColumns};
    noX.categoryTo = {0, 0};
    for (const Series& series : {noValues, Range(data, 0, 0, 0, 0), beyondRows, beyondColumns})
        EXPECT_FALSE(line.AddSeries(series));
    EXPECT_TRUE(line.GetMainSeries().empty());
    EXPECT_TRUE(line.AddSeries(
        ValuesOnly(data, 0, maxRows - 1, maxColumns - 1)));  // a line needs no categories

    PackageChartsheet scatter(2, CHART_SCATTER, scratch.path());
    EXPECT_FALSE(scatter.AddSeries(ValuesOnly(data, 0, 9, 1)));
    EXPECT_FALSE(scatter.AddSeries(noX));
    EXPECT_TRUE(scatter.GetMainSeries().empty());
    EXPECT_TRUE(
        scatter.AddSeries(ValuesOnly(data, 0, 9, 1), false));  // the second plot is no scatter
    scatter.GetDiagramm().secondType = CHART_SCATTER;
    EXPECT_FALSE(scatter.AddSeries(ValuesOnly(data, 0, 9, 1), false));

    PackageChartsheet empty(3, scratch.path());
    EXPECT_FALSE(empty.Save());
    EXPECT_EQ(Chart(3), "");  // nothing written
    EXPECT_FALSE(xt::fs::exists(scratch.file("xl/chartsheets/sheet3.xml")));
    EXPECT_FALSE(xt::fs::exists(scratch.file("xl/drawings/drawing3.xml")));
    const std::pair<EChartTypes, bool> unusable[] = {{CHART_NONE, false},
                                                     {static_cast<EChartTypes>(7), false},
                                                     {CHART_LINE, true},
                                                     {CHART_SCATTER, false}};
    uint32_t index = 3;
    for (const auto& [type, secondSeries] :
         unusable) {  // no plot, no second plot, a scatter without x values
        PackageChartsheet chart(++index, scratch.path());
        ASSERT_TRUE(chart.AddSeries(ValuesOnly(data, 0, 9, 1)));
        if (secondSeries) {
            ASSERT_TRUE(chart.AddSeries(ValuesOnly(data, 0, 9, 2), false));
        }
        chart.GetDiagramm().mainType = type;
        EXPECT_FALSE(chart.Save()) << index;
    }
    PackageChartsheet detached;
    EXPECT_FALSE(detached.IsOk());
    EXPECT_TRUE(detached.AddSeries(ValuesOnly(data, 0, 9, 1)));
    EXPECT_FALSE(detached.Save());
}

TEST_F(ChartParts, TitlesAreCutAndEscaped)
{
    PackageChartsheet chart(1, scratch.path());
    ASSERT_TRUE(chart.IsOk());
    EXPECT_EQ(chart.GetTitle(), "Diagramm 1");
    for (const std::string& title :
         {std::string(40, 'x'), std::string(30, 'x') + "\xC3\xA9"}) {  // no character is split
        chart.SetTitle(title);
        EXPECT_EQ(chart.GetTitle(), std::string(title.size() == 40 ? 31 : 30, 'x'));
    }
    chart.SetTitle("A & <B>");
    chart.GetDiagramm().name = "1 < 2 & \"3\"";
    Series series = ValuesOnly(data, 0, 9, 1);
    series.title = "<tag>";
    ASSERT_TRUE(chart.AddSeries(series));
    ASSERT_TRUE(chart.Save());
    EXPECT_TRUE(InOrder(Chart(), {"<a:t>1 &lt; 2 &amp; \"3\"</a:t>", "<c:v>&lt;tag&gt;</c:v>"}));
    EXPECT_TRUE(xt::Has(Part("xl/drawings/drawing1.xml"), "name=\"A &amp; &lt;B&gt;\""));
    EXPECT_FALSE(chart.Save());  // a chartsheet is saved once
}

using Chartsheets = xt::Package;

// Line, bar and scatter charts read back, with and without a calculation
// chain before the chartsheets among the workbook's relationships.
TEST_F(Chartsheets, ThreeChartsReadBackInAnIndependentReader)
{
    for (const bool withFormula : {false, true}) {
        SCOPED_TRACE(withFormula ? "with formula" : "without formula");
        {
            CWorkbook book;
            CWorksheet& data = book.AddSheet("Data");
            FillData(data);
            if (withFormula)
                data.AddRow(std::vector<CellDataStr>{"=A1+B1"});
            CWorksheet& other = book.AddSheet("O'Brien");
            FillData(other);
            CChartsheet& line = book.AddChart("Trend");
            line.GetDiagramm().name = "Hours per week";
            line.GetDiagramm().secondType = CHART_BAR;
            ASSERT_TRUE(line.AddSeries(Range(data, 0, 9, 0, 1, "Planned")));
            ASSERT_TRUE(line.AddSeries(Range(other, 0, 9, 0, 2, "Given")));
            ASSERT_TRUE(line.AddSeries(Range(data, 0, 9, 0, 3, "Free"), false));
            ASSERT_TRUE(book.AddChart("Bars", CHART_BAR).AddSeries(Range(data, 1, 4, 0, 2)));
            CChartsheet* scatter = book.AddChartPtr("Spread", CHART_SCATTER);
            ASSERT_NE(scatter, nullptr);
            ASSERT_TRUE(scatter->AddSeries(Range(other, 0, 9, 1, 2, "Spread")));
            Save(book);
        }
        EXPECT_EQ(scratch.temporaryFiles(), 0u);
        std::vector<std::string> expected = {"xl/worksheets/sheet1.xml",
                                             "xl/worksheets/sheet2.xml"};
        if (withFormula)
            expected.insert(expected.begin(), "xl/calcChain.xml");
        for (const std::string n : {"1", "2", "3"})
            for (const std::string part :
                 {"charts/chart", "chartsheets/sheet", "chartsheets/_rels/sheet",
                  "drawings/drawing", "drawings/_rels/drawing"})
                expected.push_back("xl/" + part + n +
                                   (xt::Has(part, "_rels") ? ".xml.rels" : ".xml"));
        EXPECT_EQ(support::zipEntryNames(path), xt::FixedEntriesAnd(expected));
        const std::string variant = withFormula ? "three-charts-formula-" : "three-charts-";
        EXPECT_EQ(Part("xl/_rels/workbook.xml.rels"), xt::Reference(variant + "workbook.xml.rels"));
        EXPECT_EQ(Part("xl/workbook.xml"), xt::Reference(variant + "workbook.xml"));
        EXPECT_EQ(Part("docProps/app.xml"), xt::Reference("three-charts-app.xml"));
        EXPECT_EQ(support::checkPackage(path, xt::Reference("three-charts.json")), "OK");
    }
}

TEST_F(Chartsheets, ChartsWithoutSeriesOrPartsFailTheSaveAndLeaveNothing)
{
    for (const bool blocked : {false, true}) {
        CWorkbook book;
        CWorksheet& data = book.AddSheet("Data");
        FillData(data);
        if (blocked) {  // a file where the charts folder belongs: no chart part can be opened
            xt::fs::create_directories(book.GetTempPath() + "/xl");
            std::ofstream(book.GetTempPath() + "/xl/charts") << "in the way";
            EXPECT_EQ(book.AddChartPtr("Chart"), nullptr);
            EXPECT_FALSE(book.AddChart("Chart").IsOk());
            xt::fs::remove(book.GetTempPath() + "/xl/charts");
        } else {
            ASSERT_TRUE(book.AddChart("Good").AddSeries(ValuesOnly(data, 0, 9, 1)));
            book.AddChart("Empty", CHART_BAR);  // no main series
        }
        EXPECT_FALSE(book.Save(scratch.file("failed.xlsx")));
        EXPECT_FALSE(xt::fs::exists(scratch.file("failed.xlsx")));
        EXPECT_EQ(scratch.temporaryFiles(), 0u);
    }
}

TEST(Demo, ExampleWorkbookReadsBack)
{
    support::ScratchFolder scratch;
    const std::string path = scratch.file("demo.xlsx");
    ASSERT_EQ(std::system(("'" HORATAB_XLSX_DEMO "' '" + path + "' > /dev/null").c_str()), 0);
    EXPECT_EQ(scratch.temporaryFiles(), 0u);
    EXPECT_EQ(support::checkPackage(path, xt::Reference("demo-workbook.json")), "OK");
}
