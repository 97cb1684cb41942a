#include "timetable/shownText.h"

#include <cstdint>

namespace {

// The length of the UTF-8 sequence at text[pos] and its code point; 0 when
// the bytes there are not valid UTF-8.
size_t decodeUtf8(const std::string& text, size_t pos, uint32_t& codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    size_t length = lead < 0x80                    ? 1
                    : lead >= 0xC2 && lead <= 0xDF ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || text.size() - pos < length)
        return 0;
    codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::string terminalText(const std::string& text, size_t maxCharacters)
{
    std::string shown;
    shown.reserve(text.size());
    size_t characters = 0;
    for (size_t pos = 0; pos < text.size(); ++characters) {
        if (characters == maxCharacters)
            return shown + "...";
        uint32_t c = 0;
        const size_t length = decodeUtf8(text, pos, c);
        if (c == '\t' || c == '\n' || c == '\r')
            shown += ' ';
        else if (length == 0 || c < 0x20 || (c >= 0x7F && c <= 0x9F))
            shown += "\xEF\xBF\xBD";  // U+FFFD
        else
            shown.append(text, pos, length);
        pos += length == 0 ? 1 : length;
    }
    return shown;
}

std::string echoedName(const std::string& name)
{
    return terminalText(name, 60);
}
