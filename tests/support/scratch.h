#ifndef HORATAB_TESTS_SUPPORT_SCRATCH_H
#define HORATAB_TESTS_SUPPORT_SCRATCH_H
// Scratch folders and files for tests: everything a test writes goes below
// GoogleTest's temporary folder and is removed when the test is done.

#include <cstddef>
#include <string>

namespace support {

// Sets (with null: unsets) an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name;
    bool had;
    std::string saved;
};

// A fresh folder, removed with its contents. Its "tmp" subfolder is TMPDIR
// while the object lives, so that what a save leaves behind is seen there.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return root; }  // ends in "/"
    std::string file(const std::string& name) const { return root + name; }
    // Writes `bytes` to file `name`; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // A new, empty folder inside; its path ends in "/".
    std::string newFolder() const;
    std::string tmp() const { return root + "tmp"; }
    size_t temporaryFiles() const;

private:
    std::string root;
    ScopedEnv tmpdir;
};

// The scratch folder of the whole test program, made on first use.
const ScratchFolder& programScratch();

std::string readFile(const std::string& path);
std::string writeFile(const std::string& path, const std::string& bytes);
size_t entryCount(const std::string& folder);

}  // namespace support

#endif  // HORATAB_TESTS_SUPPORT_SCRATCH_H
