#ifndef HORATAB_BENCH_BENCHCELLS_H
#define HORATAB_BENCH_BENCHCELLS_H

// The benchmark workbook, cell by cell, shared by this writer's benchmark
// and the peer's so that both write exactly the same sheet.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

enum class CellKind
{
    Text,
    Number,
    Mixed
};

struct Options
{
    uint32_t rows = 0;
    uint32_t cols = 0;
    CellKind kind = CellKind::Mixed;
    std::string out;
    bool constantMemory = false;  // peer only
    bool timing = false;          // print the time of the cells and of the save
};

// POOL[i] = GROUPS[i % 20] + " / " + SUBJECTS[i / 20], i = 0..199.
inline std::vector<std::string> MakePool()
{
    static const char* const groups[20] = {"1A", "1B", "1C", "1D", "1E", "2A", "2B",
                                           "2C", "2D", "2E", "3A", "3B", "3C", "3D",
                                           "3E", "4A", "4B", "4C", "4D", "4E"};
    static const char* const subjects[10] = {"Math",    "Physics",   "Chemistry", "Biology",
                                             "History", "Geography", "Music",     "Art",
                                             "PE",      "English"};
    std::vector<std::string> pool;
    pool.reserve(200);
    for (int i = 0; i < 200; ++i)
        pool.push_back(std::string(groups[i % 20]) + " / " + subjects[i / 20]);
    return pool;
}

inline bool IsTextCell(CellKind kind, uint32_t r, uint32_t c)
{
    return kind == CellKind::Text || (kind == CellKind::Mixed && (r + c) % 2 == 0);
}

inline size_t PoolIndex(uint32_t r, uint32_t c)
{
    return (uint64_t{r} * 31 + uint64_t{c} * 17) % 200;
}

inline double NumberAt(uint32_t r, uint32_t c)
{
    return static_cast<double>((uint64_t{r} * 7 + uint64_t{c} * 13) % 100000) / 4.0;
}

// Prints "<label>: <seconds since start> s" to standard error when asked.
class PhaseTimer
{
public:
    explicit PhaseTimer(bool enabled) : enabled(enabled), start(std::chrono::steady_clock::now()) {}
    void Lap(const char* label)
    {
        if (!enabled)
            return;
        const auto now = std::chrono::steady_clock::now();
        std::fprintf(stderr, "%s: %.3f s\n", label,
                     std::chrono::duration<double>(now - start).count());
        start = now;
    }

private:
    bool enabled;
    std::chrono::steady_clock::time_point start;
};

inline bool ParseCount(const char* text, uint32_t& value)
{
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0' || parsed == 0 || parsed > UINT32_MAX)
        return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}

// --rows R --cols C --kind text|number|mixed --out FILE [--timing] [--constant-memory]
inline bool ParseOptions(int argc, char** argv, bool allowConstantMemory, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (allowConstantMemory && std::strcmp(arg, "--constant-memory") == 0) {
            options.constantMemory = true;
            continue;
        }
        if (std::strcmp(arg, "--timing") == 0) {
            options.timing = true;
            continue;
        }
        if (value == nullptr)
            return false;
        ++i;
        if (std::strcmp(arg, "--rows") == 0) {
            if (!ParseCount(value, options.rows))
                return false;
        } else if (std::strcmp(arg, "--cols") == 0) {
            if (!ParseCount(value, options.cols))
                return false;
        } else if (std::strcmp(arg, "--kind") == 0) {
            if (std::strcmp(value, "text") == 0)
                options.kind = CellKind::Text;
            else if (std::strcmp(value, "number") == 0)
                options.kind = CellKind::Number;
            else if (std::strcmp(value, "mixed") == 0)
                options.kind = CellKind::Mixed;
            else
                return false;
        } else if (std::strcmp(arg, "--out") == 0) {
            options.out = value;
        } else {
            return false;
        }
    }
    return options.rows != 0 && options.cols != 0 && !options.out.empty();
}

}  // namespace bench

#endif  // HORATAB_BENCH_BENCHCELLS_H
