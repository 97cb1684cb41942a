#include "xlsx/SheetName.h"

#include <algorithm>

#include "xlsx/Utf8.h"

namespace SimpleXlsx {

namespace {

bool IsForbiddenInName(unsigned char c)
{
    switch (c) {
    case ':': case '\\': case '/': case '?': case '*': case '[': case ']':
        return true;
    default:
        return c < 0x20 || c == 0x7F;
    }
}

// Forbidden characters, control characters and invalid UTF-8 become "_".
std::string ReplaceForbidden(std::string_view title)
{
    std::string name;
    name.reserve(title.size());
    size_t pos = 0;
    while (pos < title.size()) {
        const size_t length = Utf8SequenceLength(title, pos);
        if (length == 0 || (length == 1 && IsForbiddenInName(static_cast<unsigned char>(title[pos])))) {
            name += '_';
            ++pos;
        } else {
            name.append(title, pos, length);
            pos += length;
        }
    }
    return name;
}

void CutToBytes(std::string& name, size_t maxBytes)
{
    name.resize(Utf8PrefixBytes(name, maxBytes));
}

void ReplaceEdgeApostrophes(std::string& name)
{
    if (name.empty()) return;
    if (name.front() == '\'') name.front() = '_';
    if (name.back() == '\'') name.back() = '_';
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) c = FoldAscii(c);
    return folded;
}

template <typename IsTaken>
std::string MakeName(std::string_view title, uint32_t index, const IsTaken& isTaken)
{
    std::string base = ReplaceForbidden(title);
    CutToBytes(base, kMaxSheetNameBytes);
    ReplaceEdgeApostrophes(base);
    if (base.empty()) base = "Sheet " + std::to_string(index);
    if (!isTaken(base)) return base;

    for (size_t n = 2;; ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        std::string candidate = base;
        CutToBytes(candidate, kMaxSheetNameBytes - suffix.size());
        if (!candidate.empty() && candidate.front() == '\'') candidate.front() = '_';
        candidate += suffix;
        if (!isTaken(candidate)) return candidate;
    }
}

}  // namespace

bool SameSheetName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

std::string MakeSheetName(std::string_view title, uint32_t index, const std::vector<std::string>& taken)
{
    return MakeName(title, index, [&taken](const std::string& name) {
        return std::any_of(taken.begin(), taken.end(),
                           [&name](const std::string& other) { return SameSheetName(name, other); });
    });
}

bool SheetNameSet::Contains(std::string_view name) const { return folded.count(Folded(name)) != 0; }

void SheetNameSet::Add(std::string_view name) { folded.insert(Folded(name)); }

std::string SheetNameSet::NameFor(std::string_view title, uint32_t index) const
{
    return MakeName(title, index, [this](const std::string& name) { return Contains(name); });
}

}  // namespace SimpleXlsx
