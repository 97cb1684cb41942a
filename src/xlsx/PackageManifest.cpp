#include "xlsx/internal/PackageManifest.h"

#include <algorithm>

#include "xlsx/internal/PackageVocabulary.h"

namespace SimpleXlsx {

namespace {

// Groups of [Content_Types].xml, in the order they are listed.
enum ContentGroup : uint32_t
{
    relsDefault,
    xmlDefault,
    workbookType,
    themeType,
    stylesType,
    coreType,
    appType,
    sharedStringsType,
    vmlDefault,
    commentsType,
    worksheetType,
    calcChainType,
    chartType,
};

const char* const workbookPart = "xl/workbook.xml";

std::string Numbered(const char* prefix, uint32_t index, const char* suffix)
{
    return prefix + std::to_string(index) + suffix;
}

std::string FolderOf(const std::string& name)
{
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

ManifestEntry Part(std::string name, const char* contentType, ManifestEntry::ContentKey key,
                   const char* relationshipType = nullptr, std::string owner = std::string(),
                   uint32_t relationshipId = 0)
{
    return ManifestEntry{std::move(name),  contentType,      false,          key,
                         relationshipType, std::move(owner), relationshipId, relationshipId};
}

}  // namespace

PackageManifest::PackageManifest(const std::vector<Worksheet>& worksheets,
                                 const std::vector<uint32_t>& chartsheets, bool hasSharedStrings)
{
    const bool hasFormula = std::any_of(worksheets.begin(), worksheets.end(),
                                        [](const Worksheet& sheet) { return sheet.hasFormula; });

    // Relationship ids of the workbook part, in the order it lists them:
    // styles, theme, the worksheets, the calculation chain, the
    // chartsheets, the shared strings.
    uint32_t id = 0;
    const uint32_t stylesId = ++id;
    const uint32_t themeId = ++id;
    std::vector<uint32_t> worksheetIds;
    for (size_t p = 0; p < worksheets.size(); ++p)
        worksheetIds.push_back(++id);
    const uint32_t calcChainId = hasFormula ? ++id : 0;
    std::vector<uint32_t> chartsheetIds;
    for (size_t p = 0; p < chartsheets.size(); ++p)
        chartsheetIds.push_back(++id);
    const uint32_t sharedStringsId = hasSharedStrings ? ++id : 0;

    ManifestEntry contentTypes = Part("[Content_Types].xml", content_xml, {xmlDefault, 0, 0});
    contentTypes.typedByExtension = true;
    Add(contentTypes);
    AddRelationshipsPart("");
    // The package lists its relationships from the last id to the first.
    ManifestEntry core =
        Part("docProps/core.xml", content_core, {coreType, 0, 0}, type_core, "", 2);
    ManifestEntry app = Part("docProps/app.xml", content_app, {appType, 0, 0}, type_app, "", 3);
    ManifestEntry book = Part(workbookPart, content_book, {workbookType, 0, 0}, type_book, "", 1);
    core.relationshipPosition = 2;
    app.relationshipPosition = 1;
    book.relationshipPosition = 3;
    Add(core);
    Add(app);
    Add(book);
    Add(Part("xl/styles.xml", content_styles, {stylesType, 0, 0}, type_style, workbookPart,
             stylesId));
    AddRelationshipsPart(workbookPart);
    Add(Part("xl/theme/theme1.xml", content_theme, {themeType, 0, 0}, type_theme, workbookPart,
             themeId));
    if (hasFormula)
        Add(Part("xl/calcChain.xml", content_chain, {calcChainType, 0, 0}, type_chain, workbookPart,
                 calcChainId));
    for (const Worksheet& sheet : worksheets) {
        if (!sheet.hasComment)
            continue;
        const std::string sheetPart = WorksheetPartName(sheet.index);
        Add(Part(Numbered("xl/comments", sheet.index, ".xml"), content_comment,
                 {commentsType, sheet.index, 0}, type_comments, sheetPart, 2));
        ManifestEntry drawing =
            Part(Numbered("xl/drawings/vmlDrawing", sheet.index, ".vml"), content_vml,
                 {vmlDefault, sheet.index, 0}, type_vml, sheetPart, 1);
        drawing.typedByExtension = true;
        Add(drawing);
    }
    if (hasSharedStrings)
        Add(Part("xl/sharedStrings.xml", content_sharedStr, {sharedStringsType, 0, 0},
                 type_sharedStr, workbookPart, sharedStringsId));
    for (size_t p = 0; p < worksheets.size(); ++p) {
        const uint32_t index = worksheets[p].index;
        const std::string sheetPart = WorksheetPartName(index);
        Add(Part(sheetPart, content_sheet, {worksheetType, index, 0}, type_sheet, workbookPart,
                 worksheetIds[p]));
        if (worksheets[p].hasComment)
            AddRelationshipsPart(sheetPart);
    }
    for (size_t p = 0; p < chartsheets.size(); ++p) {
        const uint32_t index = chartsheets[p];
        const std::string sheetPart = ChartsheetPartName(index);
        const std::string drawingPart = Numbered("xl/drawings/drawing", index, ".xml");
        Add(Part(Numbered("xl/charts/chart", index, ".xml"), content_chart, {chartType, index, 0},
                 type_chart, drawingPart, 1));
        Add(Part(sheetPart, content_chartsheet, {chartType, index, 2}, type_chartsheet,
                 workbookPart, chartsheetIds[p]));
        AddRelationshipsPart(sheetPart);
        Add(Part(drawingPart, content_drawing, {chartType, index, 1}, type_drawing, sheetPart, 1));
        AddRelationshipsPart(drawingPart);
    }
}

void PackageManifest::Add(ManifestEntry entry)
{
    byName.emplace(entry.name, entries.size());
    entries.push_back(std::move(entry));
}

void PackageManifest::AddRelationshipsPart(const std::string& owner)
{
    ManifestEntry part = Part(RelationshipsPartName(owner), content_rels, {relsDefault, 0, 0});
    part.typedByExtension = true;
    Add(part);
}

std::vector<std::string> PackageManifest::PartNames() const
{
    std::vector<std::string> names;
    for (const ManifestEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}

std::vector<const ManifestEntry*> PackageManifest::ContentTypeOrder() const
{
    std::vector<const ManifestEntry*> order;
    for (const ManifestEntry& entry : entries)
        order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(),
                     [](const ManifestEntry* a, const ManifestEntry* b) {
                         return a->contentKey < b->contentKey;
                     });
    return order;
}

std::vector<std::string> PackageManifest::Owners() const
{
    std::vector<std::string> owners;
    for (const ManifestEntry& entry : entries)
        if (entry.relationshipType != nullptr &&
            std::find(owners.begin(), owners.end(), entry.owner) == owners.end())
            owners.push_back(entry.owner);
    return owners;
}

std::vector<const ManifestEntry*> PackageManifest::RelationshipsOf(const std::string& owner) const
{
    std::vector<const ManifestEntry*> relationships;
    for (const ManifestEntry& entry : entries)
        if (entry.relationshipType != nullptr && entry.owner == owner)
            relationships.push_back(&entry);
    std::sort(relationships.begin(), relationships.end(),
              [](const ManifestEntry* a, const ManifestEntry* b) {
                  return a->relationshipPosition < b->relationshipPosition;
              });
    return relationships;
}

std::string PackageManifest::RelationshipId(const std::string& name) const
{
    const auto found = byName.find(name);
    if (found == byName.end() || entries[found->second].relationshipType == nullptr)
        return std::string();
    return "rId" + std::to_string(entries[found->second].relationshipId);
}

std::string PackageManifest::WorksheetPartName(uint32_t index)
{
    return Numbered("xl/worksheets/sheet", index, ".xml");
}

std::string PackageManifest::ChartsheetPartName(uint32_t index)
{
    return Numbered("xl/chartsheets/sheet", index, ".xml");
}

std::string PackageManifest::RelationshipsPartName(const std::string& owner)
{
    const std::string folder = FolderOf(owner);
    return folder + "_rels/" + owner.substr(folder.size()) + ".rels";
}

std::string PackageManifest::RelativeTarget(const std::string& owner, const std::string& name)
{
    std::string folder = FolderOf(owner);
    std::string up;
    while (name.compare(0, folder.size(), folder) != 0) {
        folder = FolderOf(folder.substr(0, folder.size() - 1));
        up += "../";
    }
    return up + name.substr(folder.size());
}

}  // namespace SimpleXlsx
