// docProps/core.xml: the author and the dates.

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
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

}  // namespace

bool SaveCore(const PackageView& package)
{
    PartFile core(package.tempPath, "docProps/core.xml");
    {
        xmlw::XmlStream xml(core.Stream());
        WriteCoreProperties(xml, PackageAuthor(), UtcTimestamp());
    }
    return core.Close();
}

}  // namespace SimpleXlsx
