#include "xlsx/XmlStream.h"

#include "TestSupport.h"

#include <pugixml.hpp>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <limits>
#include <locale>
#include <sstream>

using namespace xmlw;

namespace
{

// Runs `chain` on a writer over a string stream and returns everything the
// writer produced, including what its destruction closes.
template <typename Chain>
std::string Produce(Chain chain)
{
    std::ostringstream out;
    {
        XmlStream xml(out);
        chain(xml);
    }
    return out.str();
}

std::string Content(std::string_view text)
{
    return Produce([&](XmlStream& xml) { xml << tag("t") << chardata() << text; });
}

std::string AttributeValue(std::string_view text)
{
    return Produce([&](XmlStream& xml) { xml << tag("t") << attr("v") << text; });
}

// A numeric facet with a decimal comma and digit grouping, so that the test
// does not depend on which locales the machine has installed.
struct CommaNumpunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

class GlobalLocaleGuard
{
public:
    explicit GlobalLocaleGuard(const std::locale& locale) : previous(std::locale::global(locale)) {}
    ~GlobalLocaleGuard() { std::locale::global(previous); }

private:
    std::locale previous;
};

const std::string replacement = "\xEF\xBF\xBD";

} // namespace

TEST(XmlStream, ElementFormsFollowContent)
{
    EXPECT_EQ(Produce([](XmlStream& x) { x << prolog() << tag("c") << attr("r") << "A1" << attr("t") << "s" << tag("v")
                                           << chardata() << 5 << endtag() << endtag() << tag("x") << endtag(); }),
              testsupport::declaration + "<c r=\"A1\" t=\"s\"><v>5</v></c><x/>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << endtag(); }), "<a/>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << attr("x") << 1 << endtag(); }), "<a x=\"1\"/>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << chardata() << endtag(); }), "<a></a>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << chardata() << "" << endtag(); }), "<a></a>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << tag("b") << endtag() << endtag(); }), "<a><b/></a>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << attr("x") << 1 << attr("y") << 2 << tag("b"); }),
              "<a x=\"1\" y=\"2\"><b/></a>");
    // Several values in a row make one attribute value.
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << attr("x") << "r" << 3 << 'c' << endtag(); }),
              "<a x=\"r3c\"/>");
}

TEST(XmlStream, PrologOnlyOnceAndOnlyFirst)
{
    EXPECT_EQ(Produce([](XmlStream& x) { x << prolog() << prolog() << tag("a"); }),
              testsupport::declaration + "<a/>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << prolog() << attr("x") << 1; }), "<a x=\"1\"/>");
}

TEST(XmlStream, MisplacedControllersWriteNothing)
{
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << chardata() << attr("x") << "t"; }), "<a>t</a>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << endtag() << attr("x") << tag("a") << endtag() << endtag(); }), "<a/>");
}

TEST(XmlStream, DestructionClosesInnermostFirst)
{
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << tag("b") << tag("c"); }), "<a><b><c/></b></a>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << tag("b") << tag("c") << attr("k") << "v"; }),
              "<a><b><c k=\"v\"/></b></a>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << tag("b") << chardata() << "t"; }), "<a><b>t</b></a>");
}

TEST(XmlStream, PiecewiseTagName)
{
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("") << "row" << 7 << attr("r") << 1 << endtag() << tag("z"); }),
              "<row7 r=\"1\"/><z/>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("") << "p" << 2 << chardata() << "t"; }), "<p2>t</p2>");
    // A name still being collected when the writer goes is self-closed.
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("a") << tag("") << "n"; }), "<a><n/></a>");
}

TEST(XmlStream, EndTagByNameEndsThroughThatElement)
{
    std::ostringstream out;
    {
        XmlStream xml(out);
        xml << tag("a") << tag("b") << tag("c") << chardata() << "x";
        xml.endTag("b");
        xml << tag("d");
        xml.endTag("missing");
    }
    EXPECT_EQ(out.str(), "<a><b><c>x</c></b><d/></a>");
}

TEST(XmlStream, NumbersUseClassicLocaleWhateverTheProcessLocale)
{
    GlobalLocaleGuard guard(std::locale(std::locale::classic(), new CommaNumpunct));
    std::ostringstream out; // picks up the comma locale as its own
    {
        XmlStream xml(out);
        xml << prolog() << tag("n") << attr("d") << 0.5 << attr("i") << 1234567 << chardata() << 1234.25 << ' '
            << 14.03 << ' ' << short(12345) << ' ' << 1.5f;
    }
    EXPECT_EQ(out.str(), testsupport::declaration + "<n d=\"0.5\" i=\"1234567\">1234.25 14.03 12345 1.5</n>");
}

TEST(XmlStream, NumbersUnderInstalledDecimalCommaLocale)
{
    std::locale german;
    try
    {
        german = std::locale("de_DE.UTF-8");
    }
    catch (const std::runtime_error&)
    {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    }
    GlobalLocaleGuard guard(german);
    EXPECT_EQ(Produce([](XmlStream& x) { x << prolog() << tag("v") << chardata() << 0.5 << ';' << 123456; }),
              testsupport::declaration + "<v>0.5;123456</v>");
}

TEST(XmlStream, PrecisionDefaultsToSixAndStays)
{
    EXPECT_EQ(Produce([](XmlStream& x) {
                  x << tag("v") << chardata() << 1.0 / 3 << ' ' << 14.03 << ' ' << 1234567.0 << ' ' << 0.00001234;
              }),
              "<v>0.333333 14.03 1.23457e+06 1.234e-05</v>");
    EXPECT_EQ(Produce([](XmlStream& x) {
                  x << tag("v") << chardata() << std::setprecision(15) << 1.0 / 3 << ' ' << 2.0 / 3;
              }),
              "<v>0.333333333333333 0.666666666666667</v>");
}

// The writer formats numbers itself; its text must be what the stream would
// have written.
TEST(XmlStream, NumberTextMatchesStreamFormatting)
{
    std::vector<double> values = {0.0,    -0.0,      1.0,       -1.0,     0.5,       1234.25,   14.03,   1e-4,
                                  1e-5,   123456.0,  1234567.0, 999999.5, 9999995.0, 0.1 + 0.2, 1e300,   -2.5e-300,
                                  5e-324, 25569.0,   45678.5,   3.0 / 7,  1e15,      1e16,      123.456, 1e21};
    values.push_back(std::numeric_limits<double>::max());
    values.push_back(std::numeric_limits<double>::infinity());
    values.push_back(-std::numeric_limits<double>::infinity());
    for (int i = 0; i < 2000; ++i)
        values.push_back(std::ldexp(static_cast<double>((i * 2654435761u) % 1000003), (i % 80) - 40) * (i % 3 ? 1 : -1));

    for (int precision : {6, 15, 1, 17})
    {
        std::ostringstream expected, actual;
        expected.imbue(std::locale::classic());
        expected << std::setprecision(precision);
        {
            XmlStream xml(actual);
            xml << std::setprecision(precision);
            for (double v : values)
            {
                expected << v << ' ' << static_cast<float>(v) << ' ';
                xml << v << ' ' << static_cast<float>(v) << ' ';
            }
        }
        EXPECT_EQ(actual.str(), expected.str()) << "precision " << precision;
    }

    std::ostringstream expected, actual;
    expected << std::numeric_limits<int>::min() << std::numeric_limits<unsigned>::max()
             << std::numeric_limits<unsigned long long>::max() << -1L << 0u;
    {
        XmlStream xml(actual);
        xml << std::numeric_limits<int>::min() << std::numeric_limits<unsigned>::max()
            << std::numeric_limits<unsigned long long>::max() << -1L << 0u;
    }
    EXPECT_EQ(actual.str(), expected.str());
}

TEST(XmlStream, ReservedCharactersBecomeEntities)
{
    EXPECT_EQ(Content("a&b<c>d\"e'f"), "<t>a&amp;b&lt;c&gt;d\"e'f</t>");
    EXPECT_EQ(AttributeValue("a&b<c>d\"e'f"), "<t v=\"a&amp;b&lt;c&gt;d&quot;e'f\"/>");
    EXPECT_EQ(Content("&&"), "<t>&amp;&amp;</t>");
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("t") << chardata() << '<' << std::string("&") << "\""; }),
              "<t>&lt;&amp;\"</t>");
    // Names and raw text are trusted.
    EXPECT_EQ(Produce([](XmlStream& x) { x << tag("t") << chardata() << raw("<b>&amp;</b>"); }),
              "<t><b>&amp;</b></t>");
}

TEST(XmlStream, ControlCharactersUseSpreadsheetEscapes)
{
    EXPECT_EQ(Content("a\x01z\x1F\x7F"), "<t>a_x0001_z_x001F_\x7F</t>");
    EXPECT_EQ(Content(std::string_view("x\0y", 3)), "<t>x_x0000_y</t>");
    EXPECT_EQ(AttributeValue("\x0B\x0C"), "<t v=\"_x000B__x000C_\"/>");
    // U+FFFE and U+FFFF are well-formed UTF-8 but not XML characters.
    EXPECT_EQ(Content("\xEF\xBF\xBE\xEF\xBF\xBF"), "<t>_xFFFE__xFFFF_</t>");
}

// An XML reader normalises a literal carriage return to a line feed, and a
// literal tab or line feed in an attribute value to a space: written as
// character references they read back as they were.
TEST(XmlStream, WhiteSpaceReadsBackExactly)
{
    const std::string text = "tab\there\nline\rcr\r\nend";
    EXPECT_EQ(Content(text), "<t>tab\there\nline&#13;cr&#13;\nend</t>");
    EXPECT_EQ(AttributeValue(text), "<t v=\"tab&#9;here&#10;line&#13;cr&#13;&#10;end\"/>");

    pugi::xml_document content;
    ASSERT_TRUE(content.load_string(Content(text).c_str()));
    EXPECT_EQ(std::string(content.child("t").text().get()), text);
    pugi::xml_document attribute;
    ASSERT_TRUE(attribute.load_string(AttributeValue(text).c_str()));
    EXPECT_EQ(std::string(attribute.child("t").attribute("v").value()), text);
}

// Text that already looks like an escape keeps its meaning: readers decode
// "_x005F_" as the underscore and the rest stays literal.
TEST(XmlStream, LiteralEscapeLookalikesSurviveReading)
{
    EXPECT_EQ(Content("a_x0041_b"), "<t>a_x005F_x0041_b</t>");
    EXPECT_EQ(Content("_x00fF__x0001_"), "<t>_x005F_x00fF__x005F_x0001_</t>");
    EXPECT_EQ(Content("snake_case _x12_ _x0G41_ _x0041"), "<t>snake_case _x12_ _x0G41_ _x0041</t>");
    EXPECT_EQ(AttributeValue("a_x0041_b"), "<t v=\"a_x0041_b\"/>");
}

TEST(XmlStream, ValidUtf8PassesThrough)
{
    const std::string text = "Zo\xC3\xAB \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9D\x84\x9E \xEF\xBF\xBD \xF4\x8F\xBF\xBF";
    EXPECT_EQ(Content(text), "<t>" + text + "</t>");
    EXPECT_EQ(AttributeValue(text), "<t v=\"" + text + "\"/>");
}

TEST(XmlStream, InvalidUtf8BecomesReplacementCharacters)
{
    const std::string r = replacement;
    // Lone continuation bytes.
    EXPECT_EQ(Content("a\x80z"), "<t>a" + r + "z</t>");
    EXPECT_EQ(Content("\xBF\xBF"), "<t>" + r + r + "</t>");
    // Truncated sequences: one replacement for the started sequence.
    EXPECT_EQ(Content("\xE2\x82"), "<t>" + r + "</t>");
    EXPECT_EQ(Content("\xE2\x82z"), "<t>" + r + "z</t>");
    EXPECT_EQ(Content("\xF0\x9F\x98"), "<t>" + r + "</t>");
    EXPECT_EQ(Content("\xC3"), "<t>" + r + "</t>");
    EXPECT_EQ(Content("\xC3<"), "<t>" + r + "&lt;</t>");
    // Overlong encodings.
    EXPECT_EQ(Content("\xC0\xAF"), "<t>" + r + r + "</t>");
    EXPECT_EQ(Content("\xC1\xBF"), "<t>" + r + r + "</t>");
    EXPECT_EQ(Content("\xE0\x80\xAF"), "<t>" + r + r + r + "</t>");
    EXPECT_EQ(Content("\xF0\x80\x80\xAF"), "<t>" + r + r + r + r + "</t>");
    // UTF-16 surrogates encoded as UTF-8.
    EXPECT_EQ(Content("\xED\xA0\x80"), "<t>" + r + r + r + "</t>");
    EXPECT_EQ(Content("\xED\xBF\xBF"), "<t>" + r + r + r + "</t>");
    // Beyond U+10FFFF and bytes that never occur in UTF-8.
    EXPECT_EQ(Content("\xF4\x90\x80\x80"), "<t>" + r + r + r + r + "</t>");
    EXPECT_EQ(Content("\xF5\xF8\xFC\xFE\xFF"), "<t>" + r + r + r + r + r + "</t>");
    EXPECT_EQ(AttributeValue("x\xFF\"y"), "<t v=\"x" + r + "&quot;y\"/>");
}

TEST(XmlStream, FailedWritesMarkTheStream)
{
    std::ofstream notOpened;
    {
        XmlStream xml(notOpened);
        xml << prolog() << tag("a") << chardata() << "text" << 1.5;
    }
    EXPECT_TRUE(notOpened.bad());

    std::ostringstream fine;
    {
        XmlStream xml(fine);
        xml << prolog() << tag("a");
    }
    EXPECT_TRUE(fine.good());
}
