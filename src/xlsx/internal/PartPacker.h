#ifndef HORATAB_XLSX_INTERNAL_PARTPACKER_H
#define HORATAB_XLSX_INTERNAL_PARTPACKER_H

// Packs the package's part files into its zip archive.

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xlsx/Status.h"

namespace SimpleXlsx {

class DeflatePipeline;

// One block of a part as the packer deflates it.
struct PackedChunk
{
    std::vector<unsigned char> bytes;  // raw deflate data
    uint32_t crc = 0;                  // CRC-32 of the block's input
    size_t inputSize = 0;
    bool finish = false;  // ends the part's stream
};

// Deflates whole parts, one after another on the calling thread, into the
// chunks that packing them with blocks of `blockSize` would make. One zlib
// stream serves every part.
class PartDeflater
{
public:
    explicit PartDeflater(size_t blockSize);
    ~PartDeflater();

    PartDeflater(const PartDeflater&) = delete;
    PartDeflater& operator=(const PartDeflater&) = delete;

    // The chunks of `bytes`, the whole of one part; false when zlib fails.
    bool Deflate(const std::string& bytes, std::vector<PackedChunk>& chunks);

private:
    const size_t blockSize;
    std::vector<PackedChunk>* target = nullptr;
    std::unique_ptr<DeflatePipeline> pipeline;
};

// A part held whole in memory for the packer: its chunks when deflated
// already, else its bytes.
struct HeldPart
{
    const std::vector<PackedChunk>* chunks = nullptr;
    std::string_view bytes;
};

// Parts kept for the packer in place of their files, deflated before
// packing where possible: true, with `part` set, when `name` is one. The
// packer takes each part once, in its turn; what `part` points to stays
// as it is until the parts are destroyed.
class PackedParts
{
public:
    virtual ~PackedParts() = default;
    virtual bool Take(const std::string& name, HeldPart& part) = 0;
};

struct PackOptions
{
    size_t blockSize = 1024 * 1024;  // parts are read and deflated in blocks of this size
    unsigned workers = 2;            // deflating threads; 0: all on the calling thread
    PackedParts* packed = nullptr;   // parts held whole, deflated ahead with this block size
};

// Adds the files "<folder>/<name>" to `archive` as deflated entries named
// `name`, in the order of `names`, at zlib's default level; a part that
// `options.packed` or MemoryParts (for `folder`) holds is taken from there
// instead, and packs to the same bytes as its file would. While the calling
// thread reads the files and writes the archive, worker threads
// deflate the next parts and blocks; a large part is deflated as
// independent blocks joined into one stream. Each entry is written raw with
// the CRC and size computed here, so the archive is an ordinary zip.
// False, and the archive incomplete, when a file cannot be read or an entry
// cannot be written; `status`, when given, then says why and names the part.
bool PackPartFiles(zipFile archive, const std::string& folder,
                   const std::vector<std::string>& names,
                   const PackOptions& options = PackOptions(), Status* status = nullptr);

// Bytes that an entry holds before its file's bytes, by part name: a part
// whose beginning is known only when its end has been written (a worksheet
// declares its used range before its rows) keeps that beginning in memory
// instead of copying the file behind it.
using PartHeads = std::map<std::string, std::string>;

// As above; the entries named in `heads` begin with their head.
bool PackPartFiles(zipFile archive, const std::string& folder,
                   const std::vector<std::string>& names, const PartHeads& heads,
                   const PackOptions& options = PackOptions(), Status* status = nullptr);

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_PARTPACKER_H
