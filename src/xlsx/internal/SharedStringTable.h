#ifndef HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H
#define HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace SimpleXlsx {

// The workbook's table of distinct cell texts and their shared-string
// indexes (0, 1, 2, ... in order of first use). Transparent comparison lets
// a lookup use the caller's text without copying it.
class SharedStringTable : public std::map<std::string, uint64_t, std::less<>>
{
public:
    using map::map;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_SHAREDSTRINGTABLE_H
