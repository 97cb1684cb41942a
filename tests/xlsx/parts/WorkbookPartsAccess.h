#ifndef HORATAB_TESTS_XLSX_PARTS_WORKBOOKPARTSACCESS_H
#define HORATAB_TESTS_XLSX_PARTS_WORKBOOKPARTSACCESS_H

#include "xlsx/PackageVocabulary.h"
#include "xlsx/Workbook.h"

#include "TestSupport.h"

#include <string>
#include <vector>

namespace SimpleXlsx
{

// Calls the private part writers of a workbook and reads what they wrote.
class WorkbookPartsAccess
{
public:
    static bool SaveCore(CWorkbook& book) { return book.SaveCore(); }
    static bool SaveApp(CWorkbook& book) { return book.SaveApp(); }
    static bool SaveContentType(CWorkbook& book) { return book.SaveContentType(); }
    static bool SaveWorkbook(CWorkbook& book) { return book.SaveWorkbook(); }
    static bool SaveStyles(CWorkbook& book) { return book.SaveStyles(); }
    static bool SaveSharedStrings(CWorkbook& book) { return book.SaveSharedStrings(); }
    static bool SaveChain(CWorkbook& book) { return book.SaveChain(); }
    static bool SaveTheme(CWorkbook& book) { return book.SaveTheme(); }

    static std::string FormatCode(const NumFormat& format) { return CWorkbook::GetFormatCodeString(format); }
    static std::string FormatColor(ENumericStyleColor color) { return CWorkbook::GetFormatCodeColor(color); }

    static const std::vector<std::string>& ContentFiles(const CWorkbook& book) { return book.contentFiles; }
    static void SetTempPath(CWorkbook& book, const std::string& path) { book.tempPath = path; }

    static std::string ReadPart(const CWorkbook& book, const std::string& partName)
    {
        return testsupport::ReadFile(PartPath(book.tempPath, partName));
    }
};

} // namespace SimpleXlsx

#endif
