#include "xlsx/internal/PackageVocabulary.h"

#include "xlsx/internal/DeflatePipeline.h"
#include "xlsx/internal/MemoryParts.h"
#include "xlsx/internal/Utf8.h"
#include "xlsx/internal/XmlStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <cstdlib>
#include <string_view>
#include <new>
#include <sys/stat.h>
#include <sys/types.h>
#include <zlib.h>

#include <thread>

namespace SimpleXlsx {

bool MakeDirectory(const std::string& path)
{
    std::string directory;
    size_t componentStart = 0;
    for (size_t pos = 0; pos < path.size(); ++pos) {
        if (path[pos] != '/' && path[pos] != '\\')
            continue;
        directory.append(path, componentStart, pos - componentStart);
        directory += '/';
        componentStart = pos + 1;
        if (mkdir(directory.c_str(), 0777) != 0 && errno == ENOENT)
            return false;
    }
    return true;
}

std::string PackageAuthor()
{
    constexpr size_t maxAuthorBytes = 259;
    const char* user = std::getenv("USERNAME");
    const std::string_view name = user != nullptr ? user : "Unknown";
    return std::string(name.substr(0, Utf8PrefixBytes(name, maxAuthorBytes)));
}

std::string PartPath(const std::string& tempPath, const std::string& partName)
{
    std::string path;
    path.reserve(tempPath.size() + 1 + partName.size());
    path += tempPath;
    path += '/';
    path += partName;
    return path;
}

namespace {
thread_local PartFailureScope* innermostScope = nullptr;
}

PartFailureScope::PartFailureScope(Status& status) : status(status), outer(innermostScope)
{
    innermostScope = this;
}

PartFailureScope::~PartFailureScope()
{
    innermostScope = outer;
}

void PartFailureScope::Report(const Status& failure)
{
    if (innermostScope != nullptr && innermostScope->status.Ok())
        innermostScope->status = failure;
}

namespace {

// A stream buffer that writes a single character as a run of one, so that
// every write goes through its xsputn.
class RunWritingBuffer : public std::streambuf
{
protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }
};

}  // namespace

// The bytes of a part kept in memory, in a buffer that grows within the
// part's threshold and the memory budget; a write that would pass either
// hands everything to the owner's file.
class PartFile::MemoryBuffer : public RunWritingBuffer
{
public:
    explicit MemoryBuffer(PartFile& owner) : owner(owner) {}
    ~MemoryBuffer() override { MemoryParts::Release(claimed); }

    MemoryBuffer(const MemoryBuffer&) = delete;
    MemoryBuffer& operator=(const MemoryBuffer&) = delete;

    bool Spilled() const { return spilled; }
    std::string_view Written() const { return std::string_view(pbase(), Used()); }

    // The bytes written, and the budget they hold, for the deposit.
    std::string TakeBytes(size_t& claim)
    {
        bytes.resize(Used());
        setp(nullptr, nullptr);
        claim = std::exchange(claimed, 0);
        return std::move(bytes);
    }

    // Drops the bytes written and their claim.
    void Clear()
    {
        setp(nullptr, nullptr);
        std::string().swap(bytes);
        MemoryParts::Release(std::exchange(claimed, 0));
    }

    // Holds `kept` as the bytes written so far; when memory cannot take
    // them, they go to the owner's file instead. False when they are lost.
    bool Refill(std::string&& kept)
    {
        Clear();
        const size_t size = kept.size();
        if (size <= MemoryParts::partThreshold && MemoryParts::Claim(size)) {
            claimed = size;
            bytes = std::move(kept);
            setp(&bytes[0], &bytes[0] + size);
            Advance(size);
            return true;
        }
        spilled = true;
        return owner.Spill(kept.data(), size, nullptr, 0);
    }

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        if (spilled || count <= 0)
            return 0;
        const size_t size = static_cast<size_t>(count);
        if (size <= static_cast<size_t>(epptr() - pptr()) || Grow(Used() + size)) {
            std::memcpy(pptr(), text, size);
            Advance(size);
            return count;
        }
        // Too large for memory: from here on the part is its file.
        spilled = true;
        const bool written = owner.Spill(bytes.data(), Used(), text, size);
        Clear();
        return written ? count : 0;
    }

private:
    size_t Used() const { return static_cast<size_t>(pptr() - pbase()); }

    void Advance(size_t size)
    {
        // pbump takes an int; a part in memory is far below its limit.
        pbump(static_cast<int>(size));
    }

    bool Grow(size_t needed)
    {
        if (needed > MemoryParts::partThreshold)
            return false;
        constexpr size_t firstSize = 16 * 1024;
        const size_t capacity =
            std::min(std::max({bytes.size() * 2, firstSize, needed}), MemoryParts::partThreshold);
        if (!MemoryParts::Claim(capacity - bytes.size()))
            return false;
        claimed += capacity - bytes.size();
        const size_t used = Used();
        bytes.resize(capacity);
        setp(&bytes[0], &bytes[0] + capacity);
        Advance(used);
        return true;
    }

    PartFile& owner;
    std::string bytes;
    size_t claimed = 0;
    bool spilled = false;
};

// The bytes of a part spilled from memory, deflated in blocks (each with
// the 32 KiB before it as its dictionary, as the packer cuts large parts)
// on worker threads while the next ones are written. The owner's file
// receives the deflate stream; the pieces say where each block ends.
class PartFile::DeflatingBuffer : public RunWritingBuffer
{
public:
    static constexpr size_t blockSize = 1024 * 1024;
    static constexpr size_t windowSize = 32 * 1024;

    explicit DeflatingBuffer(PartFile& owner) : owner(owner) {}

    DeflatingBuffer(const DeflatingBuffer&) = delete;
    DeflatingBuffer& operator=(const DeflatingBuffer&) = delete;

    // Deflates what is pending as a block that leaves the stream open and
    // waits for every block; no thread or block buffer remains.
    bool Pause() { return (Pending() == 0 || Deflate(false)) && Drain(); }
    // The same, but the last block ends the stream.
    bool Finish() { return Deflate(true) && Drain(); }

    std::vector<MemoryParts::DeflatedPiece> TakePieces() { return std::move(pieces); }

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        if (failed || count <= 0)
            return 0;
        size_t left = static_cast<size_t>(count);
        while (left != 0) {
            if (pptr() == epptr() && !(Pending() == 0 ? Start() : Deflate(false)))
                return 0;
            const size_t room = static_cast<size_t>(epptr() - pptr());
            const size_t n = std::min(left, room);
            std::memcpy(pptr(), text, n);
            pbump(static_cast<int>(n));
            text += n;
            left -= n;
        }
        return count;
    }

private:
    size_t Pending() const { return static_cast<size_t>(pptr() - pbase()); }

    bool Start()
    {
        if (!block)
            block.reset(new (std::nothrow) char[blockSize]);
        if (!block)
            failed = true;
        else
            setp(block.get(), block.get() + blockSize);
        return !failed;
    }

    bool Deflate(bool finish)
    {
        if (failed)
            return false;
        if (!pipeline) {
            const unsigned workers = std::thread::hardware_concurrency() > 1 ? 2 : 0;
            pipeline.reset(new DeflatePipeline(
                workers, Z_DEFAULT_COMPRESSION,
                [this](const DeflatePipeline::Chunk& chunk) { return Write(chunk); }));
        }
        DeflatePipeline::Chunk* chunk = pipeline->Acquire();
        if (chunk == nullptr) {
            failed = true;
            return false;
        }
        const size_t size = Pending();
        chunk->data.resize(window.size() + size);
        std::copy(window.begin(), window.end(), chunk->data.begin());
        std::memcpy(chunk->data.data() + window.size(), pbase(), size);
        chunk->dictionary = window.size();
        chunk->finish = finish;
        chunk->precompressed = false;
        chunk->tag = 0;
        const size_t keep = std::min(windowSize, chunk->data.size());
        window.assign(chunk->data.end() - static_cast<std::ptrdiff_t>(keep), chunk->data.end());
        pipeline->Submit(*chunk);
        return Start();
    }

    // Hands every block to the file and lets the threads and the buffer go.
    bool Drain()
    {
        const bool ok = !failed && (!pipeline || pipeline->Finish());
        pipeline.reset();
        setp(nullptr, nullptr);
        block.reset();
        failed = !ok;
        return ok;
    }

    bool Write(const DeflatePipeline::Chunk& chunk)
    {
        errno = 0;
        owner.file.write(reinterpret_cast<const char*>(chunk.output.data()),
                         static_cast<std::streamsize>(chunk.outputSize));
        if (!owner.file.good()) {
            owner.Fail("cannot write", errno);
            return false;
        }
        MemoryParts::DeflatedPiece piece;
        piece.outputSize = chunk.outputSize;
        piece.crc = chunk.crc;
        piece.inputSize = chunk.InputSize();
        pieces.push_back(piece);
        return true;
    }

    PartFile& owner;
    std::unique_ptr<char[]> block;
    std::vector<unsigned char> window;  // the last bytes deflated
    std::unique_ptr<DeflatePipeline> pipeline;
    std::vector<MemoryParts::DeflatedPiece> pieces;
    bool failed = false;
};

PartFile::PartFile(const std::string& tempPath, const std::string& partName, std::size_t bufferSize,
                   Keeping keeping)
    : folder(tempPath), name(partName), bufferSize(bufferSize), out(nullptr)
{
    // Without a temporary directory the part would land at the root of the
    // file system; such a part file stays closed and Close reports it.
    if (tempPath.empty()) {
        out.setstate(std::ios_base::badbit);
        failure = Status(STATUS_INVALID_USE, "no temporary folder for the part", partName);
        PartFailureScope::Report(failure);
        return;
    }
    path = PartPath(tempPath, partName);
    if (keeping == Keeping::MemoryWhileSmall && MemoryParts::IsAdmitted(tempPath)) {
        MemoryParts::Forget(folder, name);  // a part written again
        memory.reset(new (std::nothrow) MemoryBuffer(*this));
        if (memory) {
            out.rdbuf(memory.get());
            return;
        }
    }
    MakeDirectory(path);
    OpenBuffered(std::ios_base::out | std::ios_base::trunc | std::ios_base::binary);
}

PartFile::~PartFile() = default;

bool PartFile::InMemory() const
{
    return memory && !memory->Spilled();
}

std::string_view PartFile::BytesInMemory() const
{
    return InMemory() ? memory->Written() : std::string_view();
}

// Keeps the first failure, with the errno of the call that just failed.
void PartFile::Fail(const char* what, int errorNumber)
{
    if (!failure.Ok())
        return;
    failure = Status::System(what, path, errorNumber);
    PartFailureScope::Report(failure);
}

bool PartFile::OpenBuffered(std::ios_base::openmode mode)
{
    buffer.reset(new char[bufferSize]);
    // The buffer has to be installed before the file is opened to take effect.
    file.rdbuf()->pubsetbuf(buffer.get(), static_cast<std::streamsize>(bufferSize));
    errno = 0;
    file.open(path, mode);
    out.rdbuf(file.rdbuf());
    if (!file.is_open()) {
        out.setstate(std::ios_base::badbit);
        Fail("cannot create", errno);
    }
    return file.is_open();
}

bool PartFile::HandOver(Reclaim takeBack)
{
    if (!InMemory() || IsHandedOver() || !takeBack || out.fail())
        return false;
    memory->Clear();
    reclaim = std::move(takeBack);
    return true;
}

// Gets the bytes handed over back into memory (or into the file, when
// memory cannot hold them), so that writing goes on after them.
bool PartFile::TakeBack()
{
    Reclaim takeBack = std::move(reclaim);
    reclaim = nullptr;
    std::string bytes;
    bool ok = false;
    try {
        ok = takeBack(bytes) && memory->Refill(std::move(bytes));
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok) {
        lostData = true;
        out.setstate(std::ios_base::badbit);
        if (failure.Ok())
            Fail("cannot get back the bytes of", ENOMEM);
    }
    return ok;
}

void PartFile::Abandon()
{
    reclaim = nullptr;
    lostData = true;
    out.rdbuf(nullptr);
}

bool PartFile::Spill(const char* kept, std::size_t keptSize, const char* more, std::size_t moreSize)
{
    MakeDirectory(path);
    // Switches the stream over to the file, deflated on the way; the bytes
    // kept so far go first.
    if (!OpenBuffered(std::ios_base::out | std::ios_base::trunc | std::ios_base::binary))
        return false;
    deflating.reset(new (std::nothrow) DeflatingBuffer(*this));
    if (!deflating) {
        Fail("cannot write", ENOMEM);
        return false;
    }
    out.rdbuf(deflating.get());
    const auto put = [this](const char* bytes, std::size_t size) {
        return deflating->sputn(bytes, static_cast<std::streamsize>(size)) ==
               static_cast<std::streamsize>(size);
    };
    return put(kept, keptSize) && put(more, moreSize);
}

void PartFile::Suspend()
{
    if (suspended || !file.is_open())
        return;
    errno = 0;
    if (deflating && !deflating->Pause())
        lostData = true;
    out.flush();
    lostData = lostData || out.fail();
    file.close();
    if (file.fail() || lostData) {
        lostData = true;
        Fail("cannot write", errno);
    }
    buffer.reset();
    suspended = true;
}

bool PartFile::Resume()
{
    if (IsHandedOver())
        return TakeBack();
    if (!suspended)
        return file.is_open() || InMemory();
    suspended = false;
    file.clear();
    if (!OpenBuffered(std::ios_base::out | std::ios_base::app | std::ios_base::binary))
        lostData = true;
    else if (deflating)
        out.rdbuf(deflating.get());
    return !lostData;
}

bool PartFile::Close()
{
    if (IsHandedOver() && !TakeBack()) {
        PartFailureScope::Report(failure);
        return false;
    }
    if (InMemory()) {
        if (out.fail())
            return false;
        size_t claim = 0;
        std::string bytes = memory->TakeBytes(claim);
        if (MemoryParts::Deposit(folder, name, std::move(bytes), claim))
            return true;
        failure = Status(STATUS_INVALID_USE, "the package folder is gone", name);
        PartFailureScope::Report(failure);
        return false;
    }
    if (suspended)
        Resume();
    if (!file.is_open()) {
        PartFailureScope::Report(failure);
        return false;
    }
    errno = 0;
    const bool deflated = !deflating || (!out.fail() && deflating->Finish());
    out.flush();
    const bool written = !out.fail() && deflated;
    file.close();
    if (file.fail() || !written)
        Fail("cannot write", errno);
    if (!file.fail() && written && !lostData && deflating &&
        !MemoryParts::DepositDeflated(folder, name, deflating->TakePieces())) {
        failure = Status(STATUS_INVALID_USE, "the package folder is gone", name);
        PartFailureScope::Report(failure);
        return false;
    }
    if (!file.fail() && written && !lostData)
        return true;
    PartFailureScope::Report(failure);
    return false;
}

}  // namespace SimpleXlsx
