#pragma once

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace sheettest {

// A fresh folder under the test temporary folder, removed with its
// contents when the object goes.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = testing::TempDir() + "horatab_sheet_XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return path + "/" + name; }

    std::string path;
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

// The part between "<sheetData" and the end of "sheetData".
inline std::string SheetData(const std::string& part)
{
    const size_t begin = part.find("<sheetData");
    size_t end = part.find("</sheetData>");
    if (begin == std::string::npos) return std::string();
    if (end == std::string::npos) end = part.find("/>", begin);
    return part.substr(begin, end - begin + (part.compare(end, 2, "/>") == 0 ? 2 : 12));
}

}  // namespace sheettest
