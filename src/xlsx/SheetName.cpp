#include "xlsx/SheetName.h"

#include <locale.h>
#include <wctype.h>

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

bool IsTaken(const std::string& name, const std::vector<std::string>& taken)
{
    return std::any_of(taken.begin(), taken.end(),
                       [&name](const std::string& other) { return SameSheetName(name, other); });
}

// The lower-case form of a character. Spreadsheet programs compare sheet
// names without regard to case in every script, so the mapping of the
// C.UTF-8 locale is used whatever locale the program runs in; only ASCII
// letters are folded where that locale does not exist.
uint32_t LowerCase(uint32_t c)
{
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (utf8 != locale_t(nullptr)) return static_cast<uint32_t>(towlower_l(static_cast<wint_t>(c), utf8));
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

// The character at text[pos], lower-cased, and its length in bytes; a byte
// that is not valid UTF-8 stands for itself (as 0x110000 + byte).
uint32_t FoldedCharacter(std::string_view text, size_t pos, size_t& length)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    length = Utf8SequenceLength(text, pos);
    if (length == 0) {
        length = 1;
        return 0x110000 + lead;
    }
    if (length == 1) return LowerCase(lead);
    uint32_t c = lead & (0xFF >> (length + 1));
    for (size_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    return LowerCase(c);
}

}  // namespace

bool SameSheetName(std::string_view a, std::string_view b)
{
    size_t posA = 0, posB = 0;
    while (posA < a.size() && posB < b.size()) {
        size_t lengthA, lengthB;
        if (FoldedCharacter(a, posA, lengthA) != FoldedCharacter(b, posB, lengthB)) return false;
        posA += lengthA;
        posB += lengthB;
    }
    return posA == a.size() && posB == b.size();
}

std::string MakeSheetName(std::string_view title, uint32_t index, const std::vector<std::string>& taken)
{
    std::string base = ReplaceForbidden(title);
    CutToBytes(base, kMaxSheetNameBytes);
    ReplaceEdgeApostrophes(base);
    if (base.empty()) base = "Sheet " + std::to_string(index);
    if (!IsTaken(base, taken)) return base;

    for (size_t n = 2;; ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        std::string candidate = base;
        CutToBytes(candidate, kMaxSheetNameBytes - suffix.size());
        if (!candidate.empty() && candidate.front() == '\'') candidate.front() = '_';
        candidate += suffix;
        if (!IsTaken(candidate, taken)) return candidate;
    }
}

}  // namespace SimpleXlsx
