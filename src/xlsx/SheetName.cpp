#include "xlsx/internal/SheetName.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

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

// The Turkic dotted capital I and dotless small i meet I and i, as some
// readers compare them; full case folding alone keeps them apart.
UChar32 WithoutTurkicI(UChar32 c)
{
    return (c == 0x130 || c == 0x131) ? UChar32('i') : c;
}

void AppendFolded(std::string& out, icu::UnicodeString& run)
{
    run.foldCase(U_FOLD_CASE_DEFAULT);
    run.toUTF8String(out);
    run.remove();
}

// The name with full Unicode case folding (so "ß" meets "SS" and "ς" meets
// "σ"), the Turkic i forms counted as i: two names are the same to a
// spreadsheet reader exactly when these are equal. A byte that is not
// UTF-8 is kept behind a 0xFF (which UTF-8 never holds), so it meets only
// itself.
std::string Folded(std::string_view name)
{
    std::string folded;
    folded.reserve(name.size());
    icu::UnicodeString run;
    for (size_t pos = 0; pos < name.size();) {
        const size_t length = Utf8SequenceLength(name, pos);
        if (length == 0) {
            AppendFolded(folded, run);
            folded += '\xFF';
            folded += name[pos++];
            continue;
        }
        run.append(WithoutTurkicI(static_cast<UChar32>(DecodeUtf8(name, pos, length))));
        pos += length;
    }
    AppendFolded(folded, run);
    return folded;
}

// "History" is reserved by the most used spreadsheet program, which refuses
// a workbook with a sheet of that name in any letter case.
void AvoidReservedName(std::string& name)
{
    if (Folded(name) == "history")
        name += '_';
}

// The name `title` asks for, before any suffix.
std::string BaseName(std::string_view title, uint32_t index)
{
    std::string base = ReplaceForbidden(title);
    CutToBytes(base, maxSheetNameBytes);
    ReplaceEdgeApostrophes(base);
    if (base.empty())
        base = "Sheet " + std::to_string(index);
    AvoidReservedName(base);
    return base;
}

// `base` when it is free, else `base` with the first free suffix " (n)"
// from n = `nextSuffix` on; `nextSuffix` is left after the one used, so
// that many clashes of one base do not try the same suffixes again.
template <typename IsTaken>
std::string WithFreeSuffix(const std::string& base, size_t& nextSuffix, const IsTaken& isTaken)
{
    if (!isTaken(base))
        return base;
    for (;; ++nextSuffix) {
        const std::string suffix = " (" + std::to_string(nextSuffix) + ")";
        std::string candidate = base;
        CutToBytes(candidate, maxSheetNameBytes - suffix.size());
        if (!candidate.empty() && candidate.front() == '\'')
            candidate.front() = '_';
        candidate += suffix;
        if (!isTaken(candidate)) {
            ++nextSuffix;
            return candidate;
        }
    }
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool StartsEscapeSequence(std::string_view text, size_t pos)
{
    return text.size() - pos >= 7 && text[pos] == '_' && text[pos + 1] == 'x' &&
           IsHexDigit(text[pos + 2]) && IsHexDigit(text[pos + 3]) && IsHexDigit(text[pos + 4]) &&
           IsHexDigit(text[pos + 5]) && text[pos + 6] == '_';
}

}  // namespace

bool SameSheetName(std::string_view a, std::string_view b)
{
    return Folded(a) == Folded(b);
}

std::string MakeSheetName(std::string_view title, uint32_t index,
                          const std::vector<std::string>& taken)
{
    size_t nextSuffix = 2;
    return WithFreeSuffix(BaseName(title, index), nextSuffix, [&taken](const std::string& name) {
        return std::any_of(taken.begin(), taken.end(), [&name](const std::string& other) {
            return SameSheetName(name, other);
        });
    });
}

std::string SheetNameAttribute(std::string_view name)
{
    std::string escaped;
    escaped.reserve(name.size());
    for (size_t pos = 0; pos < name.size(); ++pos) {
        if (StartsEscapeSequence(name, pos))
            escaped += "_x005F";
        escaped += name[pos];
    }
    return escaped;
}

bool SheetNameSet::Contains(std::string_view name) const
{
    return folded.count(Folded(name)) != 0;
}

void SheetNameSet::Add(std::string_view name)
{
    folded.insert(Folded(name));
}

std::string SheetNameSet::NameFor(std::string_view title, uint32_t index)
{
    const std::string base = BaseName(title, index);
    auto next = nextSuffix.try_emplace(Folded(base), 2).first;
    return WithFreeSuffix(base, next->second,
                          [this](const std::string& name) { return Contains(name); });
}

}  // namespace SimpleXlsx
