#include "timetable/teacherPieces.h"

#include "timetable/xmlFile.h"

#include <cerrno>
#include <cstdint>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

#include <pugixml.hpp>

namespace {

const size_t readBlock = size_t(1) << 20;
// About this much text of whole teacher elements goes into one parsed run,
// and this many runs wait for the model at most.
const size_t runTarget = size_t(1) << 18;
const size_t runsAhead = 2;

const char rootName[] = "Teachers_Timetable";
const size_t rootNameLength = sizeof rootName - 1;

// A run of child elements of the root with what stands between them,
// parsed in place and read off: the records point into `text`.
struct parsedRun
{
    std::string text;
    teacherRecords records;
};

// Parsed runs on their way from the reading thread to the building one.
class runQueue
{
public:
    // Waits for room; false once the builder has stopped taking runs.
    bool push(std::unique_ptr<parsedRun> run)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return runs.size() < runsAhead || abandoned; });
        if (abandoned)
            return false;
        runs.push_back(std::move(run));
        changed.notify_all();
        return true;
    }

    // The next run; null once the reader has finished and every run is taken.
    std::unique_ptr<parsedRun> pop()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return !runs.empty() || finished; });
        if (runs.empty())
            return nullptr;
        std::unique_ptr<parsedRun> run = std::move(runs.front());
        runs.pop_front();
        changed.notify_all();
        return run;
    }

    void finish(bool readWhole)
    {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        complete = readWhole;
        changed.notify_all();
    }

    void abandon()
    {
        std::lock_guard<std::mutex> lock(mutex);
        abandoned = true;
        runs.clear();
        changed.notify_all();
    }

    bool readWhole()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return complete;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::unique_ptr<parsedRun>> runs;
    bool finished = false;
    bool complete = false;
    bool abandoned = false;
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isTagSpecial(char c)
{
    return c == '>' || c == '"' || c == '\'';
}

// The first '>', '"' or '\'' in [from, to), or null: what ends a tag or
// opens a quoted value in it. Eight bytes are tested at a time: a byte
// equal to c makes word ^ (c in every byte) have a zero byte, and
// (v - 0x01..01) & ~v & 0x80..80 marks the lowest zero byte of v exactly.
const char* findTagSpecial(const char* from, const char* to)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const uint64_t ones = 0x0101010101010101ull;
    const uint64_t highs = 0x8080808080808080ull;
    const auto zeroBytes = [ones, highs](uint64_t v) { return (v - ones) & ~v & highs; };
    for (; to - from >= 8; from += 8) {
        uint64_t word;
        std::memcpy(&word, from, 8);
        const uint64_t marks = zeroBytes(word ^ (ones * '>')) | zeroBytes(word ^ (ones * '"')) |
                               zeroBytes(word ^ (ones * '\''));
        if (marks != 0)
            return from + (__builtin_ctzll(marks) >> 3);
    }
#endif
    for (; from < to; ++from)
        if (isTagSpecial(*from))
            return from;
    return nullptr;
}

bool holdsNoNull(const char* text, size_t size)
{
    return std::memchr(text, '\0', size) == nullptr && !mayReferToNull(text, size);
}

// Parses `text` in place as pugixml parses a whole file, with the
// terminating zero the whole file is given.
bool parseInPlace(std::string& text, pugi::xml_document& document, unsigned options)
{
    text.push_back('\0');
    return bool(document.load_buffer_inplace(&text[0], text.size(), options, pugi::encoding_utf8));
}

// Whether `document` holds exactly `elements` nodes, all of them elements.
bool holdsOnlyElements(const pugi::xml_document& document, size_t elements)
{
    size_t found = 0;
    for (pugi::xml_node node : document.children()) {
        if (node.type() != pugi::node_element)
            return false;
        ++found;
    }
    return found == elements;
}

enum class scanned
{
    done,      // the construct was passed
    needMore,  // it goes on past the bytes read so far
    unusual    // the whole document must be loaded instead
};

// Finds the constructs of the file in a window of its text that grows by
// blocks at the end and drops the runs already passed on at the front.
class pieceScanner
{
public:
    explicit pieceScanner(runQueue& queue) : runs(queue) {}

    ~pieceScanner()
    {
        if (fd >= 0)
            ::close(fd);
    }

    bool read(const std::string& path)
    {
        if (!open(path) || !fill() || !dropByteOrderMark())
            return false;
        scanned step = scanned::done;
        while ((step = nextStep()) != scanned::unusual && phase != phases::epilogue)
            if (step == scanned::needMore && (atEnd || !fill()))
                return false;
        return step != scanned::unusual && readEpilogue() && shellParses();
    }

private:
    enum class phases
    {
        prologue,
        content,
        epilogue
    };

    runQueue& runs;
    int fd = -1;
    bool atEnd = false;
    std::string window;
    size_t runStart = 0;  // where the run being gathered starts in `window`
    size_t pos = 0;       // where scanning goes on; always at a construct's start
    size_t depth = 0;     // elements open inside the root
    size_t runElements = 0;
    phases phase = phases::prologue;
    std::string shell;  // the text around the root's content

    bool open(const std::string& path)
    {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        struct stat info;
        return fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    }

    // Appends up to one block, first dropping the text already passed on.
    bool fill()
    {
        window.erase(0, runStart);
        pos -= runStart;
        runStart = 0;
        const size_t held = window.size();
        window.resize(held + readBlock);
        ssize_t got = 0;
        do
            got = ::read(fd, &window[held], readBlock);
        while (got < 0 && errno == EINTR);
        window.resize(held + size_t(got > 0 ? got : 0));
        atEnd = got == 0;
        return got >= 0;
    }

    bool dropByteOrderMark()
    {
        while (window.size() < 4 && !atEnd)
            if (!fill())
                return false;
        size_t bomLength = 0;
        if (window.empty() || !readsAsUtf8(window, bomLength))
            return false;
        window.erase(0, bomLength);
        return true;
    }

    bool startsAt(size_t at, const char* text) const
    {
        return window.compare(at, std::strlen(text), text) == 0;
    }

    // Passes a construct that ends with `close`.
    scanned passUntil(const char* close, size_t from)
    {
        const size_t found = window.find(close, from);
        if (found == std::string::npos)
            return scanned::needMore;
        pos = found + std::strlen(close);
        return scanned::done;
    }

    // The position of the '>' that ends the tag starting at `pos`, past
    // quoted attribute values; npos when it is not read yet.
    size_t tagEnd() const
    {
        const char* const text = window.data();
        const char* const end = text + window.size();
        const char* at = text + pos + 1;
        for (;;) {
            const char* const special = findTagSpecial(at, end);
            if (special == nullptr)
                return std::string::npos;
            if (*special == '>')
                return size_t(special - text);
            const char* const valueEnd = find(special + 1, end, *special);
            if (valueEnd == nullptr)
                return std::string::npos;
            at = valueEnd + 1;
        }
    }

    // The first `c` in [from, to), or null.
    static const char* find(const char* from, const char* to, char c)
    {
        return static_cast<const char*>(std::memchr(from, c, size_t(to - from)));
    }

    scanned nextStep()
    {
        if (pos == window.size())
            return scanned::needMore;
        if (phase == phases::prologue)
            return prologueStep();
        return contentStep();
    }

    scanned prologueStep()
    {
        if (isSpace(window[pos])) {
            ++pos;
            return scanned::done;
        }
        if (window.size() - pos < 4)
            return scanned::needMore;
        if (startsAt(pos, "<?"))
            return passUntil("?>", pos + 2);
        if (startsAt(pos, "<!--"))
            return passUntil("-->", pos + 4);
        if (window[pos] != '<' || window[pos + 1] == '!' || window[pos + 1] == '/')
            return scanned::unusual;
        const size_t end = tagEnd();
        if (end == std::string::npos)
            return scanned::needMore;
        const size_t nameEnd = window.find_first_of(" \t\r\n/>", pos + 1);
        if (nameEnd - pos - 1 != rootNameLength || !startsAt(pos + 1, rootName) ||
            window[end - 1] == '/')
            return scanned::unusual;
        shell = window.substr(0, end + 1);
        runStart = pos = end + 1;
        phase = phases::content;
        return scanned::done;
    }

    scanned contentStep()
    {
        if (window[pos] != '<')
            return textStep();
        if (window.size() - pos < 9)
            return scanned::needMore;
        switch (window[pos + 1]) {
        case '/':
            return depth == 0 ? rootEndStep() : endTagStep();
        case '?':
            return scanned::unusual;
        case '!':
            if (startsAt(pos, "<!--"))
                return passUntil("-->", pos + 4);
            if (depth > 0 && startsAt(pos, "<![CDATA["))
                return passUntil("]]>", pos + 9);
            return scanned::unusual;
        default:
            return startTagStep();
        }
    }

    scanned startTagStep()
    {
        const size_t end = tagEnd();
        if (end == std::string::npos)
            return scanned::needMore;
        pos = end + 1;
        if (window[end - 1] != '/')
            ++depth;
        else if (depth == 0)
            return elementPassed();
        return scanned::done;
    }

    // Text inside a teacher needs no look; between teachers only
    // whitespace may stand.
    scanned textStep()
    {
        const char* const text = window.data();
        if (depth == 0) {
            if (!isSpace(text[pos]))
                return scanned::unusual;
            ++pos;
            return scanned::done;
        }
        const char* const open = find(text + pos, text + window.size(), '<');
        pos = open ? size_t(open - text) : window.size();
        return scanned::done;
    }

    scanned endTagStep()
    {
        const char* const text = window.data();
        const char* const close = find(text + pos + 2, text + window.size(), '>');
        if (close == nullptr)
            return scanned::needMore;
        pos = size_t(close - text) + 1;
        return --depth == 0 ? elementPassed() : scanned::done;
    }

    scanned elementPassed()
    {
        ++runElements;
        if (pos - runStart < runTarget)
            return scanned::done;
        return passRun() ? scanned::done : scanned::unusual;
    }

    // Hands the gathered run, parsed, to the builder.
    bool passRun()
    {
        auto run = std::make_unique<parsedRun>();
        run->text = window.substr(runStart, pos - runStart);
        runStart = pos;
        const size_t elements = runElements;
        runElements = 0;
        pugi::xml_document document;
        if (!holdsNoNull(run->text.data(), run->text.size()) ||
            !parseInPlace(run->text, document, pugi::parse_default | pugi::parse_fragment) ||
            !holdsOnlyElements(document, elements))
            return false;
        for (pugi::xml_node node : document.children())
            run->records.addTeacher(node);
        return runs.push(std::move(run));
    }

    // "</Teachers_Timetable", optional whitespace and '>'.
    scanned rootEndStep()
    {
        size_t at = pos + 2 + rootNameLength;
        while (at < window.size() && isSpace(window[at]))
            ++at;
        if (at >= window.size())
            return scanned::needMore;
        if (!startsAt(pos + 2, rootName) || window[at] != '>' || !passRun())
            return scanned::unusual;
        runStart = pos = at + 1;
        phase = phases::epilogue;
        return scanned::done;
    }

    bool readEpilogue()
    {
        while (!atEnd)
            if (!fill())
                return false;
        shell += "</";
        shell += rootName;
        shell += '>';
        shell.append(window, pos, std::string::npos);
        return true;
    }

    // What surrounds the root's content parses to the root alone.
    bool shellParses()
    {
        pugi::xml_document document;
        if (!holdsNoNull(shell.data(), shell.size()) ||
            !parseInPlace(shell, document, pugi::parse_default) || !holdsOnlyElements(document, 1))
            return false;
        const pugi::xml_node root = document.first_child();
        return std::strcmp(root.name(), rootName) == 0 && !root.first_child();
    }
};

// Reads the file on this thread and passes its runs on; true when it was
// read whole.
bool readRuns(const std::string& path, runQueue& queue)
{
    try {
        pieceScanner scanner(queue);
        return scanner.read(path);
    } catch (...) {
        return false;
    }
}

}  // namespace

bool readTeachersInPieces(const std::string& path,
                          const std::function<void(const teacherRecords&)>& build)
{
    runQueue queue;
    std::thread reader;
    try {
        reader = std::thread([&path, &queue] { queue.finish(readRuns(path, queue)); });
    } catch (const std::system_error&) {
        return false;
    }
    // The reader is stopped and waited for however the building ends.
    struct readerStop
    {
        runQueue& queue;
        std::thread& reader;
        ~readerStop()
        {
            queue.abandon();
            reader.join();
        }
    } stop{queue, reader};
    size_t built = 0;
    while (std::unique_ptr<parsedRun> run = queue.pop()) {
        build(run->records);
        built += run->records.teachers.size();
    }
    return queue.readWhole() && built > 0;
}
