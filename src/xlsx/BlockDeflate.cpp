#include "xlsx/BlockDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace SimpleXlsx {

namespace {

constexpr size_t kWindowSize = 32 * 1024;  // the reach of deflate's back-references
// A final block of fixed codes holding only its end code: ends the stream.
constexpr unsigned char kFinalEmptyBlock[] = {0x03, 0x00};

struct Job {
    enum class State { Free, Queued, Done };

    std::vector<unsigned char> input;  // dictionary, then the block
    size_t dictionary = 0;
    std::vector<unsigned char> output;
    size_t outputSize = 0;
    uLong crc = 0;
    bool ok = false;
    State state = State::Free;

    size_t BlockSize() const { return input.size() - dictionary; }
};

// One raw deflate stream, reset for every block.
class Compressor {
public:
    explicit Compressor(int level)
    {
        ready = deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Compressor()
    {
        if (ready) deflateEnd(&stream);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    // Compresses the job's block, ending on a byte boundary; never throws.
    void Compress(Job& job)
    {
        job.ok = false;
        const size_t size = job.BlockSize();
        job.crc = crc32(crc32(0L, Z_NULL, 0), job.input.data() + job.dictionary, static_cast<uInt>(size));
        if (!ready || deflateReset(&stream) != Z_OK) return;
        if (job.dictionary != 0 &&
            deflateSetDictionary(&stream, job.input.data(), static_cast<uInt>(job.dictionary)) != Z_OK)
            return;
        try {
            // deflateBound leaves no room for the sync flush marker: a little more.
            const size_t bound = deflateBound(&stream, static_cast<uLong>(size)) + 64;
            if (job.output.size() < bound) job.output.resize(bound);
        } catch (const std::bad_alloc&) {
            return;
        }
        stream.next_in = job.input.data() + job.dictionary;
        stream.avail_in = static_cast<uInt>(size);
        stream.next_out = job.output.data();
        stream.avail_out = static_cast<uInt>(job.output.size());
        // With the room deflateBound promises, one call consumes and flushes all.
        const int status = deflate(&stream, Z_SYNC_FLUSH);
        if (status != Z_OK || stream.avail_in != 0 || stream.avail_out == 0) return;
        job.outputSize = job.output.size() - stream.avail_out;
        job.ok = true;
    }

private:
    z_stream stream = {};
    bool ready = false;
};

// Worker threads that compress queued jobs. The destructor stops them,
// after they finish the job in hand, and joins them.
class WorkerPool {
public:
    WorkerPool(unsigned count, int level) : level(level)
    {
        for (unsigned i = 0; i < count; ++i) {
            try {
                threads.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break;  // fewer workers; with none the caller compresses itself
            }
        }
    }
    ~WorkerPool()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
            queue.clear();
        }
        workReady.notify_all();
        for (std::thread& thread : threads) thread.join();
    }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    bool HasWorkers() const { return !threads.empty(); }

    void Submit(Job& job)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            job.state = Job::State::Queued;
            queue.push_back(&job);
        }
        workReady.notify_one();
    }

    void WaitUntilDone(const Job& job)
    {
        std::unique_lock<std::mutex> lock(mutex);
        jobDone.wait(lock, [&job] { return job.state == Job::State::Done; });
    }

private:
    void Work()
    {
        Compressor compressor(level);
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            workReady.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping) return;
            Job* job = queue.front();
            queue.pop_front();
            lock.unlock();
            compressor.Compress(*job);
            lock.lock();
            job->state = Job::State::Done;
            jobDone.notify_all();
        }
    }

    const int level;
    std::mutex mutex;
    std::condition_variable workReady;
    std::condition_variable jobDone;
    std::deque<Job*> queue;
    bool stopping = false;
    std::vector<std::thread> threads;
};

}  // namespace

BlockDeflater::BlockDeflater(unsigned workers, size_t blockSize, int level)
    : workers(std::min(workers, kMaxWorkers)), blockSize(std::max<size_t>(blockSize, 1)), level(level)
{
}

bool BlockDeflater::Deflate(const Reader& read, const Writer& write, Totals& totals) const
{
    try {
        return Run(read, write, totals);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Reads blocks into a ring of job slots, hands them to the workers and
// writes the results in input order; at most slots.size() blocks are in
// memory at a time.
bool BlockDeflater::Run(const Reader& read, const Writer& write, Totals& totals) const
{
    std::vector<Job> slots(2 * std::max(workers, 1u));
    for (Job& job : slots) job.input.reserve(kWindowSize + blockSize);
    std::vector<unsigned char> window;  // the last 32 KiB read so far
    window.reserve(kWindowSize);
    Compressor ownCompressor(level);
    WorkerPool pool(workers, level);  // stopped and joined before the slots go

    uLong crc = crc32(0L, Z_NULL, 0);
    uint64_t total = 0;
    uint64_t nextRead = 0, nextWrite = 0;
    bool inputDone = false;
    bool ok = true;
    while (ok) {
        while (!inputDone && nextRead - nextWrite < slots.size()) {
            Job& job = slots[nextRead % slots.size()];
            job.input.resize(window.size() + blockSize);
            std::memcpy(job.input.data(), window.data(), window.size());
            size_t count = 0;
            if (!read(job.input.data() + window.size(), blockSize, count) || count > blockSize) {
                ok = false;
                break;
            }
            if (count == 0) {
                inputDone = true;
                break;
            }
            job.dictionary = window.size();
            job.input.resize(window.size() + count);
            window.assign(job.input.end() - static_cast<std::ptrdiff_t>(std::min(kWindowSize, job.input.size())),
                          job.input.end());
            if (pool.HasWorkers())
                pool.Submit(job);
            else {
                ownCompressor.Compress(job);
                job.state = Job::State::Done;
            }
            ++nextRead;
        }
        if (!ok || nextWrite == nextRead) break;

        Job& job = slots[nextWrite % slots.size()];
        pool.WaitUntilDone(job);
        ok = job.ok && write(job.output.data(), job.outputSize);
        crc = crc32_combine(crc, job.crc, static_cast<z_off_t>(job.BlockSize()));
        total += job.BlockSize();
        job.state = Job::State::Free;
        ++nextWrite;
    }
    if (!ok) return false;
    totals.crc = static_cast<uint32_t>(crc);
    totals.size = total;
    return write(kFinalEmptyBlock, sizeof kFinalEmptyBlock);
}

}  // namespace SimpleXlsx
