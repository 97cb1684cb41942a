#ifndef HORATAB_XLSX_INTERNAL_MEMORYPARTS_H
#define HORATAB_XLSX_INTERNAL_MEMORYPARTS_H

// Finished parts kept in memory instead of as files in the package folder.
//
// A package of thousands of small worksheets would otherwise create (and
// later delete) thousands of files, which costs far more than writing and
// deflating their bytes. A workbook admits its folder here; a part written
// into an admitted folder stays in memory while it is small, and its bytes
// wait here, under the part's name, until the packer takes them. The bytes
// held by all parts in memory, finished or still being written, stay within
// one process-wide budget: a part that would exceed its own threshold or
// the budget goes to its file as before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SimpleXlsx {

namespace MemoryParts {

constexpr size_t partThreshold = 1024 * 1024;  // a larger part goes to its file
constexpr size_t budget = 64 * 1024 * 1024;    // all parts in memory, together

// Admits `folder` (a package folder just made); Dismiss drops every part
// still held for it.
void Admit(const std::string& folder);
void Dismiss(const std::string& folder);
bool IsAdmitted(const std::string& folder);

// Claims `bytes` more of the budget; false (and nothing claimed) when the
// budget cannot take them.
bool Claim(size_t bytes);
void Release(size_t bytes);

// Hands the finished part `name` of `folder` over, with `claimed` bytes of
// the budget that go with it; false (the claim released) when the folder is
// no longer admitted.
bool Deposit(const std::string& folder, const std::string& name, std::string&& bytes,
             size_t claimed);
// One block of a part whose file holds its deflate stream: the size of the
// block's deflate data, and the CRC-32 and size of the bytes it holds.
struct DeflatedPiece
{
    uint64_t outputSize = 0;
    uint32_t crc = 0;
    uint64_t inputSize = 0;
};

// Records that the file of part `name` of `folder` holds the part's deflate
// stream, cut into `pieces` (the last one ends the stream), instead of its
// bytes; false when the folder is no longer admitted.
bool DepositDeflated(const std::string& folder, const std::string& name,
                     std::vector<DeflatedPiece> pieces);
// The pieces of such a part, forgotten here; false when it is none.
bool TakeDeflated(const std::string& folder, const std::string& name,
                  std::vector<DeflatedPiece>& pieces);

// Forgets a part deposited earlier under `name` (a part written again).
void Forget(const std::string& folder, const std::string& name);

// A part taken from memory; its claim is released when it goes.
class Taken
{
public:
    Taken() = default;
    Taken(std::string bytes, size_t claimed) : bytes(std::move(bytes)), claimed(claimed) {}
    Taken(Taken&& other) noexcept;
    Taken& operator=(Taken&& other) noexcept;
    ~Taken();

    const std::string& Bytes() const { return bytes; }

private:
    std::string bytes;
    size_t claimed = 0;
};

// Takes the part `name` of `folder` out of memory; false when it is not
// held (it is a file, or missing).
bool Take(const std::string& folder, const std::string& name, Taken& part);

}  // namespace MemoryParts

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_MEMORYPARTS_H
