#include "fuzzScratch.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

int removeEntry(const char* path, const struct stat*, int, struct FTW*)
{
    std::remove(path);
    return 0;
}

void removeScratch()
{
    removeTree(fuzzScratch::get().root);
}

fuzzScratch makeScratch()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/horatab-fuzz-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) {
        std::perror("horatab fuzz: cannot make a scratch folder");
        std::abort();
    }
    fuzzScratch scratch;
    scratch.root = pattern;
    scratch.input = pattern + "/input.xml";
    scratch.output = pattern + "/out";
    scratch.temp = pattern + "/tmp";
    if (mkdir(scratch.output.c_str(), 0700) != 0 || mkdir(scratch.temp.c_str(), 0700) != 0) {
        std::perror("horatab fuzz: cannot make the scratch folders");
        std::abort();
    }
    setenv("TMPDIR", scratch.temp.c_str(), 1);
    return scratch;
}

}  // namespace

const fuzzScratch& fuzzScratch::get()
{
    static const fuzzScratch scratch = [] {
        fuzzScratch made = makeScratch();
        std::atexit(removeScratch);
        return made;
    }();
    return scratch;
}

bool fuzzScratch::writeInput(const uint8_t* data, size_t size) const
{
    const int fd = ::open(input.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(fd, data + done, size - done);
        if (wrote <= 0)
            break;
        done += size_t(wrote);
    }
    return ::close(fd) == 0 && done == size;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void removeTree(const std::string& path)
{
    if (!path.empty())
        nftw(path.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}
