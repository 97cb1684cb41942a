// docProps/core.xml (author and dates) and the package relationships.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/Workbook.h"
#include "xlsx/internal/XmlStream.h"

#include <cstdio>
#include <ctime>

namespace SimpleXlsx {

namespace {

// The current time in UTC, as in 2026-12-05T17:34:17Z.
std::string UtcTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%4d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

void WriteCoreProperties(xmlw::XmlStream& xml, const std::string& author,
                         const std::string& timestamp)
{
    using namespace xmlw;
    xml << prolog() << tag("cp:coreProperties") << attr("xmlns:cp") << ns_cp << attr("xmlns:dc")
        << ns_dc << attr("xmlns:dcterms") << ns_dcterms << attr("xmlns:dcmitype") << ns_dcmitype
        << attr("xmlns:xsi") << ns_xsi;
    xml << tag("dc:creator") << chardata() << author << endtag();
    xml << tag("cp:lastModifiedBy") << chardata() << author << endtag();
    xml << tag("dcterms:created") << attr("xsi:type") << xsi_type << chardata() << timestamp
        << endtag();
    xml << tag("dcterms:modified") << attr("xsi:type") << xsi_type << chardata() << timestamp
        << endtag();
}

void WritePackageRelationships(xmlw::XmlStream& xml)
{
    using namespace xmlw;
    xml << prolog() << tag("Relationships") << attr("xmlns") << ns_relationships;
    xml << tag("Relationship") << attr("Id") << "rId3" << attr("Type") << type_app << attr("Target")
        << "docProps/app.xml" << endtag();
    xml << tag("Relationship") << attr("Id") << "rId2" << attr("Type") << type_core
        << attr("Target") << "docProps/core.xml" << endtag();
    xml << tag("Relationship") << attr("Id") << "rId1" << attr("Type") << type_book
        << attr("Target") << "xl/workbook.xml" << endtag();
}

}  // namespace

bool CWorkbook::SaveCore()
{
    PartFile core(tempPath, "docProps/core.xml");
    {
        xmlw::XmlStream xml(core.Stream());
        WriteCoreProperties(xml, PackageAuthor(), UtcTimestamp());
    }
    const bool coreWritten = core.Close();

    PartFile relationships(tempPath, "_rels/.rels");
    {
        xmlw::XmlStream xml(relationships.Stream());
        WritePackageRelationships(xml);
    }
    return relationships.Close() && coreWritten;
}

}  // namespace SimpleXlsx
