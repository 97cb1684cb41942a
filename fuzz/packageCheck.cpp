#include "packageCheck.h"

#include <clocale>
#include <cstdint>
#include <cstring>
#include <locale.h>
#include <wctype.h>

#include <pugixml.hpp>

#include "support/zip.h"

namespace horatabCheck {

namespace {

// Decodes the UTF-8 character at text[pos]; 0 when the bytes there are not
// a valid, shortest-form sequence of a scalar value.
size_t decodeUtf8(const std::string& text, size_t pos, uint32_t& codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    size_t length = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

bool allowedInXml(uint32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    return c != 0xFFFE && c != 0xFFFF;
}

std::string hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(value));
    return text;
}

// The code point of the character reference starting at "&#" in `bytes`;
// false when it is not one.
bool characterReference(const std::string& bytes, size_t pos, uint32_t& codePoint)
{
    size_t i = pos + 2;
    const bool hexadecimal = i < bytes.size() && bytes[i] == 'x';
    if (hexadecimal)
        ++i;
    uint64_t value = 0;
    size_t digits = 0;
    for (; i < bytes.size() && bytes[i] != ';'; ++i, ++digits) {
        const char c = bytes[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hexadecimal && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hexadecimal && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || value > 0x10FFFF)
            return false;
        value = value * (hexadecimal ? 16 : 10) + uint64_t(digit);
    }
    if (digits == 0 || i == bytes.size())
        return false;
    codePoint = value > 0x10FFFF ? 0xFFFF : uint32_t(value);
    return true;
}

locale_t utf8Locale()
{
    static locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    return locale;
}

std::string folded(const std::string& name)
{
    std::string out;
    for (size_t pos = 0; pos < name.size();) {
        uint32_t c = 0;
        size_t length = decodeUtf8(name, pos, c);
        if (length == 0) {
            out += name[pos++];
            continue;
        }
        if (utf8Locale() != locale_t(nullptr))
            c = uint32_t(towlower_l(wint_t(c), utf8Locale()));
        else if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        out += std::to_string(c) + ",";
        pos += length;
    }
    return out;
}

std::string entryProblem(const support::ZipEntry& entry)
{
    std::string characters = xmlCharacterProblem(entry.data);
    if (!characters.empty())
        return entry.name + ": " + characters;
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(entry.data.data(), entry.data.size(),
                                                         pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        return entry.name + " is not well-formed XML: " + parsed.description() + " at byte " +
               std::to_string(parsed.offset);
    if (!document.document_element())
        return entry.name + " has no root element";
    return std::string();
}

}  // namespace

std::string sheetNameProblem(const std::string& name)
{
    if (name.empty())
        return "empty sheet name";
    size_t units = 0;
    for (size_t pos = 0; pos < name.size();) {
        uint32_t c = 0;
        const size_t length = decodeUtf8(name, pos, c);
        if (length == 0)
            return "sheet name is not valid UTF-8";
        if (c < 0x20 || c == 0x7F || (c < 0x80 && std::strchr(":\\/?*[]", int(c)) != nullptr))
            return "sheet name holds the forbidden character " + hex(c);
        units += c > 0xFFFF ? 2 : 1;
        pos += length;
    }
    if (units > 31)
        return "sheet name longer than 31 characters";
    if (name.front() == '\'' || name.back() == '\'')
        return "sheet name begins or ends with an apostrophe";
    return std::string();
}

bool sameSheetName(const std::string& a, const std::string& b)
{
    return folded(a) == folded(b);
}

std::string xmlCharacterProblem(const std::string& bytes)
{
    for (size_t pos = 0; pos < bytes.size();) {
        uint32_t c = 0;
        const size_t length = decodeUtf8(bytes, pos, c);
        if (length == 0)
            return "invalid UTF-8 at byte " + std::to_string(pos);
        if (!allowedInXml(c))
            return "character " + hex(c) + " at byte " + std::to_string(pos);
        uint32_t referenced = 0;
        if (c == '&' && pos + 1 < bytes.size() && bytes[pos + 1] == '#' &&
            characterReference(bytes, pos, referenced) &&
            (!allowedInXml(referenced) || (referenced >= 0xD800 && referenced <= 0xDFFF)))
            return "reference to character " + hex(referenced) + " at byte " + std::to_string(pos);
        pos += length;
    }
    return std::string();
}

std::string workbookProblem(const std::string& path, std::vector<std::string>& sheetNames)
{
    std::vector<support::ZipEntry> entries;
    if (!support::readZip(path, entries))
        return "not a readable zip archive";
    const support::ZipEntry* workbook = nullptr;
    bool contentTypes = false;
    for (const support::ZipEntry& entry : entries) {
        std::string problem = entryProblem(entry);
        if (!problem.empty())
            return problem;
        if (entry.name == "xl/workbook.xml")
            workbook = &entry;
        contentTypes = contentTypes || entry.name == "[Content_Types].xml";
    }
    if (!contentTypes)
        return "no [Content_Types].xml";
    if (workbook == nullptr)
        return "no xl/workbook.xml";

    pugi::xml_document document;
    document.load_buffer(workbook->data.data(), workbook->data.size());
    for (pugi::xml_node sheet : document.child("workbook").child("sheets").children("sheet")) {
        const std::string name = sheet.attribute("name").value();
        std::string problem = sheetNameProblem(name);
        if (!problem.empty())
            return problem + ": \"" + name + "\"";
        for (const std::string& earlier : sheetNames)
            if (sameSheetName(earlier, name))
                return "two sheets named \"" + earlier + "\" and \"" + name + "\"";
        sheetNames.push_back(name);
    }
    if (sheetNames.empty())
        return "the workbook has no sheet";
    return std::string();
}

}  // namespace horatabCheck
