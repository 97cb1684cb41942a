#include "xlsx/internal/XmlStream.h"

#include <array>
#include <charconv>
#include <cstring>
#include <locale>

namespace xmlw {

namespace {

// Bytes that can be copied as they are: printable ASCII except the
// characters XML reserves. Tab and line feed are plain in character data
// only (see InsertText); a carriage return never is, since readers turn a
// literal one into a line feed.
constexpr std::array<bool, 256> MakePlainTable()
{
    std::array<bool, 256> plain{};
    for (int b = 0x20; b < 0x80; ++b)
        plain[b] = true;
    plain['&'] = plain['<'] = plain['>'] = plain['"'] = plain['_'] = false;
    return plain;
}

constexpr std::array<bool, 256> plainByte = MakePlainTable();

constexpr std::string_view replacementCharacter("\xEF\xBF\xBD");

// Length of the well-formed UTF-8 sequence that starts at text[pos], or,
// when it is ill-formed, the negated length of its maximal subpart (the
// bytes that one U+FFFD replaces).
long Utf8SequenceLength(std::string_view text, size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    unsigned char low = 0x80, high = 0xBF;
    long continuations;
    if (lead >= 0xC2 && lead <= 0xDF)
        continuations = 1;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        if (lead == 0xE0)
            low = 0xA0;  // overlong
        else if (lead == 0xED)
            high = 0x9F;  // UTF-16 surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        if (lead == 0xF0)
            low = 0x90;  // overlong
        else if (lead == 0xF4)
            high = 0x8F;  // above U+10FFFF
    } else
        return -1;

    long length = 1;
    for (; length <= continuations; ++length) {
        if (pos + length >= text.size())
            return -length;
        const auto next = static_cast<unsigned char>(text[pos + length]);
        if (next < low || next > high)
            return -length;
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// True when text[pos] starts "_xHHHH_", which spreadsheet programs would
// read back as the character U+HHHH.
bool StartsEscapeSequence(std::string_view text, size_t pos)
{
    return text.size() - pos >= 7 && text[pos + 1] == 'x' && IsHexDigit(text[pos + 2]) &&
           IsHexDigit(text[pos + 3]) && IsHexDigit(text[pos + 4]) && IsHexDigit(text[pos + 5]) &&
           text[pos + 6] == '_';
}

void FormatControlCharacter(unsigned code, char (&out)[8])
{
    static const char hex[] = "0123456789ABCDEF";
    out[0] = '_';
    out[1] = 'x';
    out[2] = hex[(code >> 12) & 0xF];
    out[3] = hex[(code >> 8) & 0xF];
    out[4] = hex[(code >> 4) & 0xF];
    out[5] = hex[code & 0xF];
    out[6] = '_';
    out[7] = '\0';
}

}  // namespace

XmlStream::XmlStream(std::ostream& os) : state(None), s(os), prologWritten(false)
{
    if (s.getloc() != std::locale::classic())
        s.imbue(std::locale::classic());
}

XmlStream::~XmlStream()
{
    if (state == TagName) {
        Write("/>");
        state = None;
    }
    while (!tags.empty())
        endTag(tags.back());
}

XmlStream& XmlStream::operator<<(const Controller& controller)
{
    switch (controller.what) {
    case Controller::Prolog:
        if (!prologWritten && state == None) {
            Write("<?xml version=\"");
            *this << 1 << '.' << 0;
            Write("\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n");
            prologWritten = true;
        }
        break;
    case Controller::Tag:
        closeTagStart(false);
        Write("<");
        if (!controller.str.empty()) {
            Write(controller.str);
            tags.push_back(controller.str);
            state = TagBegin;
        } else {
            clearTagName();
            state = TagName;
        }
        break;
    case Controller::TagEnd:
        endTag(std::string());
        break;
    case Controller::Attribute:
        if (state == Attribute)
            Write("\"");
        else if (state == TagName)
            PushTagName();
        if (state != None) {
            Write(" ");
            Write(controller.str);
            Write("=\"");
            state = Attribute;
        }
        break;
    case Controller::CharData:
        closeTagStart(false);
        state = None;
        break;
    }
    return *this;
}

void XmlStream::closeTagStart(bool selfClosed)
{
    if (state == TagName)
        PushTagName();
    if (state == None)
        return;
    if (state == Attribute)
        Write("\"");
    Write(selfClosed ? "/>" : ">");
}

void XmlStream::endTag(const std::string& name)
{
    if (state == TagName) {
        // The collected name is complete: the element can be ended now.
        PushTagName();
        state = TagBegin;
    }
    while (!tags.empty()) {
        if (state != None) {
            closeTagStart(true);
            state = None;
        } else {
            Write("</");
            Write(tags.back());
            Write(">");
        }
        const bool stop = name.empty() || tags.back() == name;
        tags.pop_back();
        if (stop)
            break;
    }
}

void XmlStream::clearTagName()
{
    tagName.clear();
}

void XmlStream::PushTagName()
{
    tags.push_back(tagName);
}

void XmlStream::Write(std::string_view text)
{
    std::streambuf* buffer = s.rdbuf();
    const auto size = static_cast<std::streamsize>(text.size());
    if (buffer == nullptr || buffer->sputn(text.data(), size) != size)
        s.setstate(std::ios_base::badbit);
}

XmlStream& XmlStream::operator<<(const char* text)
{
    return InsertText(text != nullptr ? std::string_view(text) : std::string_view());
}

XmlStream& XmlStream::operator<<(Raw text)
{
    Write(text.text);
    return *this;
}

XmlStream& XmlStream::InsertText(std::string_view text)
{
    if (state == TagName) {
        tagName.append(text);
        Write(text);
        return *this;
    }

    const bool inAttribute = state != None;
    const size_t size = text.size();
    size_t runStart = 0;
    size_t pos = 0;
    while (pos < size) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (plainByte[byte]) {
            ++pos;
            continue;
        }

        std::string_view replacement;
        char control[8];
        size_t consumed = 1;
        if (byte < 0x80) {
            switch (byte) {
            case '&':
                replacement = "&amp;";
                break;
            case '<':
                replacement = "&lt;";
                break;
            case '>':
                replacement = "&gt;";
                break;
            case '_':
                // Character data keeps a literal "_xHHHH_" by escaping its
                // underscore; attribute values are not decoded by readers.
                if (inAttribute || !StartsEscapeSequence(text, pos)) {
                    ++pos;
                    continue;
                }
                replacement = "_x005F_";
                break;
            case '"':
                if (!inAttribute) {
                    ++pos;
                    continue;
                }
                replacement = "&quot;";
                break;
            // Readers keep white space that is written as a character
            // reference; a literal tab or line feed in an attribute value
            // becomes a space, a literal carriage return a line feed.
            case '\t':
            case '\n':
                if (!inAttribute) {
                    ++pos;
                    continue;
                }
                replacement = byte == '\t' ? "&#9;" : "&#10;";
                break;
            case '\r':
                replacement = "&#13;";
                break;
            default:
                FormatControlCharacter(byte, control);
                replacement = control;
                break;
            }
        } else {
            const long length = Utf8SequenceLength(text, pos);
            if (length < 0) {
                replacement = replacementCharacter;
                consumed = static_cast<size_t>(-length);
            } else if (length == 3 && byte == 0xEF && text[pos + 1] == '\xBF' &&
                       (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF')) {
                // U+FFFE and U+FFFF are not XML characters.
                FormatControlCharacter(text[pos + 2] == '\xBE' ? 0xFFFE : 0xFFFF, control);
                replacement = control;
                consumed = 3;
            } else {
                pos += static_cast<size_t>(length);
                continue;
            }
        }

        Write(text.substr(runStart, pos - runStart));
        Write(replacement);
        pos += consumed;
        runStart = pos;
    }
    Write(text.substr(runStart));
    return *this;
}

bool XmlStream::PlainNumberFormatting() const
{
    const auto plainFlags = std::ios_base::dec | std::ios_base::skipws;
    return (s.flags() & ~plainFlags) == 0 && s.width() == 0 && s.precision() >= 0 &&
           s.precision() <= 60;
}

XmlStream& XmlStream::InsertFormatted(const char* first, const char* last)
{
    const std::string_view text(first, static_cast<size_t>(last - first));
    if (state == TagName)
        tagName.append(text);
    Write(text);
    return *this;
}

template <typename Int>
XmlStream& XmlStream::InsertInteger(Int value)
{
    if (!PlainNumberFormatting()) {
        if (state == TagName)
            AppendToTagName(value);
        s << value;
        return *this;
    }
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return InsertFormatted(buffer, result.ptr);
}

template XmlStream& XmlStream::InsertInteger<int>(int);
template XmlStream& XmlStream::InsertInteger<unsigned>(unsigned);
template XmlStream& XmlStream::InsertInteger<long>(long);
template XmlStream& XmlStream::InsertInteger<unsigned long>(unsigned long);
template XmlStream& XmlStream::InsertInteger<long long>(long long);
template XmlStream& XmlStream::InsertInteger<unsigned long long>(unsigned long long);

// std::to_chars in the general format with precision p writes the same text
// as printf's %.pg, which is what the stream writes in its default notation,
// without the cost of the locale machinery.
XmlStream& XmlStream::operator<<(double value)
{
    if (PlainNumberFormatting()) {
        char buffer[128];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                          static_cast<int>(s.precision()));
        if (result.ec == std::errc())
            return InsertFormatted(buffer, result.ptr);
    }
    if (state == TagName)
        AppendToTagName(value);
    s << value;
    return *this;
}

XmlStream& XmlStream::operator<<(float value)
{
    return *this << static_cast<double>(value);
}

}  // namespace xmlw
