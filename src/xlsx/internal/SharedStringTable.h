#ifndef HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H
#define HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

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
    uint64_t IndexOf(std::string_view text)
    {
        const auto known = lookup.byText.find(text);
        if (known != lookup.byText.end())
            return known->second;
        auto found = lower_bound(text);
        if (found == end() || found->first != text)
            found = emplace_hint(found, std::string(text), size());
        lookup.byText.emplace(found->first, found->second);
        return found->second;
    }

private:
    // Views of the map's own keys, so a copy of the table starts empty.
    struct Lookup
    {
        Lookup() = default;
        Lookup(const Lookup&) {}
        Lookup& operator=(const Lookup&)
        {
            byText.clear();
            return *this;
        }
        std::unordered_map<std::string_view, uint64_t> byText;
    };
    Lookup lookup;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H
