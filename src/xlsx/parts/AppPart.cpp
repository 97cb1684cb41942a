// docProps/app.xml: the application properties and the sheet titles.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

bool CWorkbook::SaveApp()
{
    using namespace xmlw;
    PartFile part(tempPath, "docProps/app.xml");
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("Properties") << attr("xmlns") << ns_doc_prop << attr("xmlns:vt")
            << ns_vt;
        xml << tag("Application") << chardata() << "Microsoft Excel" << endtag();
        xml << tag("DocSecurity") << chardata() << 0 << endtag();
        xml << tag("ScaleCrop") << chardata() << "false" << endtag();

        xml << tag("HeadingPairs") << tag("vt:vector") << attr("size") << (charts.empty() ? 2 : 4)
            << attr("baseType") << "variant";
        xml << tag("vt:variant") << tag("vt:lpstr") << chardata() << "Worksheets" << endtag()
            << endtag();
        xml << tag("vt:variant") << tag("vt:i4") << chardata() << worksheets.size() << endtag()
            << endtag();
        if (!charts.empty()) {
            xml << tag("vt:variant") << tag("vt:lpstr") << chardata() << "Diagramms" << endtag()
                << endtag();
            xml << tag("vt:variant") << tag("vt:i4") << chardata() << charts.size() << endtag()
                << endtag();
        }
        xml << endtag() << endtag();

        xml << tag("TitlesOfParts") << tag("vt:vector") << attr("size")
            << worksheets.size() + charts.size() << attr("baseType") << "lpstr";
        for (const auto& sheet : worksheets)
            xml << tag("vt:lpstr") << chardata() << sheet->GetTitle() << endtag();
        for (const auto& chart : charts)
            xml << tag("vt:lpstr") << chardata() << chart->GetTitle() << endtag();
        xml << endtag() << endtag();

        xml << tag("Company") << chardata() << endtag();
        xml << tag("LinksUpToDate") << chardata() << "false" << endtag();
        xml << tag("SharedDoc") << chardata() << "false" << endtag();
        xml << tag("HyperlinksChanged") << chardata() << "false" << endtag();
        xml << tag("AppVersion") << chardata() << 14.03 << endtag();
    }
    return part.Close();
}

}  // namespace SimpleXlsx
