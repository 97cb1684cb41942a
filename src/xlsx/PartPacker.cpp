#include "xlsx/internal/PartPacker.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
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
        errno = 0;
        if (chunk.outputSize != 0 &&
            !Check(zipWriteInFileInZip(archive, chunk.output.data(),
                                       static_cast<unsigned>(chunk.outputSize)),
                   chunk.tag))
            return false;
        if (!chunk.finish)
            return true;
        entryOpen = false;
        return Check(zipCloseFileInZipRaw64(archive, size, crc), chunk.tag);
    }

    // Why the last Write failed; STATUS_OK while none did.
    const Status& Failure() const { return failure; }

private:
    // Keeps the reason of a failed minizip call on entry `index`.
    bool Check(int result, size_t index)
    {
        if (result == ZIP_OK)
            return true;
        failure = Status(STATUS_ZIP, "cannot add to the archive the part", names[index],
                         result == ZIP_ERRNO ? errno : 0);
        return false;
    }

    bool Open(size_t index)
    {
        // Every entry is dated 1980-01-01 00:00, the first moment a zip
        // date can hold: the same workbook gives the same archive bytes
        // whenever and wherever it is saved.
        zip_fileinfo info = {};
        info.tmz_date.tm_mday = 1;
        info.tmz_date.tm_year = 1980;
        errno = 0;
        // Raw: the archive takes the deflate stream as it is.
        if (!Check(zipOpenNewFileInZip2_64(archive, names[index].c_str(), &info, nullptr, 0,
                                           nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION,
                                           1, zip64ByEntry[index] ? 1 : 0),
                   index))
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
    Status failure;
    uLong crc = 0;
    uint64_t size = 0;
};

// Reads one part, its head and then its body, into chunks of at most a
// block, each with the 32 KiB before it as its dictionary; the body read
// that comes up short ends the stream. `read(buffer, request)` returns how
// many bytes of the body it put into `buffer`, or -1 with errno set.
// `expectedSize` (the body's size when it was opened) only sizes the reads:
// a read of one byte more than is left finds the end at once. Returns 0
// when the whole body was read, the errno of a failed read, or -1 when the
// pipeline has failed.
template <typename Read>
int ReadPart(DeflatePipeline& pipeline, std::string_view head, Read read, size_t index,
             size_t blockSize, uint64_t expectedSize)
{
    std::vector<unsigned char> window;
    uint64_t readSoFar = 0;
    for (bool finished = false; !finished;) {
        DeflatePipeline::Chunk* chunk = pipeline.Acquire();
        if (chunk == nullptr)
            return -1;
        const uint64_t left =
            head.size() + (expectedSize > readSoFar ? expectedSize - readSoFar : 0);
        const size_t request =
            (left != 0 && left < blockSize) ? static_cast<size_t>(left) + 1 : blockSize;
        const size_t fromHead = std::min(head.size(), request);
        const size_t fromBody = request - fromHead;
        chunk->data.resize(window.size() + request);
        std::copy(window.begin(), window.end(), chunk->data.begin());
        std::copy(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(fromHead),
                  chunk->data.begin() + static_cast<std::ptrdiff_t>(window.size()));
        head.remove_prefix(fromHead);
        errno = 0;
        const long long count =
            fromBody == 0 ? 0 : read(chunk->data.data() + window.size() + fromHead, fromBody);
        if (count < 0)
            return errno != 0 ? errno : EIO;
        readSoFar += static_cast<uint64_t>(count);
        chunk->precompressed = false;
        chunk->dictionary = window.size();
        chunk->data.resize(window.size() + fromHead + static_cast<size_t>(count));
        chunk->finish = finished = static_cast<size_t>(count) < fromBody;
        chunk->tag = index;
        const size_t keep = std::min(windowSize, chunk->data.size());
        window.assign(chunk->data.end() - static_cast<std::ptrdiff_t>(keep), chunk->data.end());
        pipeline.Submit(*chunk);
    }
    return 0;
}

int ReadPartFile(DeflatePipeline& pipeline, EntryWriter& writer, std::string_view head, FILE* file,
                 size_t index, size_t blockSize)
{
    struct stat info;
    const uint64_t size = fstat(fileno(file), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    writer.SetZip64(index, size + head.size() >= 0xFFFFFFFFull);
    const auto read = [file](unsigned char* buffer, size_t request) -> long long {
        const size_t count = std::fread(buffer, 1, request, file);
        return std::ferror(file) ? -1 : static_cast<long long>(count);
    };
    return ReadPart(pipeline, head, read, index, blockSize, size);
}

// A part kept in memory is read the same way, so that it packs to the same
// bytes as its file would.
int ReadMemoryPart(DeflatePipeline& pipeline, std::string_view head, std::string_view body,
                   size_t index, size_t blockSize)
{
    size_t offset = 0;
    const auto read = [&body, &offset](unsigned char* buffer, size_t request) -> long long {
        const size_t count = std::min(request, body.size() - offset);
        std::memcpy(buffer, body.data() + offset, count);
        offset += count;
        return static_cast<long long>(count);
    };
    return ReadPart(pipeline, head, read, index, blockSize, body.size());
}

// Hands the chunks of a part deflated ahead to the pipeline in its turn.
int PassPackedPart(DeflatePipeline& pipeline, const std::vector<PackedChunk>& packed, size_t index)
{
    for (const PackedChunk& piece : packed) {
        DeflatePipeline::Chunk* chunk = pipeline.Acquire();
        if (chunk == nullptr)
            return -1;
        if (chunk->output.size() < piece.bytes.size())
            chunk->output.resize(piece.bytes.size());
        std::copy(piece.bytes.begin(), piece.bytes.end(), chunk->output.begin());
        chunk->outputSize = piece.bytes.size();
        chunk->crc = piece.crc;
        chunk->precompressed = true;
        chunk->precompressedInput = piece.inputSize;
        chunk->finish = piece.finish;
        chunk->tag = index;
        pipeline.Submit(*chunk);
    }
    return 0;
}

// Hands a part file that holds the part's deflate stream to the pipeline,
// block by block as its pieces say, after its head deflated as a block of
// its own that leaves the stream open.
int ReadDeflatedFile(DeflatePipeline& pipeline, EntryWriter& writer, std::string_view head,
                     FILE* file, const std::vector<MemoryParts::DeflatedPiece>& pieces,
                     size_t index)
{
    if (pieces.empty())
        return EIO;  // no block ends the stream
    uint64_t size = head.size();
    for (const MemoryParts::DeflatedPiece& piece : pieces)
        size += piece.inputSize;
    writer.SetZip64(index, size >= 0xFFFFFFFFull);
    if (!head.empty()) {
        DeflatePipeline::Chunk* chunk = pipeline.Acquire();
        if (chunk == nullptr)
            return -1;
        chunk->data.assign(head.begin(), head.end());
        chunk->dictionary = 0;
        chunk->precompressed = false;
        chunk->finish = false;
        chunk->tag = index;
        pipeline.Submit(*chunk);
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        DeflatePipeline::Chunk* chunk = pipeline.Acquire();
        if (chunk == nullptr)
            return -1;
        const size_t outputSize = static_cast<size_t>(pieces[i].outputSize);
        if (chunk->output.size() < outputSize)
            chunk->output.resize(outputSize);
        errno = 0;
        if (std::fread(chunk->output.data(), 1, outputSize, file) != outputSize)
            return errno != 0 ? errno : EIO;
        chunk->outputSize = outputSize;
        chunk->crc = pieces[i].crc;
        chunk->precompressed = true;
        chunk->precompressedInput = static_cast<size_t>(pieces[i].inputSize);
        chunk->finish = i + 1 == pieces.size();
        chunk->tag = index;
        pipeline.Submit(*chunk);
    }
    return 0;
}

// The reason of a failed pipeline: the archive's, else a failed deflate.
Status PipelineFailure(const EntryWriter& writer)
{
    if (!writer.Failure().Ok())
        return writer.Failure();
    return Status(STATUS_ZIP, "cannot compress the parts");
}

bool Pack(zipFile archive, const std::string& folder, const std::vector<std::string>& names,
          const PartHeads& heads, const PackOptions& options, Status& failure)
{
    const size_t blockSize = std::max<size_t>(options.blockSize, 1);
    const unsigned workers = std::thread::hardware_concurrency() > 1 ? options.workers : 0;
    EntryWriter writer(archive, names);
    DeflatePipeline pipeline(
        workers, Z_DEFAULT_COMPRESSION,
        [&writer](const DeflatePipeline::Chunk& chunk) { return writer.Write(chunk); });
    for (size_t index = 0; index < names.size(); ++index) {
        const std::string path = folder + "/" + names[index];
        const auto head = heads.find(names[index]);
        const std::string_view headBytes =
            head == heads.end() ? std::string_view() : std::string_view(head->second);
        HeldPart held;
        MemoryParts::Taken part;
        int readError = 0;
        if (options.packed != nullptr && options.packed->Take(names[index], held)) {
            readError = held.chunks != nullptr
                            ? PassPackedPart(pipeline, *held.chunks, index)
                            : ReadMemoryPart(pipeline, headBytes, held.bytes, index, blockSize);
        } else if (MemoryParts::Take(folder, names[index], part)) {
            readError = ReadMemoryPart(pipeline, headBytes, part.Bytes(), index, blockSize);
        } else {
            std::vector<MemoryParts::DeflatedPiece> pieces;
            const bool deflated = MemoryParts::TakeDeflated(folder, names[index], pieces);
            errno = 0;
            FILE* file = std::fopen(path.c_str(), "rb");
            if (file == nullptr) {
                failure = Status::System("cannot read", path, errno);
                pipeline.Finish();  // the parts before it still reach the archive whole
                return false;
            }
            readError = deflated
                            ? ReadDeflatedFile(pipeline, writer, headBytes, file, pieces, index)
                            : ReadPartFile(pipeline, writer, headBytes, file, index, blockSize);
            std::fclose(file);
        }
        if (readError > 0)
            failure = Status::System("cannot read", path, readError);
        if (readError < 0)
            failure = PipelineFailure(writer);
        if (readError != 0)
            return false;
    }
    if (pipeline.Finish())
        return true;
    failure = PipelineFailure(writer);
    return false;
}

}  // namespace

PartDeflater::PartDeflater(size_t blockSize) : blockSize(std::max<size_t>(blockSize, 1)) {}

PartDeflater::~PartDeflater() = default;

bool PartDeflater::Deflate(const std::string& bytes, std::vector<PackedChunk>& chunks)
{
    chunks.clear();
    target = &chunks;
    if (!pipeline)
        pipeline.reset(new DeflatePipeline(
            0, Z_DEFAULT_COMPRESSION, [this](const DeflatePipeline::Chunk& chunk) {
                PackedChunk piece;
                piece.bytes.assign(chunk.output.begin(),
                                   chunk.output.begin() +
                                       static_cast<std::ptrdiff_t>(chunk.outputSize));
                piece.crc = chunk.crc;
                piece.inputSize = chunk.InputSize();
                piece.finish = chunk.finish;
                target->push_back(std::move(piece));
                return true;
            }));
    const bool deflated = ReadMemoryPart(*pipeline, std::string_view(), bytes, 0, blockSize) == 0 &&
                          pipeline->Finish();
    if (!deflated)
        pipeline.reset();  // a failed pipeline takes no more chunks
    return deflated;
}

bool PackPartFiles(zipFile archive, const std::string& folder,
                   const std::vector<std::string>& names, const PackOptions& options,
                   Status* status)
{
    return PackPartFiles(archive, folder, names, PartHeads(), options, status);
}

bool PackPartFiles(zipFile archive, const std::string& folder,
                   const std::vector<std::string>& names, const PartHeads& heads,
                   const PackOptions& options, Status* status)
{
    Status ignored;
    return Pack(archive, folder, names, heads, options, status != nullptr ? *status : ignored);
}

}  // namespace SimpleXlsx
