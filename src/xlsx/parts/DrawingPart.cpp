// xl/drawings/drawing<N>.xml and its relationships: the frame that places
// a chartsheet's chart on the whole sheet.

#include "xlsx/Chartsheet.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/XmlStream.h"

#include <string>

namespace SimpleXlsx {

bool CChartsheet::SaveDrawing() const
{
    using namespace xmlw;
    PartFile part(tempPath, "xl/drawings/drawing" + std::to_string(index) + ".xml");
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("xdr:wsDr") << attr("xmlns:xdr") << ns_xdr << attr("xmlns:a")
            << ns_a;
        xml << tag("xdr:absoluteAnchor");
        xml << tag("xdr:pos") << attr("x") << 0 << attr("y") << 0 << endtag();
        xml << tag("xdr:ext") << attr("cx") << 9312088 << attr("cy") << 6084794 << endtag();

        xml << tag("xdr:graphicFrame") << attr("macro") << "";
        xml << tag("xdr:nvGraphicFramePr");
        xml << tag("xdr:cNvPr") << attr("id") << 2 << attr("name") << title << endtag();
        xml << tag("xdr:cNvGraphicFramePr") << tag("a:graphicFrameLocks") << attr("noGrp") << 1
            << endtag() << endtag();
        xml << endtag();  // xdr:nvGraphicFramePr
        xml << tag("xdr:xfrm");
        xml << tag("a:off") << attr("x") << 0 << attr("y") << 0 << endtag();
        xml << tag("a:ext") << attr("cx") << 0 << attr("cy") << 0 << endtag();
        xml << endtag();  // xdr:xfrm
        xml << tag("a:graphic") << tag("a:graphicData") << attr("uri") << ns_c;
        xml << tag("c:chart") << attr("xmlns:c") << ns_c << attr("xmlns:r") << ns_book_r
            << attr("r:id") << "rId1" << endtag();
        xml << endtag() << endtag();  // a:graphicData, a:graphic
        xml << endtag();              // xdr:graphicFrame

        xml << tag("xdr:clientData") << endtag();
    }
    return part.Close();
}

}  // namespace SimpleXlsx
