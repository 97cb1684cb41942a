// xl/workbook.xml and its relationships xl/_rels/workbook.xml.rels.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/SharedStringTable.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/XmlStream.h"
#include "xlsx/internal/WorkbookFacts.h"

namespace SimpleXlsx {

namespace {

void WriteRelationship(xmlw::XmlStream& xml, size_t number, const char* type, const char* target)
{
    using namespace xmlw;
    xml << tag("Relationship") << attr("Id") << "rId" << number << attr("Type") << type
        << attr("Target") << target << endtag();
}

}  // namespace

bool CWorkbook::SaveWorkbook()
{
    using namespace xmlw;
    const bool hasFormula = AnyFormula(worksheets);

    PartFile relationships(tempPath, "xl/_rels/workbook.xml.rels");
    {
        XmlStream xml(relationships.Stream());
        xml << prolog() << tag("Relationships") << attr("xmlns") << ns_relationships;
        WriteRelationship(xml, 1, type_style, "styles.xml");
        WriteRelationship(xml, 2, type_theme, "theme/theme1.xml");
        for (size_t p = 0; p < worksheets.size(); ++p)
            xml << tag("Relationship") << attr("Id") << "rId" << WorksheetRelationshipNumber(p)
                << attr("Type") << type_sheet << attr("Target") << "worksheets/sheet"
                << worksheets[p]->GetIndex() << ".xml" << endtag();
        if (hasFormula)
            WriteRelationship(xml, CalcChainRelationshipNumber(worksheets.size()), type_chain,
                              "calcChain.xml");
        for (size_t p = 0; p < charts.size(); ++p)
            xml << tag("Relationship") << attr("Id") << "rId"
                << ChartsheetRelationshipNumber(worksheets.size(), hasFormula, p) << attr("Type")
                << type_chartsheet << attr("Target") << "chartsheets/sheet" << charts[p]->GetIndex()
                << ".xml" << endtag();
        if (!sharedStrings->empty())
            WriteRelationship(
                xml, SharedStringsRelationshipNumber(worksheets.size(), hasFormula, charts.size()),
                type_sharedStr, "sharedStrings.xml");
    }
    const bool relationshipsWritten = relationships.Close();

    PartFile book(tempPath, "xl/workbook.xml");
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
        if (!worksheets.empty() || !charts.empty()) {
            xml << tag("sheets");
            for (size_t p = 0; p < worksheets.size(); ++p)
                xml << tag("sheet") << attr("name") << worksheets[p]->GetTitle() << attr("sheetId")
                    << p + 1 << attr("r:id") << "rId" << WorksheetRelationshipNumber(p) << endtag();
            for (size_t p = 0; p < charts.size(); ++p)
                xml << tag("sheet") << attr("name") << charts[p]->GetTitle() << attr("sheetId")
                    << worksheets.size() + p + 1 << attr("r:id") << "rId"
                    << ChartsheetRelationshipNumber(worksheets.size(), hasFormula, p) << endtag();
            xml << endtag();
        }
        xml << tag("calcPr") << attr("calcId") << 124519 << endtag();
    }
    return book.Close() && relationshipsWritten;
}

}  // namespace SimpleXlsx
