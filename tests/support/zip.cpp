#include "support/zip.h"

#include <unzip.h>

namespace support {

namespace {

// Reads the entry the archive is positioned on; false when it is damaged.
bool readCurrentEntry(unzFile archive, ZipEntry& entry)
{
    char name[1024];
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
            UNZ_OK ||
        unzOpenCurrentFile(archive) != UNZ_OK)
        return false;
    entry.name = name;
    entry.compressedSize = info.compressed_size;
    char block[1 << 16];
    int got = 0;
    while ((got = unzReadCurrentFile(archive, block, sizeof block)) > 0)
        entry.data.append(block, size_t(got));
    // unzCloseCurrentFile reports a CRC mismatch once the entry is read.
    const bool closed = unzCloseCurrentFile(archive) == UNZ_OK;
    return got == 0 && closed && entry.data.size() == info.uncompressed_size;
}

}  // namespace

bool readZip(const std::string& path, std::vector<ZipEntry>& entries)
{
    unzFile archive = unzOpen64(path.c_str());
    if (archive == nullptr)
        return false;
    int status = unzGoToFirstFile(archive);
    while (status == UNZ_OK) {
        ZipEntry entry;
        if (!readCurrentEntry(archive, entry))
            break;
        entries.push_back(std::move(entry));
        status = unzGoToNextFile(archive);
    }
    unzClose(archive);
    return status == UNZ_END_OF_LIST_OF_FILE;
}

std::vector<ZipEntry> zipEntries(const std::string& path)
{
    std::vector<ZipEntry> entries;
    readZip(path, entries);
    return entries;
}

std::vector<std::string> zipEntryNames(const std::string& path)
{
    std::vector<std::string> names;
    for (const ZipEntry& entry : zipEntries(path))
        names.push_back(entry.name);
    return names;
}

std::string zipEntry(const std::string& path, const std::string& name)
{
    for (const ZipEntry& entry : zipEntries(path))
        if (entry.name == name)
            return entry.data;
    return "<missing>";
}

}  // namespace support
