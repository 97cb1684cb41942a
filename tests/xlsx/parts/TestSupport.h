#ifndef HORATAB_TESTS_XLSX_PARTS_TESTSUPPORT_H
#define HORATAB_TESTS_XLSX_PARTS_TESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testsupport
{

// A fresh directory under the test temporary folder, removed with its
// contents when the object goes.
class ScratchDir
{
public:
    ScratchDir()
    {
        std::string pattern = testing::TempDir() + "horatab_parts_XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string path;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios_base::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";

} // namespace testsupport

#endif
