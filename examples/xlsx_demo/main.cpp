// Writes a small workbook with data, cell comments and charts, to look at
// in a spreadsheet program:  horatab-xlsx-demo [OUTPUT.xlsx]

#include <cstdio>
#include <string>
#include <vector>

#include "xlsx/Workbook.h"

using namespace SimpleXlsx;

namespace {

const char* const dayNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri"};
const double plannedHours[] = {6, 7, 5, 8, 4};
const double givenHours[] = {5, 7, 6, 7, 4};

// Header row, then one row per day: day number, day, planned, given hours.
void FillLessons(CWorksheet& sheet, int32_t headStyle)
{
    sheet.AddRow(std::vector<CellDataStr>{
        {"Day no.", headStyle}, {"Day", headStyle}, {"Planned", headStyle}, {"Given", headStyle}});
    for (int day = 0; day < 5; ++day) {
        sheet.BeginRow();
        sheet.AddCell(CellDataInt(day + 1));
        sheet.AddCell(CellDataStr(dayNames[day]));
        sheet.AddCell(CellDataDbl(plannedHours[day]));
        sheet.AddCell(CellDataDbl(givenHours[day]));
        sheet.EndRow();
    }
}

bool AddComments(CWorksheet& sheet)
{
    Font bold;
    bold.attributes = FONT_BOLD;
    bold.size = 9;
    Font plain;
    plain.size = 9;
    Comment note(CellCoord(3, 3), {{bold, "Ann:"}, {plain, " one lesson\nmoved from Monday"}});
    note.isHidden = false;  // shown at once
    return sheet.AddComment(CellCoord(1, 2), "Hours in the timetable") && sheet.AddComment(note);
}

// Rows 1..5 (from 0) of the lessons: planned and given hours per day.
CChartsheet::Series DaySeries(const CWorksheet& sheet, uint32_t valueColumn, const char* title)
{
    CChartsheet::Series series;
    series.categorySheet = &sheet;
    series.categoryFrom = {1, 0};
    series.categoryTo = {5, 0};
    series.valueSheet = &sheet;
    series.valueFrom = {1, valueColumn};
    series.valueTo = {5, valueColumn};
    series.title = title;
    series.marked = true;
    return series;
}

bool AddCharts(CWorkbook& book, const CWorksheet& lessons)
{
    CChartsheet* week = book.AddChartPtr("Week", CHART_BAR);
    if (week == nullptr)
        return false;
    CChartsheet::Diagramm& diagram = week->GetDiagramm();
    diagram.name = "Hours per day";
    diagram.secondType = CHART_LINE;
    diagram.legendPosition = 8;  // below the plot
    week->GetXAxis().name = "Day of the week";
    week->GetYAxis().name = "Hours";
    week->GetYAxis().grid = 1;
    week->GetY2Axis().position = 0;  // the line shares the scale of the bars
    week->GetY2Axis().minValue = "0";
    week->GetY2Axis().maxValue = "9";
    week->GetYAxis().minValue = "0";
    week->GetYAxis().maxValue = "9";
    week->GetX2Axis().position = 0;
    if (!week->AddSeries(DaySeries(lessons, 2, "Planned")) ||
        !week->AddSeries(DaySeries(lessons, 3, "Given"), false))
        return false;

    CChartsheet* spread = book.AddChartPtr("Planned vs given", CHART_SCATTER);
    if (spread == nullptr)
        return false;
    spread->GetDiagramm().name = "Planned against given hours";
    spread->GetDiagramm().scatterStyle = 1;
    spread->GetDiagramm().legendPosition = 0;
    spread->GetXAxis().name = "Planned";
    spread->GetYAxis().name = "Given";
    CChartsheet::Series points = DaySeries(lessons, 3, "Days");
    points.categoryFrom = {1, 2};
    points.categoryTo = {5, 2};
    return spread->AddSeries(points);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string output = argc > 1 ? argv[1] : "horatab_demo.xlsx";
    CWorkbook book;
    Style head;
    head.font.attributes = FONT_BOLD;
    head.fill.patternType = PATTERN_SOLID;
    head.fill.fgColor = "FFDDEBF7";
    const int32_t headStyle = static_cast<int32_t>(book.GetStyleList().Add(head));

    CWorksheet* lessons = book.AddSheetPtr("Lessons");
    if (lessons == nullptr) {
        std::fprintf(stderr, "horatab-xlsx-demo: cannot create a worksheet\n");
        return 1;
    }
    FillLessons(*lessons, headStyle);
    if (!AddComments(*lessons) || !AddCharts(book, *lessons)) {
        std::fprintf(stderr, "horatab-xlsx-demo: cannot add the comments and charts\n");
        return 1;
    }
    if (!book.Save(output)) {
        std::fprintf(stderr, "horatab-xlsx-demo: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("wrote %s\n", output.c_str());
    return 0;
}
