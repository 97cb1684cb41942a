#ifndef HORATAB_XLSX_INTERNAL_PARTPRECOMPRESSOR_H
#define HORATAB_XLSX_INTERNAL_PARTPRECOMPRESSOR_H

// Deflates finished-looking parts on a thread of its own while the caller
// goes on building the next ones, so that the second core works during the
// build instead of only at packing. A part is handed over whole, as it
// would be packed if nothing changed it any more; the packer uses its
// chunks only when the part's final bytes are exactly those (anything else
// is deflated at packing as before), so the archive's bytes never depend on
// what was deflated ahead. The bytes held here stay within a budget of their
// own; a part the budget cannot take is left to the packer.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>
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

    // Whether a thread runs; without one Submit drops every part.
    bool Running() const { return worker.joinable(); }

    // Queues the whole bytes of part `name` (replacing what was handed over
    // for it before).
    void Submit(const std::string& name, std::string bytes);

    // Drops the parts not yet begun, unless `deflateQueued`, and waits for
    // the one in hand; Find answers only after it.
    void Stop(bool deflateQueued = false);

    const std::vector<PackedChunk>* Find(const std::string& name, std::string_view head,
                                         std::string_view body) const override;

private:
    struct Part
    {
        std::string bytes;
        std::vector<PackedChunk> chunks;
        size_t claimed = 0;
        bool queued = false;
        bool done = false;
    };

    void Work();
    void Drop(Part& part);
    // The budget, taken and given back under the mutex.
    bool Claim(size_t bytes);
    void Release(size_t bytes);

    static constexpr size_t budget = 64 * 1024 * 1024;
    const size_t blockSize;
    size_t claimed = 0;
    std::mutex mutex;
    std::condition_variable workReady;
    std::map<std::string, Part> parts;
    std::deque<std::string> queue;  // names of parts waiting to be deflated
    bool stopping = false;
    std::thread worker;  // last: started when everything else is ready
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_PARTPRECOMPRESSOR_H
