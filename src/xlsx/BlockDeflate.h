#pragma once
// Deflates one byte stream in independent blocks on up to two worker
// threads, as pigz does. Each block is compressed with the 32 KiB of input
// before it as its dictionary and ends on a byte boundary (a sync flush), so
// the compressed blocks joined in order, followed by an empty final block,
// form one raw deflate stream that any inflater reads; the compression ratio
// stays close to that of a single stream.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace SimpleXlsx {

class BlockDeflater {
public:
    static constexpr size_t kDefaultBlockSize = 1024 * 1024;
    static constexpr unsigned kMaxWorkers = 2;

    // Fills `data` with up to `size` bytes and sets `count`; a count of 0
    // ends the stream. False on a read error.
    using Reader = std::function<bool(unsigned char* data, size_t size, size_t& count)>;
    // Takes the next piece of compressed output; false stops the work.
    using Writer = std::function<bool(const unsigned char* data, size_t size)>;

    struct Totals {
        uint32_t crc = 0;       // CRC-32 of the uncompressed stream
        uint64_t size = 0;      // bytes read
    };

    // `workers` is capped at kMaxWorkers; 0 compresses on the calling thread.
    // `level` is a zlib compression level (-1 for zlib's default).
    explicit BlockDeflater(unsigned workers = kMaxWorkers, size_t blockSize = kDefaultBlockSize,
                           int level = -1);

    // Reads the whole stream, writes its raw deflate form in order and
    // fills `totals`. False when reading, compressing or writing failed (or
    // memory ran out); the output is then incomplete.
    bool Deflate(const Reader& read, const Writer& write, Totals& totals) const;

private:
    bool Run(const Reader& read, const Writer& write, Totals& totals) const;

    unsigned workers;
    size_t blockSize;
    int level;
};

}  // namespace SimpleXlsx
