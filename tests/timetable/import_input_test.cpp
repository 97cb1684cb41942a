// Files as they arrive: encodings, broken and hostile input.

#include "timetable/timeTable.h"
#include "timetable/xmlFile.h"

#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tempFiles.h"

namespace {

const std::string sampleBody = "<Teachers_Timetable><T name='Dvořáková Šárka'><D name='Čtvrtek'><H name='1'>"
                               "<Students name='1.A'/><Subject name='Tělesná výchova'/></H></D></T>"
                               "</Teachers_Timetable>";

// The sample body in UTF-16 (the body is within the Basic Multilingual Plane).
std::string utf16(const std::string& utf8, bool bigEndian)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        unsigned code = lead;
        size_t length = 1;
        if (lead >= 0xE0) {
            code = lead & 0x0F;
            length = 3;
        } else if (lead >= 0xC0) {
            code = lead & 0x1F;
            length = 2;
        }
        for (size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        char high = char(code >> 8);
        char low = char(code & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

void expectSampleNames(timeTable& model)
{
    ASSERT_EQ(model.teachers.size(), 1u);
    teacher* owner = model.teachers.find("Dvořáková Šárka");
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->days.list().front()->name, "Čtvrtek");
    EXPECT_NE(model.subjects.find("Tělesná výchova"), nullptr);
    EXPECT_NE(model.students.find("1.A"), nullptr);
}

TEST(EncodingTest, Utf8WithAndWithoutByteOrderMark)
{
    for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
        timeTable model;
        std::string path = writeTestFile("utf8.xml", prefix + "<?xml version='1.0'?>" + sampleBody);
        ASSERT_TRUE(model.parse(path));
        expectSampleNames(model);
    }
}

TEST(EncodingTest, Utf16WithByteOrderMarkGivesUtf8Names)
{
    std::string declared = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + sampleBody;
    timeTable little;
    ASSERT_TRUE(little.parse(writeTestFile("utf16le.xml", "\xFF\xFE" + utf16(declared, false))));
    expectSampleNames(little);

    timeTable big;
    ASSERT_TRUE(big.parse(writeTestFile("utf16be.xml", "\xFE\xFF" + utf16(declared, true))));
    expectSampleNames(big);

    timeTable noMark;
    ASSERT_TRUE(noMark.parse(writeTestFile("utf16nomark.xml", utf16(declared, false))));
    expectSampleNames(noMark);
}

TEST(EncodingTest, DeclaredEightBitEncodingsGiveUtf8Names)
{
    // "Dvořáková Šárka", "Čtvrtek", "Tělesná výchova" in each encoding.
    struct sample
    {
        const char* encoding;
        std::string teacher, day, subject;
    };
    const sample samples[] = {
        {"windows-1250", "Dvo\xF8\xE1kov\xE1 \x8A\xE1rka", "\xC8tvrtek", "T\xECl" "esn\xE1 v\xFD" "chova"},
        {"ISO-8859-2", "Dvo\xF8\xE1kov\xE1 \xA9\xE1rka", "\xC8tvrtek", "T\xECl" "esn\xE1 v\xFD" "chova"},
    };
    for (const sample& s : samples) {
        std::string xml = std::string("<?xml version=\"1.0\" encoding=\"") + s.encoding + "\"?>\n"
                          "<Teachers_Timetable><T name='" + s.teacher + "'><D name='" + s.day + "'><H name='1'>"
                          "<Students name='1.A'/><Subject name='" + s.subject + "'/></H></D></T>"
                          "</Teachers_Timetable>";
        timeTable model;
        ASSERT_TRUE(model.parse(writeTestFile("eightbit.xml", xml))) << s.encoding;
        expectSampleNames(model);
    }

    timeTable latin1;
    ASSERT_TRUE(latin1.parse(writeTestFile("latin1.xml", "<?xml version='1.0' encoding='ISO-8859-1'?>"
                                                         "<Teachers_Timetable><T name='M\xFCller'/>"
                                                         "</Teachers_Timetable>")));
    EXPECT_NE(latin1.teachers.find("M\xC3\xBCller"), nullptr);
}

TEST(EncodingTest, UnknownOrViolatedEncodingIsReported)
{
    timeTable model;
    std::string reason;
    EXPECT_FALSE(model.parse(writeTestFile("unknown.xml", "<?xml version='1.0' encoding='x-no-such'?><a/>"), &reason));
    EXPECT_EQ(reason, "unknown character encoding \"x-no-such\" in the XML declaration");

    // A lone low surrogate is not UTF-16.
    std::string broken = "\xFF\xFE" + utf16("<Teachers_Timetable name='", false) + std::string("\x00\xDC", 2) +
                         utf16("'/>", false);
    EXPECT_FALSE(model.parse(writeTestFile("badutf16.xml", broken), &reason));
    EXPECT_EQ(reason, "not valid UTF-16LE text (at byte 52)");
    EXPECT_EQ(model.teachers.size(), 0u);
}

TEST(LineAndColumnTest, CountsLinesAndCharacters)
{
    size_t line = 0;
    size_t column = 0;
    lineAndColumn("", 0, line, column);
    EXPECT_EQ(line, 1u);
    EXPECT_EQ(column, 1u);
    // Two-byte characters count once each in the column.
    std::string text = "<a>\n<b name='\xC4\x8D\xC5\xBE'>\r\n</c>";
    lineAndColumn(text, text.find("'>"), line, column);
    EXPECT_EQ(line, 2u);
    EXPECT_EQ(column, 12u);
    lineAndColumn(text, text.find("</c>"), line, column);
    EXPECT_EQ(line, 3u);
    EXPECT_EQ(column, 1u);
    lineAndColumn(text, 1000, line, column);
    EXPECT_EQ(line, 3u);
    EXPECT_EQ(column, 5u);
}

// Each bad file fails with a reason that a person can act on.
TEST(BadInputTest, UnreadableFilesAreReported)
{
    timeTable model;
    std::string reason;
    EXPECT_FALSE(model.parse(testFolder() + "absent.xml", &reason));
    EXPECT_EQ(reason, "cannot open the file: No such file or directory");

    std::string folder = testFolder() + "a-folder.xml";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    EXPECT_FALSE(model.parse(folder, &reason));
    EXPECT_EQ(reason, "is a directory, not a file");

    EXPECT_FALSE(model.parse(writeTestFile("empty.xml", ""), &reason));
    EXPECT_EQ(reason, "the file is empty");
    EXPECT_EQ(model.teachers.size(), 0u);
}

TEST(BadInputTest, MalformedXmlNamesLineColumnAndCause)
{
    timeTable model;
    std::string reason;
    std::string truncated = "<?xml version='1.0'?>\n<Teachers_Timetable>\n  <T name='Čáp'>\n    <D name='Mo";
    EXPECT_FALSE(model.parse(writeTestFile("truncated.xml", truncated), &reason));
    EXPECT_EQ(reason, "not well-formed XML at line 4, column 14: Error parsing element attribute");

    std::string mismatched = "<Teachers_Timetable>\n<T name='A'>\n</X>\n</Teachers_Timetable>\n";
    EXPECT_FALSE(model.parse(writeTestFile("mismatch.xml", mismatched), &reason));
    EXPECT_EQ(reason, "not well-formed XML at line 3, column 3: Start-end tags mismatch");

    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 7919 + 13) % 256);
    garbage[0] = '\x01';
    EXPECT_FALSE(model.parse(writeTestFile("garbage.xml", garbage), &reason));
    EXPECT_EQ(reason.rfind("not well-formed XML at line ", 0), 0u) << reason;

    EXPECT_FALSE(model.parse(writeTestFile("text.xml", "just some text\n"), &reason));
    EXPECT_EQ(reason, "not well-formed XML at line 2, column 1: No document element found");
    EXPECT_EQ(model.teachers.size(), 0u);
}

TEST(BadInputTest, EntityDeclarationsAreNotExpanded)
{
    // The exponential-entity file: ten levels of ten references each.
    std::string xml = "<?xml version='1.0'?>\n<!DOCTYPE Teachers_Timetable [\n<!ENTITY lol0 'lol'>\n";
    for (int level = 1; level <= 9; ++level) {
        xml += "<!ENTITY lol" + std::to_string(level) + " '";
        for (int k = 0; k < 10; ++k)
            xml += "&lol" + std::to_string(level - 1) + ";";
        xml += "'>\n";
    }
    xml += "]>\n<Teachers_Timetable><T name='&lol9;'><D name='a&lol1;b'/></T></Teachers_Timetable>\n";
    timeTable model;
    ASSERT_TRUE(model.parse(writeTestFile("laughs.xml", xml)));
    ASSERT_EQ(model.teachers.size(), 1u);
    teacher* owner = model.teachers.find("&lol9;");
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->days.list().front()->name, "a&lol1;b");
}

TEST(BadInputTest, VeryDeepNestingLoadsWithoutExhaustingTheStack)
{
    const int depth = 100000;
    std::string deep;
    deep.reserve(size_t(depth) * 8 + 200);
    deep += "<Teachers_Timetable><T name='A'><D name='Mo'><H name='1'><Students name='1A'/>";
    for (int i = 0; i < depth; ++i)
        deep += "<x>";
    for (int i = 0; i < depth; ++i)
        deep += "</x>";
    deep += "</H></D></T>";
    for (int i = 0; i < depth; ++i)
        deep += "<y>";
    for (int i = 0; i < depth; ++i)
        deep += "</y>";
    deep += "</Teachers_Timetable>";
    timeTable model;
    ASSERT_TRUE(model.parse(writeTestFile("deep.xml", deep)));
    EXPECT_EQ(model.teachers.size(), 2u);
    EXPECT_NE(model.students.find("1A"), nullptr);
    // The unnamed teacher <y> has one day <y> with one hour <y>.
    EXPECT_EQ(model.teachers.find("")->hourCount, 1u);

    std::string unclosed = "<Teachers_Timetable>";
    for (int i = 0; i < depth; ++i)
        unclosed += "<z>";
    std::string reason;
    EXPECT_FALSE(model.parse(writeTestFile("unclosed.xml", unclosed), &reason));
    EXPECT_EQ(reason.rfind("not well-formed XML at line 1, column ", 0), 0u) << reason;
    EXPECT_EQ(model.teachers.size(), 2u);
}

}  // namespace
