// xl/workbook.xml: the sheets with their names, ids and relationship ids, and
// the defined names of their print titles.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/SheetName.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/XmlStream.h"
#include "xlsx/internal/PackageManifest.h"

namespace SimpleXlsx {

namespace {

// The rows and columns each worksheet repeats on its printed pages, as
// defined names local to the sheet (localSheetId: its position among the
// sheets, from 0).
void WritePrintTitles(xmlw::XmlStream& xml, const PackageView& package)
{
    using namespace xmlw;
    bool any = false;
    for (size_t position = 0; position < package.worksheets.size(); ++position) {
        const std::string titles = package.worksheets[position]->GetPrintTitles();
        if (titles.empty())
            continue;
        if (!any)
            xml << tag("definedNames");
        any = true;
        xml << tag("definedName") << attr("name") << "_xlnm.Print_Titles" << attr("localSheetId")
            << position << chardata() << titles << endtag();
    }
    if (any)
        xml << endtag();
}

}  // namespace

bool SaveWorkbook(const PackageView& package)
{
    using namespace xmlw;
    const PackageManifest& manifest = package.manifest;
    PartFile book(package.tempPath, "xl/workbook.xml");
    {
        XmlStream xml(book.Stream());
        xml << prolog() << tag("workbook") << attr("xmlns") << ns_book << attr("xmlns:r")
            << ns_book_r;
        xml << tag("fileVersion") << attr("appName") << "xl" << attr("lastEdited") << 5
            << attr("lowestEdited") << 5 << attr("rupBuild") << 9302 << endtag();
        xml << tag("workbookPr") << attr("codeName") << "ThisWorkbook"
            << attr("defaultThemeVersion") << 124226 << endtag();
        xml << tag("bookViews") << tag("workbookView") << attr("xWindow") << 270 << attr("yWindow")
            << 630 << attr("windowWidth") << 24615 << attr("windowHeight") << 11445 << endtag()
            << endtag();
        if (!package.worksheets.empty() || !package.charts.empty()) {
            xml << tag("sheets");
            size_t sheetId = 0;
            const auto sheetEntry = [&](const std::string& title, const std::string& part) {
                xml << tag("sheet") << attr("name") << SheetNameAttribute(title) << attr("sheetId")
                    << ++sheetId << attr("r:id") << manifest.RelationshipId(part) << endtag();
            };
            for (const auto& sheet : package.worksheets)
                sheetEntry(sheet->GetTitle(),
                           PackageManifest::WorksheetPartName(sheet->GetIndex()));
            for (const auto& chart : package.charts)
                sheetEntry(chart->GetTitle(),
                           PackageManifest::ChartsheetPartName(chart->GetIndex()));
            xml << endtag();
        }
        WritePrintTitles(xml, package);
        xml << tag("calcPr") << attr("calcId") << 124519 << endtag();
    }
    return book.Close();
}

}  // namespace SimpleXlsx
