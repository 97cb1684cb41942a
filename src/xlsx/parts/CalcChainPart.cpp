// xl/calcChain.xml: the formula cells of every worksheet.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

bool SaveChain(const PackageView& package)
{
    using namespace xmlw;
    const std::string partName = "xl/calcChain.xml";
    PartFile part(package.tempPath, partName);
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("calcChain") << attr("xmlns") << ns_book;
        std::vector<std::string> cells;
        for (size_t p = 0; p < package.worksheets.size(); ++p) {
            if (!package.worksheets[p]->IsThereFormula())
                continue;
            package.worksheets[p]->GetCalcChain(cells);
            // The sheet id (creation position + 1) is given on the first
            // cell of each sheet; the following cells inherit it.
            for (size_t k = 0; k < cells.size(); ++k) {
                xml << tag("c");
                if (k == 0)
                    xml << attr("i") << p + 1;
                xml << attr("r") << cells[k] << endtag();
            }
        }
    }
    return part.Close();
}

}  // namespace SimpleXlsx
