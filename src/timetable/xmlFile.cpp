#include "timetable/xmlFile.h"

#include "timetable/shownText.h"
#include "util/fileKind.h"

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

bool malformed(Status* failure, std::string reason)
{
    return fail(failure, Status(SimpleXlsx::STATUS_MALFORMED_XML, std::move(reason)));
}

// The largest timetable read from standard input, which has no size of
// its own to check: an endless source (a device, a pipe that never ends)
// stops here instead of filling the memory.
const size_t largestStandardInput = size_t(256) << 20;

// Reads straight into `bytes`, growing it only when its reserve is used up.
bool readAll(int fd, const std::string& path, size_t limit, std::string& bytes, Status* failure)
{
    const size_t step = 1 << 16;
    for (;;) {
        const size_t held = bytes.size();
        bytes.resize(bytes.capacity() > held ? bytes.capacity() : held + step);
        ssize_t got = ::read(fd, &bytes[held], bytes.size() - held);
        bytes.resize(held + size_t(got > 0 ? got : 0));
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fail(failure, Status::System("cannot read the file", path, errno));
        }
        if (bytes.size() > limit)
            return unreadable(failure, "standard input holds more than " +
                                           std::to_string(limit >> 20) +
                                           " MiB, more than a timetable");
    }
}

// Reads a regular file whole, or standard input for "-". Anything else (a
// pipe, a device, a socket) is refused before it is read: a FIFO would
// wait for a writer forever and /dev/zero never ends. The file is opened
// without blocking so that a FIFO is seen, not waited on.
bool readWholeFile(const std::string& path, std::string& bytes, Status* failure)
{
    if (path == "-")
        return readAll(STDIN_FILENO, "standard input", largestStandardInput, bytes, failure);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return fail(failure, Status::System("cannot open the file", path, errno));
    struct stat info;
    const bool examined = ::fstat(fd, &info) == 0;
    if (!examined || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return unreadable(failure, examined ? util::notRegularFile(info.st_mode)
                                            : "cannot examine the file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.reserve(size_t(info.st_size) + 1);  // one growth-free pass for a file of this size
    const bool read = readAll(fd, path, std::string::npos, bytes, failure);
    ::close(fd);
    return read;
}

bool mayReferToNull(const std::string& text)
{
    return ::mayReferToNull(text.data(), text.size());
}

// Where `text` refers to the character U+0000 ("&#0;", "&#x00;", ...),
// which XML does not allow and which would cut the name it stands in;
// npos when it does not. Comments, CDATA sections and processing
// instructions hold no references and are skipped.
size_t nullCharacterReference(const std::string& text)
{
    if (!mayReferToNull(text))
        return std::string::npos;
    static const std::pair<const char*, const char*> skipped[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    for (size_t pos = text.find_first_of("<&"); pos != std::string::npos;
         pos = text.find_first_of("<&", pos + 1)) {
        if (text[pos] == '<') {
            for (const auto& [open, close] : skipped)
                if (text.compare(pos, std::strlen(open), open) == 0) {
                    pos = text.find(close, pos + std::strlen(open));
                    if (pos == std::string::npos)
                        return pos;
                    break;
                }
            continue;
        }
        if (text.compare(pos, 2, "&#") != 0)
            continue;
        size_t digit = pos + 2;
        const bool hex = digit < text.size() && text[digit] == 'x';
        digit += hex ? 1 : 0;
        size_t end = digit;
        while (end < text.size() && text[end] == '0')
            ++end;
        if (end > digit && end < text.size() && text[end] == ';')
            return pos;
    }
    return std::string::npos;
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
        return unreadable(failure, "unknown character encoding \"" + echoedName(encoding) +
                                       "\" in the XML declaration");
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
        return unreadable(failure, "not valid " + echoedName(encoding) + " text (at byte " +
                                       std::to_string(size_t(in - bytes.data())) + ")");
    return true;
}

}  // namespace

bool readsAsUtf8(const std::string& head, size_t& bomLength)
{
    if (startsWith(head, "<?xml", 5) && head.find("?>") == std::string::npos)
        return false;
    const sourceEncoding encoding = detectEncoding(head);
    bomLength = encoding.bomLength;
    return encoding.name.empty();
}

namespace {

// The file's text in UTF-8, its byte-order mark dropped.
bool readUtf8(const std::string& path, std::string& utf8, Status* failure)
{
    std::string bytes;
    if (!readWholeFile(path, bytes, failure))
        return false;
    if (bytes.empty())
        return unreadable(failure, "the file is empty");
    const sourceEncoding encoding = detectEncoding(bytes);
    bytes.erase(0, encoding.bomLength);
    if (encoding.name.empty()) {
        utf8.swap(bytes);
        return true;
    }
    return convertToUtf8(bytes, encoding.name, utf8, failure);
}

}  // namespace

bool mayReferToNull(const char* text, size_t size)
{
    const char* const end = text + size;
    for (const char* at = text;
         (at = static_cast<const char*>(std::memchr(at, '&', size_t(end - at)))) != nullptr; ++at) {
        const char* digit = at + 1;
        if (digit == end || *digit++ != '#')
            continue;
        if (digit != end && *digit == 'x')
            ++digit;
        const char* zeros = digit;
        while (zeros != end && *zeros == '0')
            ++zeros;
        if (zeros != digit && zeros != end && *zeros == ';')
            return true;
    }
    return false;
}

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

bool loadXmlFile(const std::string& path, pugi::xml_document& document, std::string& text,
                 Status* failure)
{
    if (!readUtf8(path, text, failure))
        return false;
    const size_t nullReference = nullCharacterReference(text);
    if (nullReference != std::string::npos) {
        size_t line = 0;
        size_t column = 0;
        lineAndColumn(text, nullReference, line, column);
        return malformed(failure,
                         "not well-formed XML at line " + std::to_string(line) + ", column " +
                             std::to_string(column) +
                             ": a reference to the character U+0000, which XML does not allow");
    }
    // A file is parsed in place, without a second copy of its text, and read
    // again only to place an error; standard input cannot be read again, so
    // pugixml parses a copy of it.
    // In place, the text is given its terminating zero as pugixml's own copy
    // would be, so that an error at the end is placed the same.
    const bool inPlace = path != "-";
    if (inPlace)
        text.push_back('\0');
    pugi::xml_parse_result result =
        inPlace ? document.load_buffer_inplace(&text[0], text.size(), pugi::parse_default,
                                               pugi::encoding_utf8)
                : document.load_buffer(text.data(), text.size(), pugi::parse_default,
                                       pugi::encoding_utf8);
    if (!result) {
        document.reset();
        std::string original;
        if (inPlace && !readUtf8(path, original, nullptr))
            original.clear();
        size_t line = 0;
        size_t column = 0;
        lineAndColumn(inPlace ? original : text, size_t(result.offset), line, column);
        return malformed(failure, "not well-formed XML at line " + std::to_string(line) +
                                      ", column " + std::to_string(column) + ": " +
                                      result.description());
    }
    return true;
}
