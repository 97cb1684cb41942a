#ifndef HORATAB_XLSX_INTERNAL_PARTPRECOMPRESSOR_H
#define HORATAB_XLSX_INTERNAL_PARTPRECOMPRESSOR_H

// Deflates finished-looking parts on a thread of its own while the caller
// goes on building the next ones, so that the second core works during the
// build instead of only at packing.
//
// A part is handed over whole, as it would be packed if nothing changed it
// any more, and from then on this is where its bytes are kept: once it is
// deflated, only its chunks (about a quarter of the size) and a copy of its
// head and end remain. The writer of the part either gets the bytes back
// to write on (Reclaim, which inflates the chunks when needed), or, at
// saving, seals the part by showing that its head and end are still the
// same: its body cannot have changed, since writing it again would have
// reclaimed it. The packer takes only sealed parts, so the archive's bytes
// never depend on what was deflated ahead. While the packer goes through
// the parts from the first, the thread goes on deflating from the last:
// the packer deflates a part still queued itself, and waits for one in
// hand. The bytes held here stay within a budget of their own: a part
// waits for room while parts queued before it are deflated, and is refused
// when there is none.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "xlsx/internal/PartPacker.h"

namespace SimpleXlsx {

class PartPrecompressor : public PackedParts
{
public:
    // Chunks as PackPartFiles makes them with blocks of `blockSize`.
    explicit PartPrecompressor(size_t blockSize);
    ~PartPrecompressor() override;

    PartPrecompressor(const PartPrecompressor&) = delete;
    PartPrecompressor& operator=(const PartPrecompressor&) = delete;

    // Whether a thread runs; without one Submit refuses every part.
    bool Running() const { return worker.joinable(); }

    // Takes over the whole bytes of part `name`: its head (the first
    // `headSize` bytes), its body and its end (the last `endSize` bytes).
    // False when it cannot: no thread, no room in the budget even once the
    // queue is deflated, the part held already, or the workbook being saved.
    bool Submit(const std::string& name, std::string bytes, size_t headSize, size_t endSize);

    // Gives back the body of part `name` (its bytes without head and end)
    // and forgets the part; false when it is not held or cannot be inflated.
    bool Reclaim(const std::string& name, std::string& body);

    // Marks part `name` for the packer when `head` and `end` are those it
    // was handed over with; false (the part still held) otherwise.
    bool Seal(const std::string& name, std::string_view head, std::string_view end);
    // Marks part `name` for the packer as it was handed over; for a writer
    // that knows its head and end are unchanged.
    bool Seal(const std::string& name);

    // From now on no part is submitted, reclaimed or sealed: the sealed
    // parts go to the packer, and the thread deflates the queued ones from
    // the last. Take answers only after it.
    void StartPacking();

    // Stops the thread once the part in hand is deflated (and the queued
    // ones, when `deflateQueued`); parts still queued keep their bytes, and
    // the packer deflates them.
    void Stop(bool deflateQueued = false);

    // A sealed part, deflated when its turn came before the packer's; one
    // still queued is the packer's to deflate.
    bool Take(const std::string& name, HeldPart& part) override;

private:
    // Heads and ends are much alike from part to part: each distinct text
    // is kept once, with the count of parts that have it.
    using Texts = std::map<std::string, size_t>;

    struct Part
    {
        std::string bytes;  // the whole part until deflated
        Texts::iterator head;
        Texts::iterator end;
        std::vector<PackedChunk> chunks;
        size_t claimed = 0;
        bool queued = false;  // waiting to be deflated
        bool inHand = false;  // being deflated: its bytes stay put
        bool done = false;    // chunks made, bytes dropped
        bool sealed = false;
    };

    Texts::iterator Keep(std::string text);
    void Forget(Texts::iterator text);
    void Unqueue(const std::string& name, Part& part);
    template <typename Unchanged>
    bool SealIf(const std::string& name, Unchanged unchanged);
    void Work();
    void Deflated(Part& part, std::vector<PackedChunk>& chunks);
    // The budget, taken and given back under the mutex.
    bool Claim(size_t bytes);
    void Release(size_t bytes);

    static constexpr size_t budget = 64 * 1024 * 1024;
    const size_t blockSize;
    size_t claimed = 0;
    std::mutex mutex;
    std::condition_variable workReady;
    std::condition_variable partDone;
    Texts texts;
    std::map<std::string, Part> parts;
    std::deque<std::string> queue;  // names of parts waiting to be deflated
    bool stopping = false;
    bool draining = false;  // stopping once the queue is empty
    bool packing = false;   // the queue is taken from its end
    bool working = false;   // a part is being deflated
    std::thread worker;     // last: started when everything else is ready
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_PARTPRECOMPRESSOR_H
