#ifndef HORATAB_TESTS_HARDEN_SCRATCHFOLDER_H
#define HORATAB_TESTS_HARDEN_SCRATCHFOLDER_H
// A private folder for one test, with a "tmp" folder inside that TMPDIR
// points at while the test runs, so that temporary files a save leaves
// behind are seen. Everything is removed when the test ends.

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

class scratchFolder
{
public:
    scratchFolder()
    {
        std::string pattern = testing::TempDir() + "horatab-harden-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr)
            ADD_FAILURE() << "cannot make a scratch folder under " << testing::TempDir();
        root = pattern;
        temp = root + "/tmp";
        mkdir(temp.c_str(), 0700);
        const char* old = std::getenv("TMPDIR");
        hadTemp = old != nullptr;
        oldTemp = old ? old : "";
        setenv("TMPDIR", temp.c_str(), 1);
    }

    ~scratchFolder()
    {
        if (hadTemp)
            setenv("TMPDIR", oldTemp.c_str(), 1);
        else
            unsetenv("TMPDIR");
        nftw(root.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }

    scratchFolder(const scratchFolder&) = delete;
    scratchFolder& operator=(const scratchFolder&) = delete;

    const std::string& path() const { return root; }
    const std::string& tempPath() const { return temp; }

    bool exists(const std::string& name) const
    {
        struct stat info;
        return lstat((root + "/" + name).c_str(), &info) == 0;
    }

    void remove(const std::string& name) const { std::remove((root + "/" + name).c_str()); }

    std::vector<std::string> entries() const { return list(root); }
    std::vector<std::string> tempEntries() const { return list(temp); }

    static std::vector<std::string> list(const std::string& folder)
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder.c_str())) {
            while (const dirent* entry = readdir(dir))
                if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                    names.push_back(entry->d_name);
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static int removeEntry(const char* path, const struct stat*, int, struct FTW*)
    {
        std::remove(path);
        return 0;
    }

    std::string root;
    std::string temp;
    bool hadTemp = false;
    std::string oldTemp;
};

#endif
