#include "xlsx/internal/Zip64End.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace SimpleXlsx {

namespace {

constexpr uint32_t endSignature = 0x06054b50;
constexpr uint32_t zip64EndSignature = 0x06064b50;
constexpr uint32_t locatorSignature = 0x07064b50;
constexpr size_t endSize = 22;         // the end record without a comment
constexpr size_t locatorSize = 20;     // the zip64 end record locator
constexpr size_t zip64EndSize = 56;    // the zip64 end record, no extensible data
constexpr uint16_t zip64Version = 45;  // version 4.5: zip64
constexpr uint64_t countLimit = 0xFFFF;

uint64_t Read(const unsigned char* bytes, int width)
{
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

void Append(std::string& out, uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// The zip64 end record, its locator and the end record for an archive whose
// end record begins at `endOffset`.
std::string EndRecords(const unsigned char* end, uint64_t endOffset, uint64_t entryCount)
{
    const uint64_t directorySize = Read(end + 12, 4);
    const uint64_t directoryOffset = Read(end + 16, 4);
    std::string records;
    Append(records, zip64EndSignature, 4);
    Append(records, zip64EndSize - 12, 8);  // the size of the rest of the record
    Append(records, zip64Version, 2);       // made by
    Append(records, zip64Version, 2);       // needed to extract
    Append(records, 0, 4);                  // this disk
    Append(records, 0, 4);                  // the disk where the directory starts
    Append(records, entryCount, 8);         // entries on this disk
    Append(records, entryCount, 8);         // entries in all
    Append(records, directorySize, 8);
    Append(records, directoryOffset, 8);
    Append(records, locatorSignature, 4);
    Append(records, 0, 4);  // the disk of the zip64 end record
    Append(records, endOffset, 8);
    Append(records, 1, 4);  // disks in all
    records.append(reinterpret_cast<const char*>(end), endSize);
    return records;
}

bool Fail(Status& status, int error)
{
    status = Status(STATUS_ZIP, "cannot finish the archive", "", error);
    return false;
}

bool Complete(int fd, uint64_t entryCount, Status& status)
{
    struct stat info;
    if (fstat(fd, &info) != 0)
        return Fail(status, errno);
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    unsigned char tail[locatorSize + endSize] = {};
    if (size < sizeof tail ||
        pread(fd, tail, sizeof tail, static_cast<off_t>(size - sizeof tail)) !=
            static_cast<ssize_t>(sizeof tail))
        return Fail(status, errno != 0 ? errno : EIO);
    const unsigned char* end = tail + locatorSize;
    if (Read(end, 4) != endSignature || Read(end + 20, 2) != 0)
        return Fail(status, 0);
    if (Read(tail, 4) == locatorSignature)
        return true;  // written by zipClose: the directory starts beyond 4 GiB
    const uint64_t endOffset = size - endSize;
    const std::string records = EndRecords(end, endOffset, entryCount);
    if (pwrite(fd, records.data(), records.size(), static_cast<off_t>(endOffset)) !=
        static_cast<ssize_t>(records.size()))
        return Fail(status, errno != 0 ? errno : EIO);
    return true;
}

}  // namespace

bool CompleteZip64End(const std::string& archivePath, uint64_t entryCount, Status& status)
{
    if (entryCount < countLimit)
        return true;
    errno = 0;
    const int fd = open(archivePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return Fail(status, errno);
    errno = 0;
    const bool completed = Complete(fd, entryCount, status);
    if (close(fd) != 0 && completed)
        return Fail(status, errno);
    return completed;
}

}  // namespace SimpleXlsx
