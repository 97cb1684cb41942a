#ifndef HORATAB_XLSX_INTERNAL_PACKAGEMANIFEST_H
#define HORATAB_XLSX_INTERNAL_PACKAGEMANIFEST_H

// The list of a package's parts: for each its name, its content type, the
// relationship that points at it and the part that owns that relationship.
// [Content_Types].xml, every relationships part, the relationship ids and
// the order of the archive entries all come from it.

#include <cstdint>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace SimpleXlsx {

struct ManifestEntry
{
    // Where the content type goes in [Content_Types].xml: a group, then the
    // sheet's index and a place among that sheet's parts.
    using ContentKey = std::tuple<uint32_t, uint32_t, uint32_t>;

    std::string name;               // package-relative part name
    const char* contentType;        // never null
    bool typedByExtension;          // a Default for its extension instead of an Override
    ContentKey contentKey;          // its place in [Content_Types].xml
    const char* relationshipType;   // null when no relationship points at the part
    std::string owner;              // the part whose relationships list it; "" the package
    uint32_t relationshipId;        // n of "rId<n>" among the owner's relationships
    uint32_t relationshipPosition;  // place in the owner's relationships part
};

class PackageManifest
{
public:
    // What decides the parts of a worksheet.
    struct Worksheet
    {
        uint32_t index;
        bool hasComment;
        bool hasFormula;
    };

    // The parts of a workbook with these worksheets and chartsheets (by
    // index, in creation order).
    PackageManifest(const std::vector<Worksheet>& worksheets,
                    const std::vector<uint32_t>& chartsheets, bool hasSharedStrings);

    // In archive order.
    const std::vector<ManifestEntry>& Entries() const { return entries; }
    std::vector<std::string> PartNames() const;
    bool Contains(const std::string& name) const { return byName.count(name) != 0; }

    // The entries with an Override or a Default, in the order of
    // [Content_Types].xml.
    std::vector<const ManifestEntry*> ContentTypeOrder() const;

    // The parts that own relationships ("" is the package), in archive
    // order of their first relationship's target; and the relationships of
    // one of them, in the order its relationships part lists them.
    std::vector<std::string> Owners() const;
    std::vector<const ManifestEntry*> RelationshipsOf(const std::string& owner) const;

    // "rId<n>" of the relationship that points at `name`; empty for none.
    std::string RelationshipId(const std::string& name) const;

    // "_rels/.rels" for the package, "xl/_rels/workbook.xml.rels" for
    // "xl/workbook.xml", and so on.
    static std::string RelationshipsPartName(const std::string& owner);
    // "xl/worksheets/sheet<index>.xml" and "xl/chartsheets/sheet<index>.xml".
    static std::string WorksheetPartName(uint32_t index);
    static std::string ChartsheetPartName(uint32_t index);
    // `name` as a relationship target relative to the folder of `owner`.
    static std::string RelativeTarget(const std::string& owner, const std::string& name);

private:
    void Add(ManifestEntry entry);
    void AddRelationshipsPart(const std::string& owner);

    std::vector<ManifestEntry> entries;
    std::unordered_map<std::string, size_t> byName;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_PACKAGEMANIFEST_H
