// [Content_Types].xml: the content type of every part in the package, as
// the manifest lists them.

#include <set>
#include <string>

#include "xlsx/internal/PackageManifest.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

namespace {

std::string ExtensionOf(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

bool SaveContentType(const PackageView& package)
{
    using namespace xmlw;
    PartFile part(package.tempPath, "[Content_Types].xml");
    {
        XmlStream xml(part.Stream());
        xml << prolog() << tag("Types") << attr("xmlns") << ns_content_types;
        std::set<std::string> defaults;
        for (const ManifestEntry* entry : package.manifest.ContentTypeOrder()) {
            if (!entry->typedByExtension)
                xml << tag("Override") << attr("PartName") << "/" + entry->name;
            else if (defaults.insert(ExtensionOf(entry->name)).second)
                xml << tag("Default") << attr("Extension") << ExtensionOf(entry->name);
            else
                continue;
            xml << attr("ContentType") << entry->contentType << endtag();
        }
    }
    return part.Close();
}

}  // namespace SimpleXlsx
