// Files as they arrive: encodings, broken and hostile input.

#include "timetable/teacherPieces.h"
#include "timetableTestSupport.h"

namespace {

std::string utf16(const std::u16string& text, bool bigEndian)
{
    std::string out;
    for (char16_t c : text)
        out += bigEndian ? std::string{char(c >> 8), char(c)} : std::string{char(c), char(c >> 8)};
    return out;
}

std::string repeated(const std::string& text, int times)
{
    std::string result;
    while (times-- > 0)
        result += text;
    return result;
}

TEST(EncodingTest, EveryEncodingGivesUtf8Names)
{
    // Teacher "Šárka" with day "Čt", in each encoding.
    const std::string utf8 =
        "<Teachers_Timetable><T name='Šárka'><D name='Čt'/></T></Teachers_Timetable>";
    const std::string utf16LE =
        utf16(u"<?xml version='1.0' encoding='UTF-16'?><Teachers_Timetable><T name='Šárka'>"
              u"<D name='Čt'/></T></Teachers_Timetable>",
              false);
    auto eightBit = [](const std::string& encoding, const std::string& capitalS) {
        return "<?xml version='1.0' encoding='" + encoding + "'?><Teachers_Timetable><T name='" +
               capitalS + "\xE1rka'><D name='\xC8t'/></T></Teachers_Timetable>";
    };
    const std::vector<std::pair<std::string, std::string>> files = {
        {"UTF-8", utf8},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-16LE with mark", "\xFF\xFE" + utf16LE},
        {"UTF-16BE with mark",
         "\xFE\xFF" +
             utf16(u"<Teachers_Timetable><T name='Šárka'><D name='Čt'/></T></Teachers_Timetable>",
                   true)},
        {"UTF-16LE without mark", utf16LE},
        {"windows-1250", eightBit("windows-1250", "\x8A")},
        {"ISO-8859-2", eightBit("ISO-8859-2", "\xA9")},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.first);
        timeTable model;
        SimpleXlsx::Status reason;
        ASSERT_TRUE(model.parse(writeTestFile("encoded.xml", file.second), &reason))
            << reason.Text();
        EXPECT_EQ(modelText(model), "T Šárka 1 0 -\n D Čt\ngroups:\nsubjects:\nrooms:\n");
    }
}

// Each bad file fails with a reason a person can act on, and never crashes.
TEST(BadInputTest, EachBadFileGetsAClearReason)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        // The column counts characters, not bytes.
        {writeTestFile("mismatch.xml",
                       "<Teachers_Timetable>\n<T name='Čáp'></X>\n</Teachers_Timetable>\n"),
         "not well-formed XML at line 2, column 17: Start-end tags mismatch"},
        {writeTestFile("text.xml", "just some text\n"),
         "not well-formed XML at line 2, column 1: No document element found"},
        {writeTestFile("unknown.xml", "<?xml version='1.0' encoding='x-no-such'?><a/>"),
         "unknown character encoding \"x-no-such\" in the XML declaration"},
        // A lone low surrogate is not UTF-16.
        {writeTestFile("badutf16.xml",
                       "\xFF\xFE" + utf16(u"<Teachers_Timetable name='\xDC00'/>", false)),
         "not valid UTF-16LE text (at byte 52)"},
        {writeTestFile("unclosed.xml", "<Teachers_Timetable>" + repeated("<z>", 100000)),
         "not well-formed XML at line 1, column 300020: Start-end tags mismatch"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        timeTable model;
        SimpleXlsx::Status status;
        EXPECT_FALSE(model.parse(c.first, &status));
        EXPECT_EQ(status.Text(), c.second);
        if (c.second.compare(0, 20, "not well-formed XML ") == 0) {
            EXPECT_EQ(status.kind, SimpleXlsx::STATUS_MALFORMED_XML);
        }
        EXPECT_EQ(model.teachers.size(), 0u);
    }
}

TEST(BadInputTest, VeryDeepNestingLoadsWithoutExhaustingTheStack)
{
    const int depth = 100000;
    timeTable model;
    ASSERT_TRUE(model.parse(
        writeTestFile("deep.xml", "<Teachers_Timetable><T name='A'><D><H><Students name='1A'/>" +
                                      repeated("<x>", depth) + repeated("</x>", depth) +
                                      "</H></D></T>" + repeated("<y>", depth) +
                                      repeated("</y>", depth) + "</Teachers_Timetable>")));
    // The unnamed teacher <y> has one day <y> with one hour <y>.
    EXPECT_EQ(modelText(model), "T  1 1 \n D \n  H  - - -\nT A 1 1 \n D \n  H  - - 1A,1A\n"
                                "groups: 1A\nsubjects:\nrooms:\n");
}

// What reading `path` as one whole document gives, as a model that already
// holds something always reads it.
std::string wholeDocumentRead(const std::string& path, SimpleXlsx::Status& status)
{
    timeTable model;
    const std::string marker = "\x01 in no file";
    model.insertRoom(marker);
    const bool read = model.parse(path, &status);
    delete model.rooms.find(marker);
    model.rooms.objects.erase(marker);
    return (read ? "read\n" : "failed\n") + modelText(model);
}

// Some MiB of teachers, one of them longer than a block of reading.
std::string bigTimetable(const std::string& tail)
{
    std::string hours;
    for (int h = 0; h < 2500; ++h)
        hours += "<H name='" + std::to_string(h) + "'><Subject name='S" + std::to_string(h % 7) +
                 "'/><Students name='G" + std::to_string(h % 13) + "'/></H>\n";
    std::string xml =
        "<Teachers_Timetable>\n<T name='long'><D name='Mo'>" + repeated(hours, 8) + "</D></T>\n";
    for (int t = 0; t < 20; ++t)
        xml += "<T name='T" + std::to_string(t % 15) + "'><D name='Tu'>" + hours + "</D></T>\n";
    return xml + tail;
}

TEST(PiecesTest, FilesReadInPiecesGiveWhatTheWholeDocumentGives)
{
    std::vector<support::tableRow> cases = support::testTable("timetable/data/pieces.tsv");
    cases.push_back({"big", "yes", bigTimetable("</Teachers_Timetable>\n")});
    cases.push_back({"big, broken at the end", "no", bigTimetable("<T><D></T>")});
    for (const support::tableRow& row : cases) {
        SCOPED_TRACE(row[0]);
        const std::string path = writeTestFile("pieces.xml", row[2]);
        EXPECT_EQ(readTeachersInPieces(path, [](const teacherRecords&) {}), row[1] == "yes");
        timeTable model;
        SimpleXlsx::Status status;
        const bool read = model.parse(path, &status);
        SimpleXlsx::Status wholeStatus;
        EXPECT_EQ((read ? "read\n" : "failed\n") + modelText(model),
                  wholeDocumentRead(path, wholeStatus));
        EXPECT_EQ(status.Text(), wholeStatus.Text());
    }
}

}  // namespace
