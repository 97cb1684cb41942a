#include "xlsx/internal/PartPacker.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>

#include "xlsx/internal/DeflatePipeline.h"
#include "xlsx/internal/MemoryParts.h"

namespace SimpleXlsx {

namespace {

constexpr size_t windowSize = 32 * 1024;  // the reach of deflate's back-references

// Writes the compressed chunks into the archive: an entry is opened with
// its first chunk and closed with the chunk that finishes its stream.
class EntryWriter
{
public:
    EntryWriter(zipFile archive, const std::vector<std::string>& names)
        : archive(archive), names(names), zip64ByEntry(names.size(), false)
    {}

    // Whether entry `index` needs the zip64 extension (4 GiB or more).
    void SetZip64(size_t index, bool zip64) { zip64ByEntry[index] = zip64; }

    bool Write(const DeflatePipeline::Chunk& chunk)
    {
        if (!entryOpen && !Open(chunk.tag))
            return false;
        crc = crc32_combine(crc, chunk.crc, static_cast<z_off_t>(chunk.InputSize()));
        size += chunk.InputSize();
        if (chunk.outputSize != 0 &&
            zipWriteInFileInZip(archive, chunk.output.data(),
                                static_cast<unsigned>(chunk.outputSize)) != ZIP_OK)
            return false;
        if (!chunk.finish)
            return true;
        entryOpen = false;
        return zipCloseFileInZipRaw64(archive, size, crc) == ZIP_OK;
    }

private:
    bool Open(size_t index)
    {
        zip_fileinfo info = {};
        // Raw: the archive takes the deflate stream as it is.
        if (zipOpenNewFileInZip2_64(archive, names[index].c_str(), &info, nullptr, 0, nullptr, 0,
                                    nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1,
                                    zip64ByEntry[index] ? 1 : 0) != ZIP_OK)
            return false;
        entryOpen = true;
        crc = crc32(0L, Z_NULL, 0);
        size = 0;
        return true;
    }

    zipFile archive;
    const std::vector<std::string>& names;
    std::vector<bool> zip64ByEntry;
    bool entryOpen = false;
    uLong crc = 0;
    uint64_t size = 0;
};

// Reads one part into chunks of at most a block, each with the 32 KiB
// before it as its dictionary; the read that comes up short ends the stream.
// `read(buffer, request)` returns how many bytes it put into `buffer`, or
// -1 on an error. `expectedSize` (the part's size when it was opened) only
// sizes the reads: a read of one byte more than is left finds the end at
// once.
template <typename Read>
bool ReadPart(DeflatePipeline& pipeline, Read read, size_t index, size_t blockSize,
              uint64_t expectedSize)
{
    std::vector<unsigned char> window;
    uint64_t readSoFar = 0;
    for (bool finished = false; !finished;) {
        DeflatePipeline::Chunk* chunk = pipeline.Acquire();
        if (chunk == nullptr)
            return false;
        const uint64_t left = expectedSize > readSoFar ? expectedSize - readSoFar : 0;
        const size_t request =
            (left != 0 && left < blockSize) ? static_cast<size_t>(left) + 1 : blockSize;
        chunk->data.resize(window.size() + request);
        std::copy(window.begin(), window.end(), chunk->data.begin());
        const long long count = read(chunk->data.data() + window.size(), request);
        if (count < 0)
            return false;
        readSoFar += static_cast<uint64_t>(count);
        chunk->dictionary = window.size();
        chunk->data.resize(window.size() + static_cast<size_t>(count));
        chunk->finish = finished = static_cast<size_t>(count) < request;
        chunk->tag = index;
        const size_t keep = std::min(windowSize, chunk->data.size());
        window.assign(chunk->data.end() - static_cast<std::ptrdiff_t>(keep), chunk->data.end());
        pipeline.Submit(*chunk);
    }
    return true;
}

bool ReadPartFile(DeflatePipeline& pipeline, EntryWriter& writer, FILE* file, size_t index,
                  size_t blockSize)
{
    struct stat info;
    const uint64_t size = fstat(fileno(file), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    writer.SetZip64(index, size >= 0xFFFFFFFFull);
    const auto read = [file](unsigned char* buffer, size_t request) -> long long {
        const size_t count = std::fread(buffer, 1, request, file);
        return std::ferror(file) ? -1 : static_cast<long long>(count);
    };
    return ReadPart(pipeline, read, index, blockSize, size);
}

// A part kept in memory is read the same way, so that it packs to the same
// bytes as its file would.
bool ReadMemoryPart(DeflatePipeline& pipeline, const std::string& bytes, size_t index,
                    size_t blockSize)
{
    size_t offset = 0;
    const auto read = [&bytes, &offset](unsigned char* buffer, size_t request) -> long long {
        const size_t count = std::min(request, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, count);
        offset += count;
        return static_cast<long long>(count);
    };
    return ReadPart(pipeline, read, index, blockSize, bytes.size());
}

bool Pack(zipFile archive, const std::string& folder, const std::vector<std::string>& names,
          const PackOptions& options)
{
    const size_t blockSize = std::max<size_t>(options.blockSize, 1);
    const unsigned workers = std::thread::hardware_concurrency() > 1 ? options.workers : 0;
    EntryWriter writer(archive, names);
    DeflatePipeline pipeline(
        workers, Z_DEFAULT_COMPRESSION,
        [&writer](const DeflatePipeline::Chunk& chunk) { return writer.Write(chunk); });
    for (size_t index = 0; index < names.size(); ++index) {
        MemoryParts::Taken part;
        if (MemoryParts::Take(folder, names[index], part)) {
            if (!ReadMemoryPart(pipeline, part.Bytes(), index, blockSize))
                return false;
            continue;
        }
        FILE* file = std::fopen((folder + "/" + names[index]).c_str(), "rb");
        if (file == nullptr) {
            pipeline.Finish();  // the parts before it still reach the archive whole
            return false;
        }
        const bool read = ReadPartFile(pipeline, writer, file, index, blockSize);
        std::fclose(file);
        if (!read)
            return false;
    }
    return pipeline.Finish();
}

}  // namespace

bool PackPartFiles(zipFile archive, const std::string& folder,
                   const std::vector<std::string>& names, const PackOptions& options)
{
    try {
        return Pack(archive, folder, names, options);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace SimpleXlsx
