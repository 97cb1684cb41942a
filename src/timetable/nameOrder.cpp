#include "timetable/nameOrder.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>

namespace {

struct collatorCloser
{
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

// Sort keys of ICU's root collation: two names compare in the alphabet as
// their keys compare byte by byte.
class alphabetKeys
{
public:
    alphabetKeys()
    {
        UErrorCode error = U_ZERO_ERROR;
        collator.reset(ucol_open("", &error));
        if (U_FAILURE(error)) {
            collator.reset();
            problem = std::string("cannot collate the names: ") + u_errorName(error);
        }
    }

    bool ready() const { return collator != nullptr; }
    const std::string& failure() const { return problem; }

    // False when the name cannot be converted to UTF-16.
    bool keyOf(const std::string& name, std::string& key)
    {
        if (!toUtf16(name))
            return false;
        // Most keys take under four bytes a character; a longer one is
        // asked for again with the length it needs.
        key.resize(4 * size_t(textLength) + 16);
        int32_t length = sortKey(key);
        if (size_t(length) > key.size()) {
            key.resize(size_t(length));
            length = sortKey(key);
        }
        key.resize(length > 0 ? size_t(length - 1) : 0);  // without the closing 0
        return true;
    }

private:
    int32_t sortKey(std::string& key) const
    {
        return ucol_getSortKey(collator.get(), text.data(), textLength,
                               reinterpret_cast<uint8_t*>(&key[0]),
                               int32_t(std::min<size_t>(key.size(), INT32_MAX)));
    }

    // Bad UTF-8 sequences become U+FFFD.
    bool toUtf16(const std::string& name)
    {
        if (name.size() > size_t(INT32_MAX / 8)) {
            problem = "cannot collate the names: a name is too long";
            return false;
        }
        text.resize(name.size() + 1);  // never empty, so never a null buffer
        UErrorCode error = U_ZERO_ERROR;
        u_strFromUTF8WithSub(text.data(), int32_t(text.size()), &textLength, name.data(),
                             int32_t(name.size()), 0xFFFD, nullptr, &error);
        if (U_FAILURE(error)) {
            problem = std::string("cannot collate the names: ") + u_errorName(error);
            return false;
        }
        return true;
    }

    std::unique_ptr<UCollator, collatorCloser> collator;
    std::vector<UChar> text;
    int32_t textLength = 0;
    std::string problem;
};

void sortByBytes(const std::vector<const std::string*>& names, std::vector<size_t>& positions)
{
    std::stable_sort(positions.begin(), positions.end(),
                     [&names](size_t a, size_t b) { return *names[a] < *names[b]; });
}

}  // namespace

bool parseNameOrder(const std::string& text, nameOrder& order)
{
    if (text == "bytes")
        order = nameOrder::bytes;
    else if (text == "alphabet")
        order = nameOrder::alphabet;
    else
        return false;
    return true;
}

bool namePositions(const std::vector<const std::string*>& names, nameOrder order,
                   std::vector<size_t>& positions, std::string& problem)
{
    positions.resize(names.size());
    std::iota(positions.begin(), positions.end(), size_t(0));
    sortByBytes(names, positions);
    if (order == nameOrder::bytes)
        return true;

    alphabetKeys alphabet;
    std::vector<std::string> keys(names.size());
    for (size_t k = 0; k < names.size() && alphabet.ready(); ++k)
        if (!alphabet.keyOf(*names[k], keys[k])) {
            problem = alphabet.failure();
            return false;
        }
    if (!alphabet.ready()) {
        problem = alphabet.failure();
        return false;
    }
    // Stable: names the alphabet counts equal stay in byte order.
    std::stable_sort(positions.begin(), positions.end(),
                     [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    return true;
}

bool sortNames(std::vector<std::string>& names, nameOrder order, std::string& problem)
{
    std::vector<const std::string*> pointers;
    pointers.reserve(names.size());
    for (const std::string& name : names)
        pointers.push_back(&name);
    std::vector<size_t> positions;
    const bool ordered = namePositions(pointers, order, positions, problem);
    std::vector<std::string> arranged;
    arranged.reserve(names.size());
    for (size_t position : positions)
        arranged.push_back(std::move(names[position]));
    names.swap(arranged);
    return ordered;
}
