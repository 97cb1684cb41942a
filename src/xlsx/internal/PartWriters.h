#ifndef HORATAB_XLSX_INTERNAL_PARTWRITERS_H
#define HORATAB_XLSX_INTERNAL_PARTWRITERS_H

// The writers of the workbook-level parts, one source file each under
// parts/. Each reads the package through a PackageView and writes its part
// file into the package folder; false when the part could not be fully
// written.

#include <memory>
#include <string>
#include <vector>

#include "xlsx/Comment.h"
#include "xlsx/Style.h"

namespace SimpleXlsx {

class PackageChartsheet;
class PackageManifest;
class PackageWorksheet;
class SharedStringTable;

// What the part writers read: the workbook's contents and its manifest.
struct PackageView
{
    const std::string& tempPath;
    const std::vector<std::unique_ptr<PackageWorksheet>>& worksheets;
    const std::vector<std::unique_ptr<PackageChartsheet>>& charts;
    const SharedStringTable& sharedStrings;
    const std::vector<Comment>& comments;  // ordered by worksheet
    const StyleList& styleList;
    const PackageManifest& manifest;
};

bool SaveCore(const PackageView& package);           // docProps/core.xml
bool SaveApp(const PackageView& package);            // docProps/app.xml
bool SaveContentType(const PackageView& package);    // [Content_Types].xml
bool SaveTheme(const PackageView& package);          // xl/theme/theme1.xml
bool SaveComments(const PackageView& package);       // xl/comments<N>.xml, vmlDrawing<N>.vml
bool SaveSharedStrings(const PackageView& package);  // xl/sharedStrings.xml
bool SaveStyles(const PackageView& package);         // xl/styles.xml
bool SaveWorkbook(const PackageView& package);       // xl/workbook.xml
bool SaveChain(const PackageView& package);          // xl/calcChain.xml

// The relationships part of `owner` ("" for the package's own), listing
// what the manifest says `owner` points at.
bool SaveRelationships(const PackageView& package, const std::string& owner);

// The format code of a number format, and the colour prefix of one of its
// sections.
std::string GetFormatCodeString(const NumFormat& format);
std::string GetFormatCodeColor(ENumericStyleColor color);

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_PARTWRITERS_H
