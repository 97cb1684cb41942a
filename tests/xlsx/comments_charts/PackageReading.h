#pragma once
// Scratch folders, environment scopes and readers of saved packages for the
// comment and chartsheet tests.

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unzip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cctest {

namespace fs = std::filesystem;

// A fresh folder under the test temporary folder, removed with its
// contents when the object goes.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = testing::TempDir() + "horatab_cc_XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

// Sets (or, with a null value, unsets) an environment variable for the life
// of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        const char* previous = std::getenv(name);
        hadValue = previous != nullptr;
        if (hadValue) saved = previous;
        if (value != nullptr) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (hadValue) setenv(name, saved.c_str(), 1);
        else unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    bool hadValue = false;
    std::string saved;
};

// A scratch folder whose "tmp" folder is TMPDIR, so that every temporary
// package folder of a test lands there and its removal can be checked.
class PackageScratch {
public:
    PackageScratch() : tmp(Make(scratch.File("tmp"))), tmpdir("TMPDIR", tmp.c_str()) {}

    std::string Output(const std::string& name) const { return scratch.File(name); }
    bool TemporaryFilesRemoved() const { return fs::is_empty(tmp); }

    ScratchDir scratch;

private:
    static std::string Make(const std::string& folder)
    {
        fs::create_directory(folder);
        return folder;
    }

    std::string tmp;
    ScopedEnv tmpdir;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios_base::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool IsWellFormedXml(const std::string& text)
{
    pugi::xml_document document;
    return document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
}

inline std::vector<std::string> EntryNames(const std::string& archivePath)
{
    std::vector<std::string> names;
    unzFile archive = unzOpen64(archivePath.c_str());
    if (archive == nullptr) return names;
    for (int status = unzGoToFirstFile(archive); status == UNZ_OK; status = unzGoToNextFile(archive)) {
        char name[512];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK)
            names.emplace_back(name);
    }
    unzClose(archive);
    return names;
}

// The uncompressed bytes of one archive entry; "<missing>" when absent.
inline std::string ReadEntry(const std::string& archivePath, const std::string& entry)
{
    std::string content = "<missing>";
    unzFile archive = unzOpen64(archivePath.c_str());
    if (archive == nullptr) return content;
    if (unzLocateFile(archive, entry.c_str(), 1) == UNZ_OK && unzOpenCurrentFile(archive) == UNZ_OK) {
        content.clear();
        char block[4096];
        int count;
        while ((count = unzReadCurrentFile(archive, block, sizeof block)) > 0) content.append(block, count);
        if (unzCloseCurrentFile(archive) != UNZ_OK || count < 0) content = "<damaged>";
    }
    unzClose(archive);
    return content;
}

inline const std::vector<std::string>& FixedEntries()
{
    static const std::vector<std::string> names = {
        "[Content_Types].xml", "_rels/.rels",   "docProps/core.xml",          "docProps/app.xml",
        "xl/workbook.xml",     "xl/styles.xml", "xl/_rels/workbook.xml.rels", "xl/theme/theme1.xml"};
    return names;
}

inline std::vector<std::string> FixedEntriesAnd(const std::vector<std::string>& more)
{
    std::vector<std::string> names = FixedEntries();
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

// Runs the independent reader (openpyxl) on `package` with the expectations
// in `json`; "OK" or what it found.
inline std::string CheckPackage(const std::string& package, const std::string& json)
{
    const std::string expectations = package + ".expected.json";
    std::ofstream(expectations) << json;
    const std::string report = package + ".report";
    const std::string command = std::string("'") + HORATAB_SYSTEM_PYTHON + "' '" + HORATAB_COMMENTS_CHARTS_CHECKER +
                                "' '" + package + "' '" + expectations + "' > '" + report + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = ReadFile(report);
    return status == 0 ? "OK" : "exit " + std::to_string(status) + ": " + output;
}

// The number of times `needle` occurs in `text`.
inline size_t CountOf(const std::string& text, const std::string& needle)
{
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

// True when every one of `needles` occurs in `text` after the one before it.
inline bool AppearInOrder(const std::string& text, const std::vector<std::string>& needles)
{
    size_t at = 0;
    for (const std::string& needle : needles) {
        at = text.find(needle, at);
        if (at == std::string::npos) return false;
        at += needle.size();
    }
    return true;
}

}  // namespace cctest
