#include "xlsx/internal/SharedStringTable.h"

#include <cstring>

namespace SimpleXlsx {

namespace {

// A hash of a cell text, eight bytes at a time, each step mixed by a
// multiplication: a few instructions per word, where a general hash of
// bytes costs several per byte. Its low bits choose the slot.
size_t TextHash(std::string_view text)
{
    const uint64_t factor = 0x9E3779B97F4A7C15ull;
    uint64_t hash = text.size() * factor;
    size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        hash = (hash ^ word) * factor;
        hash ^= hash >> 29;
    }
    uint64_t last = 0;
    for (size_t shift = 0; at < text.size(); ++at, shift += 8)
        last |= uint64_t(static_cast<unsigned char>(text[at])) << shift;
    hash = (hash ^ last) * factor;
    return size_t(hash ^ (hash >> 32));
}

}  // namespace

uint64_t SharedStringTable::IndexOf(std::string_view text)
{
    const size_t hash = TextHash(text);
    if (const value_type* known = lookup.Find(text, hash))
        return known->second;
    auto found = lower_bound(text);
    if (found == end() || found->first != text)
        found = emplace_hint(found, std::string(text), size());
    lookup.Add(*found, hash);
    return found->second;
}

SharedStringTable::Lookup& SharedStringTable::Lookup::operator=(const Lookup&)
{
    slots.clear();
    used = 0;
    return *this;
}

const SharedStringTable::value_type* SharedStringTable::Lookup::Find(std::string_view text,
                                                                     size_t hash) const
{
    if (slots.empty())
        return nullptr;
    const size_t mask = slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots[at];
        if (slot.entry == nullptr)
            return nullptr;
        if (slot.hash == hash && slot.entry->first == text)
            return slot.entry;
    }
}

void SharedStringTable::Lookup::Add(const value_type& entry, size_t hash)
{
    if (2 * (used + 1) > slots.size())
        Grow();
    const size_t mask = slots.size() - 1;
    size_t at = hash & mask;
    while (slots[at].entry != nullptr)
        at = (at + 1) & mask;
    slots[at] = Slot{hash, &entry};
    ++used;
}

void SharedStringTable::Lookup::Grow()
{
    std::vector<Slot> old(slots.empty() ? 64 : 2 * slots.size());
    old.swap(slots);
    used = 0;
    for (const Slot& slot : old)
        if (slot.entry != nullptr)
            Add(*slot.entry, slot.hash);
}

}  // namespace SimpleXlsx
