#ifndef HORATAB_TESTS_SUPPORT_ZIP_H
#define HORATAB_TESTS_SUPPORT_ZIP_H
// Reads zip archives back with minizip, independently of the writer's own
// packer. Used by the tests and by the fuzz target's package check.

#include <cstdint>
#include <string>
#include <vector>

namespace support {

struct ZipEntry
{
    std::string name;
    std::string data;
    uint64_t compressedSize = 0;
};

// Reads the entries of the archive at `path`, in archive order, into
// `entries`. Stops and answers false at the first entry that cannot be read
// whole or whose CRC does not match, and when `path` is not an archive.
bool readZip(const std::string& path, std::vector<ZipEntry>& entries);

// The entries that read back whole, in archive order.
std::vector<ZipEntry> zipEntries(const std::string& path);
std::vector<std::string> zipEntryNames(const std::string& path);

// The uncompressed bytes of entry `name`; "<missing>" when it is absent or damaged.
std::string zipEntry(const std::string& path, const std::string& name);

}  // namespace support

#endif  // HORATAB_TESTS_SUPPORT_ZIP_H
