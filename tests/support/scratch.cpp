#include "support/scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace support {

namespace fs = std::filesystem;

namespace {

// A new folder from `pattern` ("...XXXXXX"); the tests cannot go on without it.
std::string madeFolder(std::string pattern)
{
    if (mkdtemp(&pattern[0]) == nullptr) {
        std::perror(pattern.c_str());
        std::abort();
    }
    return pattern + "/";
}

std::string madeTmpFolder(const std::string& root)
{
    fs::create_directory(root + "tmp");
    return root + "tmp";
}

// GoogleTest's temporary folder as the program found it: scratch folders set
// TMPDIR, which GoogleTest would otherwise follow.
const std::string baseFolder = testing::TempDir();

}  // namespace

ScopedEnv::ScopedEnv(const char* name, const char* value)
    : name(name), had(std::getenv(name) != nullptr)
{
    if (had)
        saved = std::getenv(name);
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (had)
        setenv(name.c_str(), saved.c_str(), 1);
    else
        unsetenv(name.c_str());
}

ScratchFolder::ScratchFolder()
    : root(madeFolder(baseFolder + "horatab-test-XXXXXX")),
      tmpdir("TMPDIR", madeTmpFolder(root).c_str())
{}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string ScratchFolder::write(const std::string& name, const std::string& bytes) const
{
    return writeFile(file(name), bytes);
}

std::string ScratchFolder::newFolder() const
{
    return madeFolder(root + "XXXXXX");
}

size_t ScratchFolder::temporaryFiles() const
{
    return entryCount(tmp());
}

const ScratchFolder& programScratch()
{
    static const ScratchFolder folder;
    return folder;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    if (!(out << bytes) || !out.flush())
        ADD_FAILURE() << "cannot write " << path;
    return path;
}

size_t entryCount(const std::string& folder)
{
    return size_t(std::distance(fs::directory_iterator(folder), {}));
}

}  // namespace support
