#include "xlsx/internal/PartPrecompressor.h"

#include <new>
#include <system_error>
#include <utility>

namespace SimpleXlsx {

PartPrecompressor::PartPrecompressor(size_t blockSize) : blockSize(blockSize)
{
    try {
        worker = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // no thread: every part is deflated at packing
    }
}

PartPrecompressor::~PartPrecompressor()
{
    Stop();
    for (auto& named : parts)
        Drop(named.second);
}

void PartPrecompressor::Drop(Part& part)
{
    Release(std::exchange(part.claimed, 0));
    std::string().swap(part.bytes);
    part.chunks.clear();
    part.done = false;
}

bool PartPrecompressor::Claim(size_t bytes)
{
    if (bytes > budget - claimed)
        return false;
    claimed += bytes;
    return true;
}

void PartPrecompressor::Release(size_t bytes)
{
    claimed -= bytes < claimed ? bytes : claimed;
}

void PartPrecompressor::Submit(const std::string& name, std::string bytes)
{
    if (!Running())
        return;
    std::lock_guard<std::mutex> lock(mutex);
    if (stopping)
        return;
    Part& part = parts[name];
    Drop(part);  // a part handed over again is queued already, or done
    if (!Claim(bytes.size()))
        return;
    part.claimed = bytes.size();
    part.bytes = std::move(bytes);
    if (!part.queued)
        queue.push_back(name);
    part.queued = true;
    workReady.notify_one();
}

void PartPrecompressor::Stop(bool deflateQueued)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        if (!deflateQueued) {
            for (const std::string& name : queue) {
                Drop(parts[name]);
                parts[name].queued = false;
            }
            queue.clear();
        }
    }
    workReady.notify_all();
    if (worker.joinable())
        worker.join();
}

void PartPrecompressor::Work()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        workReady.wait(lock, [this] { return stopping || !queue.empty(); });
        if (queue.empty())
            return;  // stopping
        const std::string name = queue.front();
        queue.pop_front();
        // The bytes leave the map while they are deflated: a Submit of the
        // same part meanwhile starts afresh.
        Part& taken = parts[name];
        taken.queued = false;
        std::string bytes = std::move(taken.bytes);
        const size_t claimed = std::exchange(taken.claimed, 0);
        lock.unlock();
        std::vector<PackedChunk> chunks;
        bool deflated = false;
        try {
            deflated = DeflatePart(bytes, blockSize, chunks);
        } catch (const std::bad_alloc&) {
            // left to the packer
        }
        size_t compressed = 0;
        for (const PackedChunk& chunk : chunks)
            compressed += chunk.bytes.size();
        lock.lock();
        Part& part = parts[name];
        const bool replaced = !part.bytes.empty() || part.claimed != 0;
        if (!deflated || replaced || !Claim(compressed)) {
            Release(claimed);
            continue;
        }
        part.bytes = std::move(bytes);
        part.chunks = std::move(chunks);
        part.claimed = claimed + compressed;
        part.done = true;
    }
}

const std::vector<PackedChunk>*
PartPrecompressor::Find(const std::string& name, std::string_view head, std::string_view body) const
{
    if (Running())
        return nullptr;  // not stopped yet
    const auto found = parts.find(name);
    if (found == parts.end() || !found->second.done)
        return nullptr;
    const std::string& bytes = found->second.bytes;
    if (bytes.size() != head.size() + body.size() ||
        bytes.compare(0, head.size(), head.data(), head.size()) != 0 ||
        bytes.compare(head.size(), body.size(), body.data(), body.size()) != 0)
        return nullptr;
    return &found->second.chunks;
}

}  // namespace SimpleXlsx
