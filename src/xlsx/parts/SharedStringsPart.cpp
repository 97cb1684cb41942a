// xl/sharedStrings.xml: every distinct cell text, in order of first use.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/SharedStringTable.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

bool SaveSharedStrings(const PackageView& package)
{
    using namespace xmlw;
    if (package.sharedStrings.empty())
        return true;

    // The table is ordered by text; the part lists the texts by index.
    const size_t count = package.sharedStrings.size();
    std::vector<const std::string*> byIndex(count, nullptr);
    for (const auto& entry : package.sharedStrings) {
        if (entry.second >= count || byIndex[entry.second] != nullptr)
            return false;  // indexes must be exactly 0 .. count - 1
        byIndex[entry.second] = &entry.first;
    }

    const std::string partName = "xl/sharedStrings.xml";
    PartFile part(package.tempPath, partName, 1024 * 1024);
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("sst") << attr("xmlns") << ns_book << attr("count") << count
            << attr("uniqueCount") << count;
        for (const std::string* text : byIndex) {
            xml << tag("si") << tag("t");
            if (xmlw::HasEdgeWhitespace(*text))
                xml << attr("xml:space") << "preserve";
            xml << chardata() << *text << endtag() << endtag();
        }
    }
    return part.Close();
}

}  // namespace SimpleXlsx
