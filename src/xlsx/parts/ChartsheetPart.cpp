// xl/chartsheets/sheet<N>.xml and its relationships: the sheet that shows
// the drawing of the chart.

#include "xlsx/Chartsheet.h"
#include "xlsx/internal/PackageManifest.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/XmlStream.h"

#include <string>

namespace SimpleXlsx {

bool CChartsheet::SaveChartsheet() const
{
    using namespace xmlw;
    PartFile part(tempPath, PackageManifest::ChartsheetPartName(index));
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("chartsheet") << attr("xmlns") << ns_book << attr("xmlns:r")
            << ns_book_r;
        xml << tag("sheetPr") << endtag();
        xml << tag("sheetViews") << tag("sheetView") << attr("zoomScale") << 85
            << attr("workbookViewId") << 0 << attr("zoomToFit") << 1 << endtag() << endtag();
        xml << tag("pageMargins") << attr("left") << 0.7 << attr("right") << 0.7 << attr("top")
            << 0.75 << attr("bottom") << 0.75 << attr("header") << 0.3 << attr("footer") << 0.3
            << endtag();
        xml << tag("drawing") << attr("r:id") << "rId1" << endtag();
    }
    return part.Close();
}

}  // namespace SimpleXlsx
