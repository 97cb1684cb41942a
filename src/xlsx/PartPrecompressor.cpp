#include "xlsx/internal/PartPrecompressor.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace SimpleXlsx {

namespace {

// The whole part back from the chunks of its one deflate stream.
bool Inflate(const std::vector<PackedChunk>& chunks, std::string& bytes)
{
    size_t size = 0;
    for (const PackedChunk& chunk : chunks)
        size += chunk.inputSize;
    bytes.assign(size, '\0');
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_out = reinterpret_cast<Bytef*>(&bytes[0]);
    stream.avail_out = static_cast<uInt>(size);
    int status = Z_OK;
    for (const PackedChunk& chunk : chunks) {
        stream.next_in = const_cast<Bytef*>(chunk.bytes.data());
        stream.avail_in = static_cast<uInt>(chunk.bytes.size());
        status = inflate(&stream, Z_SYNC_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
    }
    const bool whole = status == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    return whole;
}

}  // namespace

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

PartPrecompressor::Texts::iterator PartPrecompressor::Keep(std::string text)
{
    const auto found = texts.find(text);
    if (found != texts.end()) {
        ++found->second;
        return found;
    }
    // A new text counts in the budget, but is kept even beyond it: it is
    // small beside the part that brings it.
    claimed += text.size();
    return texts.emplace(std::move(text), 1).first;
}

void PartPrecompressor::Forget(Texts::iterator text)
{
    if (--text->second != 0)
        return;
    Release(text->first.size());
    texts.erase(text);
}

bool PartPrecompressor::Submit(const std::string& name, std::string bytes, size_t headSize,
                               size_t endSize)
{
    if (!Running() || headSize + endSize > bytes.size())
        return false;
    std::unique_lock<std::mutex> lock(mutex);
    if (packing || parts.count(name) != 0)
        return false;
    // Deflating the parts queued frees room.
    while (!stopping && !Claim(bytes.size())) {
        if (queue.empty() && !working)
            return false;
        partDone.wait(lock);
    }
    if (stopping) {
        Release(bytes.size());
        return false;
    }
    const auto entry = parts.try_emplace(name).first;
    Part& part = entry->second;
    try {
        part.head = Keep(bytes.substr(0, headSize));
        part.end = Keep(bytes.substr(bytes.size() - endSize));
        part.claimed = bytes.size();
        part.bytes = std::move(bytes);
        queue.push_back(name);
        part.queued = true;
    } catch (const std::bad_alloc&) {
        Release(bytes.size());
        parts.erase(entry);
        return false;
    }
    workReady.notify_one();
    return true;
}

bool PartPrecompressor::Reclaim(const std::string& name, std::string& body)
{
    std::unique_lock<std::mutex> lock(mutex);
    const auto found = parts.find(name);
    if (found == parts.end())
        return false;
    Part& part = found->second;
    partDone.wait(lock, [&part] { return !part.inHand; });
    bool whole = true;
    if (part.done)
        whole = Inflate(part.chunks, part.bytes);
    const size_t headSize = part.head->first.size();
    const size_t endSize = part.end->first.size();
    if (whole)
        body = part.bytes.substr(headSize, part.bytes.size() - headSize - endSize);
    Release(part.claimed);
    Forget(part.head);
    Forget(part.end);
    Unqueue(name, part);
    parts.erase(found);
    partDone.notify_all();
    return whole;
}

// Parts leave the queue mostly from its front, where the search ends at once.
void PartPrecompressor::Unqueue(const std::string& name, Part& part)
{
    if (!part.queued)
        return;
    queue.erase(std::find(queue.begin(), queue.end(), name));
    part.queued = false;
}

bool PartPrecompressor::Seal(const std::string& name, std::string_view head, std::string_view end)
{
    return SealIf(name, [head, end](const Part& part) {
        return part.head->first == head && part.end->first == end;
    });
}

bool PartPrecompressor::Seal(const std::string& name)
{
    return SealIf(name, [](const Part&) { return true; });
}

template <typename Unchanged>
bool PartPrecompressor::SealIf(const std::string& name, Unchanged unchanged)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto found = parts.find(name);
    if (found == parts.end() || !unchanged(found->second))
        return false;
    found->second.sealed = true;
    return true;
}

void PartPrecompressor::StartPacking()
{
    std::lock_guard<std::mutex> lock(mutex);
    packing = true;
    // Parts that are not sealed are saved afresh: deflating them is wasted.
    std::deque<std::string> sealed;
    for (const std::string& name : queue) {
        Part& part = parts[name];
        part.queued = part.sealed;
        if (part.sealed)
            sealed.push_back(name);
    }
    queue.swap(sealed);
}

void PartPrecompressor::Stop(bool deflateQueued)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        draining = deflateQueued;
    }
    workReady.notify_all();
    if (worker.joinable())
        worker.join();
}

void PartPrecompressor::Work()
{
    PartDeflater deflater(blockSize);
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        workReady.wait(lock, [this] { return stopping || !queue.empty(); });
        if (stopping && (!draining || queue.empty()))
            return;
        Part& part = parts[packing ? queue.back() : queue.front()];
        if (packing)
            queue.pop_back();
        else
            queue.pop_front();
        part.queued = false;
        // Reclaim waits while the part is in hand; nothing else touches it.
        part.inHand = true;
        working = true;
        lock.unlock();
        std::vector<PackedChunk> chunks;
        bool deflated = false;
        try {
            deflated = deflater.Deflate(part.bytes, chunks);
        } catch (const std::bad_alloc&) {
            // left to the packer
        }
        lock.lock();
        if (deflated)
            Deflated(part, chunks);
        part.inHand = false;
        working = false;
        partDone.notify_all();
    }
}

// Keeps the chunks instead of the bytes when the budget allows.
void PartPrecompressor::Deflated(Part& part, std::vector<PackedChunk>& chunks)
{
    size_t compressed = 0;
    for (const PackedChunk& chunk : chunks)
        compressed += chunk.bytes.size();
    const size_t size = part.bytes.size();
    if (compressed > size && !Claim(compressed - size))
        return;
    if (compressed <= size)
        Release(size - compressed);
    part.claimed = part.claimed - size + compressed;
    part.chunks = std::move(chunks);
    std::string().swap(part.bytes);
    part.done = true;
}

bool PartPrecompressor::Take(const std::string& name, HeldPart& held)
{
    std::unique_lock<std::mutex> lock(mutex);
    const auto found = parts.find(name);
    if ((!packing && Running()) || found == parts.end() || !found->second.sealed)
        return false;
    Part& part = found->second;
    partDone.wait(lock, [&part] { return !part.inHand; });
    Unqueue(name, part);  // the packer deflates it
    held.chunks = part.done ? &part.chunks : nullptr;
    held.bytes = part.bytes;
    return true;
}

}  // namespace SimpleXlsx
