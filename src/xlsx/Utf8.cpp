#include "xlsx/internal/Utf8.h"

namespace SimpleXlsx {

namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t pos)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    size_t length;
    unsigned char minSecond = 0x80, maxSecond = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            minSecond = 0xA0;  // no overlong forms
        if (lead == 0xED)
            maxSecond = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            minSecond = 0x90;  // no overlong forms
        if (lead == 0xF4)
            maxSecond = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    const unsigned char second = static_cast<unsigned char>(text[pos + 1]);
    if (second < minSecond || second > maxSecond)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (!IsContinuation(static_cast<unsigned char>(text[pos + i])))
            return 0;
    return length;
}

size_t Utf8PrefixBytes(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text.size();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t length = Utf8SequenceLength(text, pos);
        if (length == 0)
            length = 1;
        if (pos + length > maxBytes)
            break;
        pos += length;
    }
    return pos;
}

size_t Utf8PrefixUtf16Units(std::string_view text, size_t maxUnits)
{
    size_t pos = 0, units = 0;
    while (pos < text.size()) {
        size_t length = Utf8SequenceLength(text, pos);
        if (length == 0)
            length = 1;
        const size_t charUnits = length == 4 ? 2 : 1;
        if (units + charUnits > maxUnits)
            break;
        units += charUnits;
        pos += length;
    }
    return pos;
}

}  // namespace SimpleXlsx
