// The relationships parts (_rels/.rels, xl/_rels/workbook.xml.rels and the
// sheets' and drawings' own), as the manifest lists them.

#include "xlsx/internal/PackageManifest.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

bool SaveRelationships(const PackageView& package, const std::string& owner)
{
    using namespace xmlw;
    PartFile part(package.tempPath, PackageManifest::RelationshipsPartName(owner));
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("Relationships") << attr("xmlns") << ns_relationships;
        for (const ManifestEntry* entry : package.manifest.RelationshipsOf(owner))
            xml << tag("Relationship") << attr("Id") << "rId" << entry->relationshipId
                << attr("Type") << entry->relationshipType << attr("Target")
                << PackageManifest::RelativeTarget(owner, entry->name) << endtag();
    }
    return part.Close();
}

}  // namespace SimpleXlsx
