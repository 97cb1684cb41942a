// xl/theme/theme1.xml: the fixed "Office Theme" (colours, fonts, formats).

#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/XmlStream.h"

namespace SimpleXlsx {

namespace {

using xmlw::attr;
using xmlw::endtag;
using xmlw::tag;
using xmlw::XmlStream;

struct ColorSlot
{
    const char* slot;
    const char* srgb;  // null for the two system colours
};

const ColorSlot colorSlots[] = {{"a:dk2", "1F497D"},     {"a:lt2", "EEECE1"},
                                {"a:accent1", "4F81BD"}, {"a:accent2", "C0504D"},
                                {"a:accent3", "9BBB59"}, {"a:accent4", "8064A2"},
                                {"a:accent5", "4BACC6"}, {"a:accent6", "F79646"},
                                {"a:hlink", "0000FF"},   {"a:folHlink", "800080"}};

struct ScriptFont
{
    const char* script;
    const char* typeface;
};

const ScriptFont scriptFonts[] = {{"Arab", "Times New Roman"},
                                  {"Herb", "Times New Roman"},
                                  {"Thai", "Tahoma"},
                                  {"Ethi", "Nyala"},
                                  {"Beng", "Vrinda"},
                                  {"Gujr", "Shruti"},
                                  {"Khmr", "MoolBoran"},
                                  {"Knda", "Tunga"},
                                  {"Guru", "Raavi"},
                                  {"Cans", "Euphemia"},
                                  {"Cher", "Plantagenet Cherokee"},
                                  {"Yiii", "Microsoft Yi Baiti"},
                                  {"Tibt", "Microsoft Himalaya"},
                                  {"Thaa", "MV Boli"},
                                  {"Deva", "Mangal"},
                                  {"Telu", "Gautami"},
                                  {"Taml", "Latha"},
                                  {"Syrc", "Estrangelo Edessa"},
                                  {"Orya", "Kalinga"},
                                  {"Mlym", "Kartika"},
                                  {"Laoo", "DokChampa"},
                                  {"Sinh", "Iskoola Pota"},
                                  {"Mong", "Mongolian Baiti"},
                                  {"Viet", "Times New Roman"},
                                  {"Uigh", "Microsoft Uighur"},
                                  {"Geor", "Sylfaen"}};

// A colour transform such as a:tint 50000; a null name ends a list.
struct Transform
{
    const char* name;
    int value;
};

struct GradientStop
{
    int pos;
    Transform transforms[3];
};

void WriteSchemeColor(XmlStream& xml, const Transform* transforms, size_t count)
{
    xml << tag("a:schemeClr") << attr("val") << "phClr";
    for (size_t i = 0; i < count && transforms[i].name != nullptr; ++i)
        xml << tag(transforms[i].name) << attr("val") << transforms[i].value << endtag();
    xml << endtag();
}

void WriteSolidFill(XmlStream& xml)
{
    xml << tag("a:solidFill");
    WriteSchemeColor(xml, nullptr, 0);
    xml << endtag();
}

template <size_t N>
void WriteGradientStops(XmlStream& xml, const GradientStop (&stops)[N])
{
    xml << tag("a:gradFill") << attr("rotWithShape") << 1 << tag("a:gsLst");
    for (const GradientStop& stop : stops) {
        xml << tag("a:gs") << attr("pos") << stop.pos;
        WriteSchemeColor(xml, stop.transforms, 3);
        xml << endtag();
    }
    xml << endtag();
}

template <size_t N>
void WriteLinearGradient(XmlStream& xml, const GradientStop (&stops)[N], int scaled)
{
    WriteGradientStops(xml, stops);
    xml << tag("a:lin") << attr("ang") << 16200000 << attr("scaled") << scaled << endtag();
    xml << endtag();
}

template <size_t N>
void WriteCircleGradient(XmlStream& xml, const GradientStop (&stops)[N], int l, int t, int r, int b)
{
    WriteGradientStops(xml, stops);
    xml << tag("a:path") << attr("path") << "circle" << tag("a:fillToRect") << attr("l") << l
        << attr("t") << t << attr("r") << r << attr("b") << b << endtag() << endtag();
    xml << endtag();
}

void WriteColorScheme(XmlStream& xml)
{
    xml << tag("a:clrScheme") << attr("name") << "Office";
    xml << tag("a:dk1") << tag("a:sysClr") << attr("val") << "windowText" << attr("lastClr")
        << "000000" << endtag() << endtag();
    xml << tag("a:lt1") << tag("a:sysClr") << attr("val") << "window" << attr("lastClr") << "FFFFFF"
        << endtag() << endtag();
    for (const ColorSlot& color : colorSlots)
        xml << tag(color.slot) << tag("a:srgbClr") << attr("val") << color.srgb << endtag()
            << endtag();
    xml << endtag();
}

void WriteFontList(XmlStream& xml, const char* element)
{
    xml << tag(element);
    xml << tag("a:latin") << attr("typeface") << "Cambria" << endtag();
    xml << tag("a:ea") << attr("typeface") << "" << endtag();
    xml << tag("a:cs") << attr("typeface") << "" << endtag();
    for (const ScriptFont& font : scriptFonts)
        xml << tag("a:font") << attr("script") << font.script << attr("typeface") << font.typeface
            << endtag();
    xml << endtag();
}

void WriteFontScheme(XmlStream& xml)
{
    xml << tag("a:fontScheme") << attr("name") << "Office";
    WriteFontList(xml, "a:majorFont");
    WriteFontList(xml, "a:minorFont");
    xml << endtag();
}

void WriteFillStyles(XmlStream& xml)
{
    static const GradientStop f2[] = {{0, {{"a:tint", 50000}, {"a:satMod", 300000}, {}}},
                                      {35000, {{"a:tint", 37000}, {"a:satMod", 300000}, {}}},
                                      {100000, {{"a:tint", 15000}, {"a:satMod", 350000}, {}}}};
    static const GradientStop f3[] = {{0, {{"a:tint", 51000}, {"a:satMod", 130000}, {}}},
                                      {80000, {{"a:tint", 93000}, {"a:satMod", 130000}, {}}},
                                      {100000, {{"a:tint", 94000}, {"a:satMod", 135000}, {}}}};
    xml << tag("a:fillStyleLst");
    WriteSolidFill(xml);
    WriteLinearGradient(xml, f2, 1);
    WriteLinearGradient(xml, f3, 0);
    xml << endtag();
}

void WriteLineStyle(XmlStream& xml, int width, const Transform* transforms, size_t count)
{
    xml << tag("a:ln") << attr("w") << width << attr("cap") << "flat" << attr("cmpd") << "sng"
        << attr("algn") << "ctr";
    xml << tag("a:solidFill");
    WriteSchemeColor(xml, transforms, count);
    xml << endtag();
    xml << tag("a:prstDash") << attr("val") << "solid" << endtag();
    xml << endtag();
}

void WriteLineStyles(XmlStream& xml)
{
    static const Transform thinLine[] = {{"a:shade", 95000}, {"a:satMod", 105000}};
    xml << tag("a:lnStyleLst");
    WriteLineStyle(xml, 9525, thinLine, 2);
    WriteLineStyle(xml, 25400, nullptr, 0);
    WriteLineStyle(xml, 38100, nullptr, 0);
    xml << endtag();
}

void WriteRotation(XmlStream& xml, int rev)
{
    xml << tag("a:rot") << attr("lat") << 0 << attr("lon") << 0 << attr("rev") << rev << endtag();
}

// An effect style with its outer shadow; the style element stays open.
void BeginEffectStyle(XmlStream& xml, int dist, int alpha)
{
    xml << tag("a:effectStyle") << tag("a:effectLst") << tag("a:outerShdw") << attr("blurRad")
        << 40000 << attr("dist") << dist << attr("dir") << 5400000 << attr("rotWithShape") << 0;
    xml << tag("a:srgbClr") << attr("val") << "000000" << tag("a:alpha") << attr("val") << alpha
        << endtag() << endtag();
    xml << endtag() << endtag();
}

void WriteEffectStyles(XmlStream& xml)
{
    xml << tag("a:effectStyleLst");
    BeginEffectStyle(xml, 20000, 38000);
    xml << endtag();
    BeginEffectStyle(xml, 23000, 35000);
    xml << endtag();
    BeginEffectStyle(xml, 23000, 35000);
    xml << tag("a:scene3d");
    xml << tag("a:camera") << attr("prst") << "orthographicFront";
    WriteRotation(xml, 0);
    xml << endtag();
    xml << tag("a:lightRig") << attr("rig") << "threePt" << attr("dir") << "t";
    WriteRotation(xml, 1200000);
    xml << endtag();
    xml << endtag();
    xml << tag("a:sp3d") << tag("a:bevelT") << attr("w") << 63500 << attr("h") << 25400 << endtag()
        << endtag();
    xml << endtag();
    xml << endtag();
}

void WriteBackgroundFillStyles(XmlStream& xml)
{
    static const GradientStop b2[] = {
        {0, {{"a:tint", 40000}, {"a:satMod", 350000}, {}}},
        {40000, {{"a:tint", 45000}, {"a:shade", 99000}, {"a:satMod", 350000}}},
        {100000, {{"a:shade", 20000}, {"a:satMod", 255000}, {}}}};
    static const GradientStop b3[] = {{0, {{"a:tint", 80000}, {"a:satMod", 300000}, {}}},
                                      {100000, {{"a:shade", 30000}, {"a:satMod", 200000}, {}}}};
    xml << tag("a:bgFillStyleLst");
    WriteSolidFill(xml);
    WriteCircleGradient(xml, b2, 50000, -80000, 50000, 180000);
    WriteCircleGradient(xml, b3, 50000, 50000, 50000, 50000);
    xml << endtag();
}

void WriteTheme(XmlStream& xml)
{
    xml << xmlw::prolog() << tag("a:theme") << attr("xmlns:a") << ns_a << attr("name")
        << "Office Theme";
    xml << tag("a:themeElements");
    WriteColorScheme(xml);
    WriteFontScheme(xml);
    xml << tag("a:fmtScheme") << attr("name") << "Office";
    WriteFillStyles(xml);
    WriteLineStyles(xml);
    WriteEffectStyles(xml);
    WriteBackgroundFillStyles(xml);
    xml << endtag();
    xml << endtag();
    xml << tag("a:objectDefaults") << endtag();
    xml << tag("a:extraClrSchemeLst") << endtag();
}

}  // namespace

bool SaveTheme(const PackageView& package)
{
    PartFile part(package.tempPath, "xl/theme/theme1.xml");
    {
        XmlStream xml(part.Stream());
        WriteTheme(xml);
    }
    return part.Close();
}

}  // namespace SimpleXlsx
