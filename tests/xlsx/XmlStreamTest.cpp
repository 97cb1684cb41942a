#include "xlsx/internal/XmlStream.h"

#include "XlsxTest.h"

#include <locale>
#include <sstream>

using namespace xmlw;
using xt::xmlDeclaration;

namespace {

// Everything the writer produced from `chain`, including what its destruction closes.
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
    return Produce([&](XmlStream& x) { x << tag("t") << chardata() << text; });
}
std::string Attribute(std::string_view text)
{
    return Produce([&](XmlStream& x) { x << tag("t") << attr("v") << text; });
}

// A decimal comma and digit grouping, independent of the installed locales.
struct CommaNumpunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

}  // namespace

TEST(XmlStream, ElementFormsPrologAndClosing)
{
    const std::pair<std::string, std::string> cases[] = {
        {Produce([](XmlStream& x) {
             x << prolog() << tag("c") << attr("r") << "A1" << attr("t") << "s" << tag("v")
               << chardata() << 5 << endtag() << endtag() << tag("x") << endtag();
         }),
         xmlDeclaration + "<c r=\"A1\" t=\"s\"><v>5</v></c><x/>"},
        {Produce([](XmlStream& x) { x << tag("a") << chardata() << "" << endtag(); }), "<a></a>"},
        // Values in a row make one attribute value; the prolog comes once and only first.
        {Produce([](XmlStream& x) {
             x << prolog() << prolog() << tag("a") << prolog() << attr("x") << "r" << 3 << 'c';
         }),
         xmlDeclaration + "<a x=\"r3c\"/>"},
        // Misplaced controllers write nothing; destruction closes the innermost element first.
        {Produce([](XmlStream& x) {
             x << endtag() << attr("x") << tag("a") << chardata() << attr("y") << "t" << tag("b")
               << tag("c") << attr("k") << "v";
         }),
         "<a>t<b><c k=\"v\"/></b></a>"},
        // A tag name given piecewise.
        {Produce([](XmlStream& x) {
             x << tag("") << "row" << 7 << attr("r") << 1 << endtag() << tag("z") << tag("") << "n";
         }),
         "<row7 r=\"1\"/><z><n/></z>"},
        {Produce([](XmlStream& x) {
             x << tag("a") << tag("b") << tag("c") << chardata() << "x";
             x.endTag("b");
             x << tag("d");
             x.endTag("missing");
         }),
         "<a><b><c>x</c></b><d/></a>"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

TEST(XmlStream, NumbersIgnoreADecimalCommaLocale)
{
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
    std::ostringstream out;  // takes the comma locale as its own
    {
        XmlStream xml(out);
        xml << prolog() << tag("n") << attr("d") << 0.5 << attr("i") << 1234567 << chardata()
            << 1234.25 << ' ' << short(12345) << ' ' << 1.5f;
    }
    std::locale::global(previous);
    EXPECT_EQ(out.str(), xmlDeclaration + "<n d=\"0.5\" i=\"1234567\">1234.25 12345 1.5</n>");
}

TEST(XmlStream, HostileTextIsEscaped)
{
    for (const support::tableRow& row : support::testTable("xlsx/data/escaped-text.tsv")) {
        if (row[2].rfind("attribute", 0) == 0)
            EXPECT_EQ(Attribute(row[0]), "<t v=\"" + row[1] + "\"/>") << row[2];
        else
            EXPECT_EQ(Content(row[0]), "<t>" + row[1] + "</t>") << row[2];
    }
    EXPECT_EQ(Produce([](XmlStream& x) {
                  x << tag("t") << chardata() << '<' << std::string("&") << raw("<b>&amp;</b>");
              }),
              "<t>&lt;&amp;<b>&amp;</b></t>");
}

TEST(XmlStream, FailedWritesMarkTheStream)
{
    std::ofstream notOpened;
    {
        XmlStream xml(notOpened);
        xml << prolog() << tag("a") << chardata() << "text" << 1.5;
    }
    EXPECT_TRUE(notOpened.bad());
}
