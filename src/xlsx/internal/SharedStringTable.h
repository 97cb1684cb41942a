#ifndef HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H
#define HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace SimpleXlsx {

// The workbook's table of distinct cell texts and their shared-string
// indexes (0, 1, 2, ... in order of first use). Transparent comparison lets
// a lookup use the caller's text without copying it.
class SharedStringTable : public std::map<std::string, uint64_t, std::less<>>
{
public:
    using map::map;

    // The index of `text`, adding it with the next index (the number of
    // entries so far) when it is new. A text met before is found by its
    // hash, without comparing it with the texts around it in the map.
    uint64_t IndexOf(std::string_view text);

private:
    // The map's own entries by the hash of their text, in open addressing
    // over a power-of-two number of slots, at most half of them used. A
    // copy of the table starts it empty: it would point into the original.
    class Lookup
    {
    public:
        Lookup() = default;
        Lookup(const Lookup&) {}
        Lookup& operator=(const Lookup&);

        // The entry of `text`, or null.
        const value_type* Find(std::string_view text, size_t hash) const;
        void Add(const value_type& entry, size_t hash);

    private:
        struct Slot
        {
            size_t hash = 0;
            const value_type* entry = nullptr;
        };

        void Grow();

        std::vector<Slot> slots;
        size_t used = 0;
    };
    Lookup lookup;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H
