#ifndef HORATAB_XLSX_INTERNAL_DEFLATEPIPELINE_H
#define HORATAB_XLSX_INTERNAL_DEFLATEPIPELINE_H

// Compresses a sequence of chunks on up to two worker threads and hands the
// results back in the order the chunks were submitted, so that one thread
// can read the input and write the output while the others deflate.
//
// A chunk is raw deflate data (no zlib or gzip wrapper). It either ends its
// stream (finish) or stops on a byte boundary with a sync flush, so that the
// next chunk's output continues the same stream; a chunk may carry the
// input before it as its dictionary, which keeps the compression ratio of
// one stream when a large input is cut into chunks (as pigz does).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace SimpleXlsx {

class DeflatePipeline
{
public:
    static constexpr unsigned maxWorkers = 2;

    struct Chunk
    {
        // Input: the dictionary bytes, then the bytes to compress.
        std::vector<unsigned char> data;
        size_t dictionary = 0;
        bool finish = false;  // ends the deflate stream
        size_t tag = 0;       // the caller's own, handed back unchanged

        // Result, valid when the chunk is handed back.
        std::vector<unsigned char> output;
        size_t outputSize = 0;
        uint32_t crc = 0;  // CRC-32 of the bytes compressed (not the dictionary)
        bool ok = false;

        // A chunk deflated earlier passes through in its place in the
        // order: its output, CRC and input size are set instead of its data.
        bool precompressed = false;
        size_t precompressedInput = 0;

        size_t InputSize() const
        {
            return precompressed ? precompressedInput : data.size() - dictionary;
        }
    };

    // Receives every compressed chunk, in submission order; false stops the
    // pipeline.
    using Consumer = std::function<bool(const Chunk& chunk)>;

    // `workers` is capped at maxWorkers; with 0 (or when no thread can be
    // started) chunks are compressed on the calling thread as they are
    // submitted. `level` is a zlib level (-1: zlib's default).
    DeflatePipeline(unsigned workers, int level, Consumer consumer);
    ~DeflatePipeline();

    DeflatePipeline(const DeflatePipeline&) = delete;
    DeflatePipeline& operator=(const DeflatePipeline&) = delete;

    // A chunk to fill, its fields as the chunk's last use left them (buffers
    // keep their capacity). When every chunk is in flight, the oldest is
    // first waited for and handed to the consumer. Null once the pipeline
    // has failed.
    Chunk* Acquire();
    // Queues the chunk last acquired.
    void Submit(Chunk& chunk);
    // Hands every remaining chunk to the consumer; true when every chunk was
    // compressed and consumed.
    bool Finish();

private:
    struct Workers;

    void ConsumeOldest();

    std::vector<Chunk> chunks;
    uint64_t submitted = 0;
    uint64_t consumed = 0;
    bool failed = false;
    Consumer consumer;
    std::unique_ptr<Workers> workers;  // declared last: stopped before the chunks go
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_DEFLATEPIPELINE_H
