#ifndef HORATAB_XLSX_INTERNAL_XMLSTREAM_H
#define HORATAB_XLSX_INTERNAL_XMLSTREAM_H

// Streaming writer of compact XML on top of a caller-owned std::ostream.
//
//   xmlw::XmlStream xml(file);
//   xml << xmlw::prolog() << xmlw::tag("c") << xmlw::attr("r") << "A1"
//       << xmlw::tag("v") << xmlw::chardata() << 5 << xmlw::endtag();
//
// Text inserted as an attribute value or as character data is escaped:
// & < > (and " in attribute values) become entities, control characters
// that XML forbids become the spreadsheet's _xHHHH_ form, and byte
// sequences that are not valid UTF-8 become U+FFFD. Numbers are formatted
// in the "C" locale with the stream's precision. Elements still open when
// the writer is destroyed are closed, innermost first.

#include <cstdint>
#include <locale>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace xmlw {

// Pre-formed, trusted XML text that is written as it is.
struct Raw
{
    std::string_view text;
};

inline Raw raw(std::string_view text)
{
    return Raw{text};
}

// True when text begins or ends with XML white space, which readers keep
// only in an element marked xml:space="preserve".
inline bool HasEdgeWhitespace(std::string_view text)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return !text.empty() && (isSpace(text.front()) || isSpace(text.back()));
}

class XmlStream
{
public:
    enum state_type
    {
        None = 0,
        TagBegin = 1,
        Attribute = 2,
        TagName = 3
    };

    struct Controller
    {
        enum what_type
        {
            Prolog = 0,
            Tag = 1,
            TagEnd = 2,
            Attribute = 3,
            CharData = 4
        };

        what_type what;
        std::string str;

        explicit Controller(what_type w) : what(w) {}
        Controller(what_type w, std::string s) : what(w), str(std::move(s)) {}
    };

    explicit XmlStream(std::ostream& os);
    ~XmlStream();

    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    XmlStream& operator<<(const Controller& controller);

    XmlStream& operator<<(const char* text);
    XmlStream& operator<<(const std::string& text) { return InsertText(text); }
    XmlStream& operator<<(std::string_view text) { return InsertText(text); }
    XmlStream& operator<<(char c) { return InsertText(std::string_view(&c, 1)); }
    XmlStream& operator<<(Raw text);

    XmlStream& operator<<(int value) { return InsertInteger(value); }
    XmlStream& operator<<(unsigned value) { return InsertInteger(value); }
    XmlStream& operator<<(long value) { return InsertInteger(value); }
    XmlStream& operator<<(unsigned long value) { return InsertInteger(value); }
    XmlStream& operator<<(long long value) { return InsertInteger(value); }
    XmlStream& operator<<(unsigned long long value) { return InsertInteger(value); }
    XmlStream& operator<<(double value);
    XmlStream& operator<<(float value);

    // Anything else (manipulators such as std::setprecision, other
    // arithmetic types) goes through the wrapped stream's own formatting.
    template <typename T>
    XmlStream& operator<<(const T& value)
    {
        if (state == TagName)
            AppendToTagName(value);
        s << value;
        return *this;
    }

    void closeTagStart(bool selfClosed = false);
    void endTag(const std::string& name);
    void clearTagName();

    state_type GetState() const { return state; }
    // How many elements are open.
    size_t Depth() const { return tags.size(); }

private:
    template <typename Int>
    XmlStream& InsertInteger(Int value);
    XmlStream& InsertFormatted(const char* first, const char* last);
    XmlStream& InsertText(std::string_view text);
    bool PlainNumberFormatting() const;
    void Write(std::string_view text);
    void PushTagName();

    std::vector<std::string> tags;
    state_type state;
    std::ostream& s;
    bool prologWritten;
    // A name being collected is formatted as a fresh stream in the "C"
    // locale formats it.
    template <typename T>
    void AppendToTagName(const T& value)
    {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << value;
        tagName += text.str();
    }

    std::string tagName;
};

inline XmlStream::Controller prolog()
{
    return XmlStream::Controller(XmlStream::Controller::Prolog);
}
inline XmlStream::Controller tag(std::string name)
{
    return XmlStream::Controller(XmlStream::Controller::Tag, std::move(name));
}
inline XmlStream::Controller endtag()
{
    return XmlStream::Controller(XmlStream::Controller::TagEnd);
}
inline XmlStream::Controller attr(std::string name)
{
    return XmlStream::Controller(XmlStream::Controller::Attribute, std::move(name));
}
inline XmlStream::Controller chardata()
{
    return XmlStream::Controller(XmlStream::Controller::CharData);
}

}  // namespace xmlw

#endif  // HORATAB_XLSX_INTERNAL_XMLSTREAM_H
