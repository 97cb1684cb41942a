#ifndef HORATAB_TESTS_XLSX_XLSXTEST_H
#define HORATAB_TESTS_XLSX_XLSXTEST_H

// Scratch folders, environment scopes and package readers shared by the
// tests of the .xlsx writer.

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unzip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace xt {

namespace fs = std::filesystem;

inline const std::string xmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";

// A fresh folder under the test temporary folder, removed with its contents.
struct ScratchDir
{
    ScratchDir()
    {
        std::string pattern = testing::TempDir() + "horatab_xlsx_XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path.empty())
            fs::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// Sets (with null: unsets) an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : name(name), had(std::getenv(name) != nullptr)
    {
        if (had)
            saved = std::getenv(name);
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had ? setenv(name, saved.c_str(), 1) : unsetenv(name); }
    ScopedEnv(const ScopedEnv&) = delete;

private:
    const char* name;
    bool had;
    std::string saved;
};

// A scratch folder whose "tmp" folder is TMPDIR, so that the temporary
// folders of the workbooks land there and their removal can be checked.
struct PackageScratch : ScratchDir
{
    PackageScratch()
        : tmp((fs::create_directory(File("tmp")), File("tmp"))), tmpdir("TMPDIR", tmp.c_str())
    {}
    bool TempEmpty() const { return fs::is_empty(tmp); }
    std::string tmp;
    ScopedEnv tmpdir;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios_base::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ZipEntry
{
    std::string name, data;
    uint64_t compressedSize = 0;
    bool crcOk = false;  // minizip checks the CRC when the entry is closed
};

// Every entry of an archive, in archive order.
inline std::vector<ZipEntry> ReadZip(const std::string& path)
{
    std::vector<ZipEntry> entries;
    unzFile zip = unzOpen64(path.c_str());
    for (int status = zip ? unzGoToFirstFile(zip) : UNZ_EOF; status == UNZ_OK;
         status = unzGoToNextFile(zip)) {
        char name[512], block[1 << 16];
        int count;
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
                UNZ_OK ||
            unzOpenCurrentFile(zip) != UNZ_OK)
            break;
        entries.push_back({name, "", info.compressed_size, false});
        while ((count = unzReadCurrentFile(zip, block, sizeof block)) > 0)
            entries.back().data.append(block, count);
        entries.back().crcOk = count == 0 && unzCloseCurrentFile(zip) == UNZ_OK;
    }
    if (zip)
        unzClose(zip);
    return entries;
}

inline std::vector<std::string> EntryNames(const std::string& path)
{
    std::vector<std::string> names;
    for (const ZipEntry& entry : ReadZip(path))
        names.push_back(entry.name);
    return names;
}

// The uncompressed bytes of one entry; "<missing>" when absent or damaged.
inline std::string Entry(const std::string& path, const std::string& name)
{
    for (const ZipEntry& entry : ReadZip(path))
        if (entry.name == name && entry.crcOk)
            return entry.data;
    return "<missing>";
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

// Runs the independent reader (openpyxl, check_package.py) on `package`
// with the expectations in `json`: "OK" or what it found.
inline std::string CheckPackage(const std::string& package, const std::string& json)
{
    std::ofstream(package + ".json") << json;
    const std::string command = std::string("'") + HORATAB_SYSTEM_PYTHON + "' '" +
                                HORATAB_PACKAGE_CHECKER + "' '" + package + "' '" + package +
                                ".json' > '" + package + ".report' 2>&1";
    const int status = std::system(command.c_str());
    return status == 0 ? "OK"
                       : "exit " + std::to_string(status) + ": " + ReadFile(package + ".report");
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

}  // namespace xt

#endif  // HORATAB_TESTS_XLSX_XLSXTEST_H
