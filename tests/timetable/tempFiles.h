#ifndef HORATAB_TESTS_TIMETABLE_TEMPFILES_H
#define HORATAB_TESTS_TIMETABLE_TEMPFILES_H

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

// A private folder under the test temporary directory, made once per run
// and removed with everything in it when the test program ends.
inline const std::string& testFolder()
{
    struct ownedFolder
    {
        std::string path;
        ~ownedFolder()
        {
            std::error_code ignored;
            if (!path.empty()) std::filesystem::remove_all(path, ignored);
        }
    };
    static const ownedFolder folder{[] {
        std::string pattern = testing::TempDir() + "horatab-timetable-XXXXXX";
        char* made = mkdtemp(&pattern[0]);
        return made ? std::string(made) + "/" : std::string();
    }()};
    static const std::string path = folder.path.empty() ? testing::TempDir() : folder.path;
    return path;
}

// Writes `bytes` to a file of that name in the test folder; returns its path.
inline std::string writeTestFile(const std::string& name, const std::string& bytes)
{
    std::string path = testFolder() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }
    return path;
}

#endif
