// [Content_Types].xml: the content type of every part in the package.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/SharedStringTable.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/XmlStream.h"
#include "xlsx/internal/WorkbookFacts.h"

namespace SimpleXlsx {

namespace {

void WriteOverride(xmlw::XmlStream& xml, const char* partName, const char* contentType)
{
    using namespace xmlw;
    xml << tag("Override") << attr("PartName") << partName << attr("ContentType") << contentType
        << endtag();
}

void WriteDefault(xmlw::XmlStream& xml, const char* extension, const char* contentType)
{
    using namespace xmlw;
    xml << tag("Default") << attr("Extension") << extension << attr("ContentType") << contentType
        << endtag();
}

}  // namespace

bool CWorkbook::SaveContentType()
{
    using namespace xmlw;
    const bool hasFormula = AnyFormula(worksheets);
    bool chainSaved = true;

    PartFile part(tempPath, "[Content_Types].xml");
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("Types") << attr("xmlns") << ns_content_types;
        WriteDefault(xml, "rels", content_rels);
        WriteDefault(xml, "xml", content_xml);
        WriteOverride(xml, "/xl/workbook.xml", content_book);
        WriteOverride(xml, "/xl/theme/theme1.xml", content_theme);
        WriteOverride(xml, "/xl/styles.xml", content_styles);
        WriteOverride(xml, "/docProps/core.xml", content_core);
        WriteOverride(xml, "/docProps/app.xml", content_app);
        if (!sharedStrings->empty())
            WriteOverride(xml, "/xl/sharedStrings.xml", content_sharedStr);
        if (!comments.empty()) {
            WriteDefault(xml, "vml", content_vml);
            for (const auto& sheet : worksheets)
                if (sheet->IsThereComment())
                    xml << tag("Override") << attr("PartName") << "/xl/comments"
                        << sheet->GetIndex() << ".xml" << attr("ContentType") << content_comment
                        << endtag();
        }
        for (const auto& sheet : worksheets)
            xml << tag("Override") << attr("PartName") << "/xl/worksheets/sheet"
                << sheet->GetIndex() << ".xml" << attr("ContentType") << content_sheet << endtag();
        if (hasFormula) {
            WriteOverride(xml, "/xl/calcChain.xml", content_chain);
            chainSaved = SaveChain();
        }
        for (const auto& chart : charts) {
            const std::string number = std::to_string(chart->GetIndex());
            WriteOverride(xml, ("/xl/charts/chart" + number + ".xml").c_str(), content_chart);
            WriteOverride(xml, ("/xl/drawings/drawing" + number + ".xml").c_str(), content_drawing);
            WriteOverride(xml, ("/xl/chartsheets/sheet" + number + ".xml").c_str(),
                          content_chartsheet);
        }
    }
    return part.Close() && chainSaved;
}

}  // namespace SimpleXlsx
