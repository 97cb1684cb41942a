#include "xlsx/internal/DeflatePipeline.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace SimpleXlsx {

namespace {

// One raw deflate stream, made for the first chunk and reset for every
// further one.
class Compressor
{
public:
    explicit Compressor(int level) : level(level) {}
    ~Compressor()
    {
        if (ready)
            deflateEnd(&stream);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    // Fills the chunk's result; never throws.
    void Compress(DeflatePipeline::Chunk& chunk)
    {
        chunk.ok = false;
        const size_t size = chunk.InputSize();
        const unsigned char* input = chunk.data.data() + chunk.dictionary;
        chunk.crc =
            static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), input, static_cast<uInt>(size)));
        if (!Ready())
            return;
        if (chunk.dictionary != 0 &&
            deflateSetDictionary(&stream, chunk.data.data(), static_cast<uInt>(chunk.dictionary)) !=
                Z_OK)
            return;
        try {
            // deflateBound leaves out the sync flush marker and the end: a little more.
            const size_t bound = deflateBound(&stream, static_cast<uLong>(size)) + 64;
            if (chunk.output.size() < bound)
                chunk.output.resize(bound);
        } catch (const std::bad_alloc&) {
            return;
        }
        stream.next_in = const_cast<unsigned char*>(input);
        stream.avail_in = static_cast<uInt>(size);
        stream.next_out = chunk.output.data();
        stream.avail_out = static_cast<uInt>(chunk.output.size());
        // With the room deflateBound promises, one call consumes and flushes all.
        const int status = deflate(&stream, chunk.finish ? Z_FINISH : Z_SYNC_FLUSH);
        const bool complete =
            chunk.finish ? status == Z_STREAM_END : status == Z_OK && stream.avail_out != 0;
        if (!complete || stream.avail_in != 0)
            return;
        chunk.outputSize = chunk.output.size() - stream.avail_out;
        chunk.ok = true;
    }

private:
    // A stream just made is in the state a reset gives: the reset clears
    // deflate's 64 KiB hash table, which costs as much as deflating a small
    // part, so it is done only for a stream used before.
    bool Ready()
    {
        if (made)
            return ready && deflateReset(&stream) == Z_OK;
        made = true;
        ready = deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        return ready;
    }

    const int level;
    z_stream stream = {};
    bool made = false;
    bool ready = false;
};

}  // namespace

// The worker threads, each with its own compressor, and the queue that
// feeds them. Stopping drops queued chunks and waits for those in hand.
struct DeflatePipeline::Workers
{
    enum class State
    {
        Free,
        Queued,
        Done
    };

    Workers(unsigned count, int level, size_t chunkCount)
        : level(level), states(chunkCount, State::Free)
    {
        for (unsigned i = 0; i < count; ++i) {
            try {
                threads.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break;  // go on with fewer workers
            }
        }
    }
    ~Workers()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
            queue.clear();
        }
        workReady.notify_all();
        for (std::thread& thread : threads)
            thread.join();
    }

    void Queue(Chunk& chunk, size_t slot)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            states[slot] = State::Queued;
            queue.emplace_back(&chunk, slot);
        }
        workReady.notify_one();
    }

    void MarkDone(size_t slot)
    {
        std::lock_guard<std::mutex> lock(mutex);
        states[slot] = State::Done;
    }

    void WaitFor(size_t slot)
    {
        std::unique_lock<std::mutex> lock(mutex);
        chunkDone.wait(lock, [this, slot] { return states[slot] == State::Done; });
        states[slot] = State::Free;
    }

    void Work()
    {
        Compressor compressor(level);
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            workReady.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping)
                return;
            const auto [chunk, slot] = queue.front();
            queue.pop_front();
            lock.unlock();
            compressor.Compress(*chunk);
            lock.lock();
            states[slot] = State::Done;
            chunkDone.notify_all();
        }
    }

    const int level;
    std::mutex mutex;
    std::condition_variable workReady;
    std::condition_variable chunkDone;
    std::deque<std::pair<Chunk*, size_t>> queue;
    std::vector<State> states;
    bool stopping = false;
    std::vector<std::thread> threads;
    Compressor ownCompressor{level};  // used when there is no worker thread
};

DeflatePipeline::DeflatePipeline(unsigned workerCount, int level, Consumer consumer)
    : chunks(2 * std::max(1u, std::min(workerCount, maxWorkers))), consumer(std::move(consumer)),
      workers(new Workers(std::min(workerCount, maxWorkers), level, chunks.size()))
{}

DeflatePipeline::~DeflatePipeline() = default;

DeflatePipeline::Chunk* DeflatePipeline::Acquire()
{
    if (!failed && submitted - consumed == chunks.size())
        ConsumeOldest();
    return failed ? nullptr : &chunks[submitted % chunks.size()];
}

void DeflatePipeline::Submit(Chunk& chunk)
{
    const size_t slot = submitted % chunks.size();
    if (chunk.precompressed) {
        chunk.ok = true;
        if (!workers->threads.empty())
            workers->MarkDone(slot);
    } else if (workers->threads.empty())
        workers->ownCompressor.Compress(chunk);
    else
        workers->Queue(chunk, slot);
    ++submitted;
}

void DeflatePipeline::ConsumeOldest()
{
    const size_t slot = consumed % chunks.size();
    if (!workers->threads.empty())
        workers->WaitFor(slot);
    const Chunk& chunk = chunks[slot];
    if (!chunk.ok || !consumer(chunk))
        failed = true;
    ++consumed;
}

bool DeflatePipeline::Finish()
{
    while (!failed && consumed < submitted)
        ConsumeOldest();
    return !failed;
}

}  // namespace SimpleXlsx
