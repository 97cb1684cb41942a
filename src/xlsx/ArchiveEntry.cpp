#include "xlsx/ArchiveEntry.h"

#include <sys/stat.h>

#include <cstdio>
#include <thread>

#include "xlsx/BlockDeflate.h"

namespace SimpleXlsx {

namespace {

// Entries of 4 GiB or more need the zip64 extension.
bool NeedsZip64(long long size) { return size >= 0xFFFFFFFFLL; }

bool UseBlocks(long long size)
{
    return size > static_cast<long long>(BlockDeflater::kDefaultBlockSize) &&
           std::thread::hardware_concurrency() > 1;
}

bool AddWithMinizipDeflate(zipFile archive, const std::string& entryName, FILE* file, bool zip64, char* block,
                           size_t blockSize)
{
    zip_fileinfo entryInfo = {};
    if (zipOpenNewFileInZip64(archive, entryName.c_str(), &entryInfo, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, zip64 ? 1 : 0) != ZIP_OK)
        return false;
    bool ok = true;
    size_t count;
    while (ok && (count = std::fread(block, 1, blockSize, file)) > 0)
        ok = zipWriteInFileInZip(archive, block, static_cast<unsigned>(count)) == ZIP_OK;
    if (std::ferror(file)) ok = false;
    return zipCloseFileInZip(archive) == ZIP_OK && ok;
}

// The entry is opened raw: the archive receives the deflate stream as it
// is, and its CRC and size as BlockDeflater computed them.
bool AddDeflatedInBlocks(zipFile archive, const std::string& entryName, FILE* file, bool zip64)
{
    zip_fileinfo entryInfo = {};
    if (zipOpenNewFileInZip2_64(archive, entryName.c_str(), &entryInfo, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION, 1, zip64 ? 1 : 0) != ZIP_OK)
        return false;
    const BlockDeflater deflater;
    BlockDeflater::Totals totals;
    const bool ok = deflater.Deflate(
        [file](unsigned char* data, size_t size, size_t& count) {
            count = std::fread(data, 1, size, file);
            return !std::ferror(file);
        },
        [archive](const unsigned char* data, size_t size) {
            return zipWriteInFileInZip(archive, data, static_cast<unsigned>(size)) == ZIP_OK;
        },
        totals);
    return zipCloseFileInZipRaw64(archive, totals.size, totals.crc) == ZIP_OK && ok;
}

}  // namespace

bool AddArchiveEntry(zipFile archive, const std::string& entryName, const std::string& path, char* block,
                     size_t blockSize)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    struct stat info;
    const long long size = fstat(fileno(file), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
    const bool ok = UseBlocks(size) ? AddDeflatedInBlocks(archive, entryName, file, NeedsZip64(size))
                                    : AddWithMinizipDeflate(archive, entryName, file, NeedsZip64(size), block,
                                                            blockSize);
    std::fclose(file);
    return ok;
}

}  // namespace SimpleXlsx
