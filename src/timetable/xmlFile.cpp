#include "timetable/xmlFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

using SimpleXlsx::Status;

bool fail(Status* failure, Status reason)
{
    if (failure)
        *failure = std::move(reason);
    return false;
}

bool unreadable(Status* failure, std::string reason)
{
    return fail(failure, Status(SimpleXlsx::STATUS_UNREADABLE_INPUT, std::move(reason)));
}

bool readWholeFile(const std::string& path, std::string& bytes, Status* failure)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(failure, Status::System("cannot open the file", path, errno));
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return fail(failure, Status::System("cannot read the file", path, EISDIR));
    }
    char chunk[1 << 16];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            int readError = errno;
            ::close(fd);
            return fail(failure, Status::System("cannot read the file", path, readError));
        }
        bytes.append(chunk, size_t(got));
    }
    ::close(fd);
    return true;
}

bool startsWith(const std::string& bytes, const char* prefix, size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

// The value of encoding="..." in an XML declaration at the very start of an
// ASCII-compatible document; empty when there is none.
std::string declaredEncoding(const std::string& bytes)
{
    if (!startsWith(bytes, "<?xml", 5))
        return std::string();
    size_t end = bytes.find("?>");
    if (end == std::string::npos)
        return std::string();
    std::string declaration = bytes.substr(0, end);
    size_t key = declaration.find("encoding");
    if (key == std::string::npos)
        return std::string();
    size_t pos = key + 8;
    while (pos < declaration.size() &&
           (declaration[pos] == ' ' || declaration[pos] == '\t' || declaration[pos] == '\r' ||
            declaration[pos] == '\n' || declaration[pos] == '='))
        ++pos;
    if (pos >= declaration.size() || (declaration[pos] != '"' && declaration[pos] != '\''))
        return std::string();
    size_t close = declaration.find(declaration[pos], pos + 1);
    if (close == std::string::npos)
        return std::string();
    return declaration.substr(pos + 1, close - pos - 1);
}

struct sourceEncoding
{
    std::string name;  // iconv name; empty for UTF-8
    size_t bomLength;
};

sourceEncoding detectEncoding(const std::string& bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF", 3))
        return {"", 3};
    if (startsWith(bytes, "\xFF\xFE\x00\x00", 4))
        return {"UTF-32LE", 4};
    if (startsWith(bytes, "\x00\x00\xFE\xFF", 4))
        return {"UTF-32BE", 4};
    if (startsWith(bytes, "\xFE\xFF", 2))
        return {"UTF-16BE", 2};
    if (startsWith(bytes, "\xFF\xFE", 2))
        return {"UTF-16LE", 2};
    if (startsWith(bytes, "\x00\x00\x00\x3C", 4))
        return {"UTF-32BE", 0};
    if (startsWith(bytes, "\x3C\x00\x00\x00", 4))
        return {"UTF-32LE", 0};
    if (startsWith(bytes, "\x00\x3C", 2))
        return {"UTF-16BE", 0};
    if (startsWith(bytes, "\x3C\x00", 2))
        return {"UTF-16LE", 0};

    std::string declared = lowerAscii(declaredEncoding(bytes));
    // A document whose bytes are 8-bit cannot be UTF-16 or UTF-32 whatever
    // its declaration says; it is read as UTF-8.
    if (declared.empty() || declared == "utf-8" || declared == "utf8" ||
        declared.compare(0, 6, "utf-16") == 0 || declared.compare(0, 6, "utf-32") == 0 ||
        declared == "ucs-2" || declared == "ucs-4")
        return {"", 0};
    return {declaredEncoding(bytes), 0};
}

bool convertToUtf8(const std::string& bytes, const std::string& encoding, std::string& utf8,
                   Status* failure)
{
    iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == iconv_t(-1))
        return unreadable(failure,
                          "unknown character encoding \"" + encoding + "\" in the XML declaration");
    utf8.clear();
    utf8.reserve(bytes.size() + bytes.size() / 2);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char out[1 << 16];
    bool ok = true;
    while (inLeft > 0) {
        char* outPos = out;
        size_t outLeft = sizeof out;
        size_t done = iconv(converter, &in, &inLeft, &outPos, &outLeft);
        utf8.append(out, size_t(outPos - out));
        if (done == size_t(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(converter);
    if (!ok)
        return unreadable(failure, "not valid " + encoding + " text (at byte " +
                                       std::to_string(size_t(in - bytes.data())) + ")");
    return true;
}

}  // namespace

void lineAndColumn(const std::string& text, size_t offset, size_t& line, size_t& column)
{
    if (offset > text.size())
        offset = text.size();
    line = 1;
    column = 1;
    for (size_t i = 0; i < offset; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column;
        }
    }
}

bool loadXmlFile(const std::string& path, pugi::xml_document& document, Status* failure)
{
    std::string bytes;
    if (!readWholeFile(path, bytes, failure))
        return false;
    if (bytes.empty())
        return unreadable(failure, "the file is empty");

    sourceEncoding encoding = detectEncoding(bytes);
    std::string utf8;
    if (encoding.name.empty()) {
        utf8 = bytes.substr(encoding.bomLength);
    } else if (!convertToUtf8(bytes.substr(encoding.bomLength), encoding.name, utf8, failure)) {
        return false;
    }
    bytes.clear();
    bytes.shrink_to_fit();

    pugi::xml_parse_result result =
        document.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        document.reset();
        size_t line = 0;
        size_t column = 0;
        lineAndColumn(utf8, size_t(result.offset), line, column);
        return fail(failure,
                    Status(SimpleXlsx::STATUS_MALFORMED_XML,
                           "not well-formed XML at line " + std::to_string(line) + ", column " +
                               std::to_string(column) + ": " + result.description()));
    }
    return true;
}
