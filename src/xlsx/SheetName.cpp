#include "xlsx/internal/SheetName.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>

#include "xlsx/internal/Utf8.h"

namespace SimpleXlsx {

namespace {

bool IsForbiddenInName(unsigned char c)
{
    switch (c) {
    case ':':
    case '\\':
    case '/':
    case '?':
    case '*':
    case '[':
    case ']':
        return true;
    default:
        return c < 0x20 || c == 0x7F;
    }
}

// U+FFFE and U+FFFF are not XML characters: a name cannot hold them.
bool IsNonCharacter(std::string_view text, size_t pos, size_t length)
{
    return length == 3 && text[pos] == '\xEF' && text[pos + 1] == '\xBF' &&
           (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF');
}

// Forbidden characters, control characters, U+FFFE, U+FFFF and invalid
// UTF-8 become "_".
std::string ReplaceForbidden(std::string_view title)
{
    std::string name;
    name.reserve(title.size());
    size_t pos = 0;
    while (pos < title.size()) {
        const size_t length = Utf8SequenceLength(title, pos);
        if (length == 0 ||
            (length == 1 && IsForbiddenInName(static_cast<unsigned char>(title[pos])))) {
            name += '_';
            ++pos;
        } else if (IsNonCharacter(title, pos, length)) {
            name += '_';
            pos += length;
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
    if (name.empty())
        return;
    if (name.front() == '\'')
        name.front() = '_';
    if (name.back() == '\'')
        name.back() = '_';
}

// The lower-case form of a character. Spreadsheet programs compare sheet
// names without regard to case in every script, so the mapping of the
// C.UTF-8 locale is used whatever locale the program runs in; only ASCII
// letters are folded where that locale does not exist.
uint32_t LowerCase(uint32_t c)
{
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (utf8 != locale_t(nullptr))
        return static_cast<uint32_t>(towlower_l(static_cast<wint_t>(c), utf8));
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

uint32_t DecodeUtf8(std::string_view text, size_t pos, size_t length)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (length == 1)
        return lead;
    uint32_t c = lead & (0xFF >> (length + 1));
    for (size_t i = 1; i < length; ++i)
        c = (c << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    return c;
}

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The name with every letter in lower case: two names are the same to a
// spreadsheet exactly when these are equal. A byte that is not UTF-8 is
// kept behind a 0xFF (which UTF-8 never holds), so it meets only itself.
std::string Folded(std::string_view name)
{
    std::string folded;
    folded.reserve(name.size());
    for (size_t pos = 0; pos < name.size();) {
        const size_t length = Utf8SequenceLength(name, pos);
        if (length == 0) {
            folded += '\xFF';
            folded += name[pos++];
            continue;
        }
        AppendUtf8(folded, LowerCase(DecodeUtf8(name, pos, length)));
        pos += length;
    }
    return folded;
}

template <typename IsTaken>
std::string MakeName(std::string_view title, uint32_t index, const IsTaken& isTaken)
{
    std::string base = ReplaceForbidden(title);
    CutToBytes(base, maxSheetNameBytes);
    ReplaceEdgeApostrophes(base);
    if (base.empty())
        base = "Sheet " + std::to_string(index);
    if (!isTaken(base))
        return base;

    for (size_t n = 2;; ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        std::string candidate = base;
        CutToBytes(candidate, maxSheetNameBytes - suffix.size());
        if (!candidate.empty() && candidate.front() == '\'')
            candidate.front() = '_';
        candidate += suffix;
        if (!isTaken(candidate))
            return candidate;
    }
}

}  // namespace

bool SameSheetName(std::string_view a, std::string_view b)
{
    return Folded(a) == Folded(b);
}

std::string MakeSheetName(std::string_view title, uint32_t index,
                          const std::vector<std::string>& taken)
{
    return MakeName(title, index, [&taken](const std::string& name) {
        return std::any_of(taken.begin(), taken.end(), [&name](const std::string& other) {
            return SameSheetName(name, other);
        });
    });
}

bool SheetNameSet::Contains(std::string_view name) const
{
    return folded.count(Folded(name)) != 0;
}

void SheetNameSet::Add(std::string_view name)
{
    folded.insert(Folded(name));
}

std::string SheetNameSet::NameFor(std::string_view title, uint32_t index) const
{
    return MakeName(title, index, [this](const std::string& name) { return Contains(name); });
}

}  // namespace SimpleXlsx
