// docProps/app.xml: the application properties and the sheet titles.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

bool SaveApp(const PackageView& package)
{
    using namespace xmlw;
    PartFile part(package.tempPath, "docProps/app.xml");
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("Properties") << attr("xmlns") << ns_doc_prop << attr("xmlns:vt")
            << ns_vt;
        xml << tag("Application") << chardata() << "Microsoft Excel" << endtag();
        xml << tag("DocSecurity") << chardata() << 0 << endtag();
        xml << tag("ScaleCrop") << chardata() << "false" << endtag();

        xml << tag("HeadingPairs") << tag("vt:vector") << attr("size")
            << (package.charts.empty() ? 2 : 4) << attr("baseType") << "variant";
        xml << tag("vt:variant") << tag("vt:lpstr") << chardata() << "Worksheets" << endtag()
            << endtag();
        xml << tag("vt:variant") << tag("vt:i4") << chardata() << package.worksheets.size()
            << endtag() << endtag();
        if (!package.charts.empty()) {
            xml << tag("vt:variant") << tag("vt:lpstr") << chardata() << "Diagramms" << endtag()
                << endtag();
            xml << tag("vt:variant") << tag("vt:i4") << chardata() << package.charts.size()
                << endtag() << endtag();
        }
        xml << endtag() << endtag();

        xml << tag("TitlesOfParts") << tag("vt:vector") << attr("size")
            << package.worksheets.size() + package.charts.size() << attr("baseType") << "lpstr";
        for (const auto& sheet : package.worksheets)
            xml << tag("vt:lpstr") << chardata() << sheet->GetTitle() << endtag();
        for (const auto& chart : package.charts)
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
