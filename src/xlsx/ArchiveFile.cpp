#include "xlsx/internal/ArchiveFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace SimpleXlsx {

namespace {

class BufferedFile
{
public:
    explicit BufferedFile(int fd) : fd(fd) { buffer.reserve(capacity); }

    uLong Write(const void* bytes, uLong size)
    {
        if (failed != 0)
            return 0;
        const auto* data = static_cast<const unsigned char*>(bytes);
        if (!Holds(position, size) && !Flush())
            return 0;
        if (buffer.empty())
            start = position;
        if (size > capacity)
            return WriteAt(data, size, position) ? Advance(size) : 0;
        const size_t offset = static_cast<size_t>(position - start);
        if (offset + size > buffer.size())
            buffer.resize(offset + size);
        std::memcpy(buffer.data() + offset, data, size);
        return Advance(size);
    }

    uLong Read(void* bytes, uLong size)
    {
        if (failed != 0 || !Flush())
            return 0;
        const ssize_t got = pread(fd, bytes, size, static_cast<off_t>(position));
        if (got < 0) {
            failed = errno;
            return 0;
        }
        position += static_cast<ZPOS64_T>(got);
        return static_cast<uLong>(got);
    }

    long Seek(ZPOS64_T offset, int origin)
    {
        switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET:
            position = offset;
            return 0;
        case ZLIB_FILEFUNC_SEEK_CUR:
            position += offset;
            return 0;
        case ZLIB_FILEFUNC_SEEK_END:
            position = End() + offset;
            return 0;
        default:
            return -1;
        }
    }

    ZPOS64_T Tell() const { return position; }

    // Writes out what is buffered and closes the file: 0, or -1 with errno.
    int Close()
    {
        const bool flushed = Flush();
        const int closed = close(fd);
        if (!flushed) {
            errno = failed;
            return -1;
        }
        return closed;
    }

    int Error() const
    {
        if (failed != 0)
            errno = failed;
        return failed;
    }

private:
    static constexpr size_t capacity = 4 * 1024 * 1024;

    // Whether `size` bytes at `at` go into the buffer: they start within
    // or right after what it holds and end within its capacity.
    bool Holds(ZPOS64_T at, uLong size) const
    {
        if (buffer.empty())
            return true;
        return at >= start && at - start <= buffer.size() && at - start + size <= capacity;
    }

    ZPOS64_T End()
    {
        const off_t size = lseek(fd, 0, SEEK_END);
        const ZPOS64_T onDisk = size < 0 ? 0 : static_cast<ZPOS64_T>(size);
        return std::max<ZPOS64_T>(onDisk, start + buffer.size());
    }

    uLong Advance(uLong size)
    {
        position += size;
        return size;
    }

    bool Flush()
    {
        if (failed != 0)
            return false;
        const bool written = buffer.empty() || WriteAt(buffer.data(), buffer.size(), start);
        buffer.clear();
        return written;
    }

    bool WriteAt(const unsigned char* data, size_t size, ZPOS64_T at)
    {
        while (size != 0) {
            const ssize_t put = pwrite(fd, data, size, static_cast<off_t>(at));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                failed = put < 0 ? errno : EIO;
                return false;
            }
            data += put;
            size -= static_cast<size_t>(put);
            at += static_cast<ZPOS64_T>(put);
        }
        return true;
    }

    int fd;
    std::vector<unsigned char> buffer;
    ZPOS64_T start = 0;  // where the buffer's first byte goes in the file
    ZPOS64_T position = 0;
    int failed = 0;  // the errno of the first failed write
};

BufferedFile* Of(voidpf stream)
{
    return static_cast<BufferedFile*>(stream);
}

voidpf ZCALLBACK Open(voidpf, const void* path, int mode)
{
    if (path == nullptr)
        return nullptr;
    const int flags = (mode & ZLIB_FILEFUNC_MODE_CREATE) != 0 ? O_RDWR | O_CREAT | O_TRUNC : O_RDWR;
    const int fd = open(static_cast<const char*>(path), flags | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    BufferedFile* file = new (std::nothrow) BufferedFile(fd);
    if (file == nullptr) {
        close(fd);
        errno = ENOMEM;
    }
    return file;
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* bytes, uLong size)
{
    return Of(stream)->Read(bytes, size);
}

uLong ZCALLBACK Write(voidpf, voidpf stream, const void* bytes, uLong size)
{
    return Of(stream)->Write(bytes, size);
}

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream)
{
    return Of(stream)->Tell();
}

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    return Of(stream)->Seek(offset, origin);
}

int ZCALLBACK Close(voidpf, voidpf stream)
{
    const int result = Of(stream)->Close();
    const int error = errno;
    delete Of(stream);
    errno = error;
    return result;
}

int ZCALLBACK Error(voidpf, voidpf stream)
{
    return Of(stream)->Error();
}

}  // namespace

zlib_filefunc64_def BufferedArchiveFunctions()
{
    zlib_filefunc64_def functions{};
    functions.zopen64_file = Open;
    functions.zread_file = Read;
    functions.zwrite_file = Write;
    functions.ztell64_file = Tell;
    functions.zseek64_file = Seek;
    functions.zclose_file = Close;
    functions.zerror_file = Error;
    functions.opaque = nullptr;
    return functions;
}

}  // namespace SimpleXlsx
