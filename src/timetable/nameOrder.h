#ifndef HORATAB_TIMETABLE_NAMEORDER_H
#define HORATAB_TIMETABLE_NAMEORDER_H

// The order in which teachers and student groups are listed and exported:
// the byte order of their names, or the order of the alphabet.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "timetable/containers.h"

enum class nameOrder
{
    bytes,     // ascending unsigned bytes: "Zeman" before "Černý"
    alphabet,  // Unicode collation: "Cerny", "Černý", "Zeman"
};

// "bytes" or "alphabet"; false for any other text.
bool parseNameOrder(const std::string& text, nameOrder& order);

// The positions of `names`, taken in `order`: element k is the position of
// the k-th name. The alphabet is the root collation of the Unicode
// Collation Algorithm (ICU): letters before their accented forms ("Cerny",
// "Černý", "Cesta"), small letters before capitals of the same word, digits
// before letters, each digit on its own ("10" before "9"). A name that is
// not valid UTF-8 is collated with U+FFFD for each bad sequence. Names the
// alphabet counts equal keep their byte order, so the order is the same
// from any starting order. False, with the positions in byte order, when
// ICU cannot collate; `problem` then says why.
bool namePositions(const std::vector<const std::string*>& names, nameOrder order,
                   std::vector<size_t>& positions, std::string& problem);

// `names` put in `order`.
bool sortNames(std::vector<std::string>& names, nameOrder order, std::string& problem);

// The objects of `registry` in the order of their names.
template <typename T>
bool objectsInOrder(const vorMapPtr<T>& registry, nameOrder order, std::vector<T*>& objects,
                    std::string& problem)
{
    std::vector<const std::string*> names;
    std::vector<T*> byBytes;
    names.reserve(registry.size());
    byBytes.reserve(registry.size());
    for (const auto& entry : registry.map()) {
        names.push_back(&entry.first);
        byBytes.push_back(entry.second);
    }
    std::vector<size_t> positions;
    const bool ordered = namePositions(names, order, positions, problem);
    objects.clear();
    objects.reserve(positions.size());
    for (size_t position : positions)
        objects.push_back(byBytes[position]);
    return ordered;
}

#endif  // HORATAB_TIMETABLE_NAMEORDER_H
