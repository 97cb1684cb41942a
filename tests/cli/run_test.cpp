// The built horatab-export inspecting a timetable: output, messages, exit status.

#include <sys/stat.h>

#include "cli/options.h"
#include "cliTestSupport.h"
#include "support/data.h"

namespace {

std::string failed(const std::string& file, const std::string& reason)
{
    return "horatab-export: " + file + ": " + reason + "\n";
}

TEST(RunExportTest, InspectionsPrintTheirResultOrOneClearLine)
{
    const std::string fixture = support::testFile("cli/data/browse.xml");
    const std::string in = cliFile("fixture.xml", fixture);
    const std::string missing = support::programScratch().file("missing.xml"),
                      folder = support::programScratch().file("folder.xml");
    mkdir(folder.c_str(), 0700);
    const std::string empty = cliFile("empty.xml", "");
    // Cut inside an attribute; the column counts characters, not bytes.
    const std::string truncated =
        cliFile("truncated.xml", fixture.substr(0, fixture.find("Fyzika&")));
    std::string garbage;
    for (int i = 0; i < 2048; ++i)
        garbage += char((i * 131 + 7) % 251 + 1);
    const std::string binary = cliFile("binary.xml", garbage);
    const std::string otherRoot = cliFile("other.xml", "<Rozvrh><Teacher name='A'/></Rozvrh>");
    const std::string emptyRoot =
        cliFile("emptyroot.xml", "<?xml version='1.0'?><Teachers_Timetable/>");
    const std::string laughs =
        cliFile("laughs.xml",
                "<!DOCTYPE T [<!ENTITY a 'xxxxxxxxxx'><!ENTITY b '&a;&a;&a;&a;&a;"
                "&a;&a;&a;&a;&a;'>]><Teachers_Timetable><T name='&b;'/></Teachers_Timetable>");
    expectRuns({
        {{"--help"}, 0, usageText(), ""},
        {{"--version"}, 0, std::string("horatab-export ") + HORATAB_EXPECTED_VERSION + "\n", ""},
        {{"--list", "teachers", in}, 0, "Adámek Jan\nIdle\nŠimek Petr\n", ""},
        {{"--list", "students", in}, 0, "1.A\n2.B\n", ""},
        // Tabs in names print as spaces so that the columns hold; a duty shows.
        {{"--show-teacher", "Šimek Petr", in},
         0,
         "hour\\day\tPondělí\tÚterý\n1.\t1.A / Fyzika\t\n2.\t\t2.B / Fyzika lab\n3.\tDozor\t\n",
         ""},
        {{"--show-teacher", "Idle", in}, 0, "hour\\day\tPo\tÚt\n", ""},
        // Headings from Šimek (the larger week); both teachers of the clash
        // show, in name order, the lines of the cell separated by " | ".
        {{"--show-students", "1.A", in},
         0,
         "hour\\day\tPondělí\tÚterý\n1.\tMatematika | Fyzika\t\n2.\t\t\n3.\t\t\n",
         ""},
        {{"--list", "teachers", laughs}, 0, "&b;\n", ""},
        {{"--show-teacher", "Nobody", in}, 1, "", failed(in, "no teacher named \"Nobody\"")},
        {{"--show-students", "Idle", in}, 1, "", failed(in, "no student group named \"Idle\"")},
        {{"--show-students", "1.a", in}, 1, "", failed(in, "no student group named \"1.a\"")},
        {{"--list", "teachers", missing},
         1,
         "",
         failed(missing, "cannot open the file: No such file or directory")},
        {{"--list", "teachers", folder},
         1,
         "",
         failed(folder, "is a directory, not a regular file")},
        {{"--show-teacher", "A", empty}, 1, "", failed(empty, "the file is empty")},
        {{"--list", "teachers", truncated},
         1,
         "",
         failed(truncated,
                "not well-formed XML at line 6, column 70: Error parsing element attribute")},
        {{"--list", "students", binary},
         1,
         "",
         "horatab-export: " + binary + ": not well-formed XML at line ..."},
        {{"--list", "students", otherRoot},
         1,
         "",
         failed(
             otherRoot,
             "the file holds no teachers: its root element is <Rozvrh>, not <Teachers_Timetable>")},
        {{"--list", "teachers", emptyRoot}, 1, "", failed(emptyRoot, "the file holds no teachers")},
        {{}, 1, "", "horatab-export: no input file given (see --help)\n"},
        {{"--bogus", in}, 1, "", "horatab-export: unknown option --bogus (see --help)\n"},
    });
}

}  // namespace
