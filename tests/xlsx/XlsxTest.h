#ifndef HORATAB_TESTS_XLSX_XLSXTEST_H
#define HORATAB_TESTS_XLSX_XLSXTEST_H
// What the tests of the .xlsx writer share: the fixed entries of a package
// and searches in part texts.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/data.h"
#include "support/reader.h"
#include "support/scratch.h"
#include "support/zip.h"
#include "xlsx/Workbook.h"

namespace xt {

namespace fs = std::filesystem;

inline const std::string xmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";

// The expected bytes of a part, from the reference folder beside these tests.
inline std::string Reference(const std::string& name)
{
    return support::testFile("xlsx/reference/" + name);
}

// The entries every package starts with, then `more`.
inline std::vector<std::string> FixedEntriesAnd(const std::vector<std::string>& more)
{
    std::vector<std::string> names = {
        "[Content_Types].xml",        "_rels/.rels",        "docProps/core.xml",
        "docProps/app.xml",           "xl/workbook.xml",    "xl/styles.xml",
        "xl/_rels/workbook.xml.rels", "xl/theme/theme1.xml"};
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

inline size_t Count(const std::string& text, const std::string& needle)
{
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

inline bool Has(const std::string& text, const std::string& needle)
{
    return Count(text, needle) > 0;
}

// True when each of `needles` occurs in `text` after the one before it.
inline bool InOrder(const std::string& text, const std::vector<std::string>& needles)
{
    size_t at = 0;
    for (const std::string& needle : needles)
        if ((at = text.find(needle, at)) == std::string::npos)
            return false;
        else
            at += needle.size();
    return true;
}

// Workbooks saved into a scratch folder, and the parts of the last one.
class Package : public testing::Test
{
protected:
    void Save(SimpleXlsx::CWorkbook& book)
    {
        path = scratch.file(std::to_string(++saved) + ".xlsx");
        ASSERT_TRUE(book.Save(path));
    }
    std::string Part(const std::string& name) const { return support::zipEntry(path, name); }

    support::ScratchFolder scratch;
    std::string path;
    int saved = 0;
};

}  // namespace xt

#endif  // HORATAB_TESTS_XLSX_XLSXTEST_H
