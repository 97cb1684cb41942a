#ifndef HORATAB_FUZZ_FUZZSCRATCH_H
#define HORATAB_FUZZ_FUZZSCRATCH_H
// The private folders one fuzzing process works in: the input file, the
// folder the workbooks are saved into, and the folder TMPDIR points at, so
// that anything a save leaves behind is seen. Removed when the process exits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct fuzzScratch
{
    std::string root;
    std::string input;   // the file the bytes under test are written to
    std::string output;  // folder of the saved workbooks
    std::string temp;    // TMPDIR of this process

    // Made on first use; aborts when the folders cannot be made.
    static const fuzzScratch& get();

    bool writeInput(const uint8_t* data, size_t size) const;
};

// The names in `folder` other than "." and "..", sorted; empty when the
// folder cannot be read.
std::vector<std::string> folderEntries(const std::string& folder);

// Removes `path` and everything below it.
void removeTree(const std::string& path);

#endif  // HORATAB_FUZZ_FUZZSCRATCH_H
