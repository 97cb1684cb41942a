// Runs the built horatab-export and checks its output and exit status.

#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "runProgram.h"

namespace {

const char* const fixture =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Teachers_Timetable>\n"
    "  <Teacher name=\"Šimek Petr\">\n"
    "    <Day name=\"Pondělí\">\n"
    "      <Hour name=\"1.\"><Subject name=\"Fyzika\"/><Students name=\"1.A\"/><Room name=\"L1\"/></Hour>\n"
    "      <Hour name=\"2.\"/>\n"
    "      <Hour name=\"3.\"><Subject name=\"Dozor\"/></Hour>\n"
    "    </Day>\n"
    "    <Day name=\"Úterý\">\n"
    "      <Hour name=\"1.\"/>\n"
    "      <Hour name=\"2.\"><Subject name=\"Fyzika\"/><Students name=\"2.B\"/></Hour>\n"
    "    </Day>\n"
    "  </Teacher>\n"
    "  <Teacher name=\"Adámek Jan\">\n"
    "    <Day name=\"Po\"><Hour name=\"I\"><Students name=\"1.A\"/><Subject name=\"Matematika\"/></Hour></Day>\n"
    "  </Teacher>\n"
    "  <Teacher name=\"Idle\"><Day name=\"Po\"/><Day name=\"Út\"/></Teacher>\n"
    "</Teachers_Timetable>\n";

class RunExportTest : public testing::Test
{
protected:
    std::string input = writeCliFile("fixture.xml", fixture);

    // A failure: exit status 1, nothing on stdout, exactly `line` on stderr.
    void expectFailure(const std::vector<std::string>& args, const std::string& line)
    {
        programResult result = runExport(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, line + "\n");
    }

    void expectOutput(const std::vector<std::string>& args, const std::string& out)
    {
        programResult result = runExport(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, out);
    }
};

TEST_F(RunExportTest, HelpAndVersion)
{
    programResult help = runExport({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: horatab-export [options] INPUT.xml\n", 0), 0u);
    EXPECT_NE(help.out.find("--show-students NAME"), std::string::npos);
    EXPECT_EQ(help.err, "");

    expectOutput({"--version"}, std::string("horatab-export ") + HORATAB_EXPECTED_VERSION + "\n");
}

TEST_F(RunExportTest, ListsNamesInRegistryOrder)
{
    expectOutput({"--list", "teachers", input}, "Adámek Jan\nIdle\nŠimek Petr\n");
    expectOutput({"--list", "students", input}, "1.A\n2.B\n");
}

TEST_F(RunExportTest, ShowsATeachersWeek)
{
    expectOutput({"--show-teacher", "Šimek Petr", input}, "hour\\day\tPondělí\tÚterý\n"
                                                         "1.\t1.A / Fyzika\t\n"
                                                         "2.\t\t2.B / Fyzika\n"
                                                         "3.\t\t\n");
    // No hour at all: the day headings and no hour rows.
    expectOutput({"--show-teacher", "Idle", input}, "hour\\day\tPo\tÚt\n");
}

TEST_F(RunExportTest, ShowsAGroupsMergedWeek)
{
    // Headings from Adámek (first by name); Šimek sorts later and wins the
    // clash in day 1, hour 1.
    expectOutput({"--show-students", "1.A", input}, "hour\\day\tPo\t\n"
                                                    "I\tFyzika\t\n"
                                                    "\t\t\n"
                                                    "\t\t\n");
}

TEST_F(RunExportTest, UnknownNamesAreReported)
{
    expectFailure({"--show-teacher", "Nobody", input}, "horatab-export: " + input + ": no teacher named \"Nobody\"");
    expectFailure({"--show-students", "Idle", input}, "horatab-export: " + input + ": no student group named \"Idle\"");
    expectFailure({"--show-students", "1.a", input}, "horatab-export: " + input + ": no student group named \"1.a\"");
}

TEST_F(RunExportTest, UnreadableFilesAreReported)
{
    std::string missing = cliTestFolder() + "missing.xml";
    expectFailure({"--list", "teachers", missing},
                  "horatab-export: " + missing + ": cannot open the file: No such file or directory");

    std::string folder = cliTestFolder() + "folder.xml";
    mkdir(folder.c_str(), 0700);
    expectFailure({"--list", "teachers", folder}, "horatab-export: " + folder + ": is a directory, not a file");

    std::string empty = writeCliFile("empty.xml", "");
    expectFailure({"--show-teacher", "A", empty}, "horatab-export: " + empty + ": the file is empty");
}

TEST_F(RunExportTest, MalformedXmlIsReportedWithLineAndColumn)
{
    std::string truncated = writeCliFile("truncated.xml", std::string(fixture).substr(0, 200));
    expectFailure({"--list", "teachers", truncated},
                  "horatab-export: " + truncated + ": not well-formed XML at line 5, column 81: Error parsing element attribute");

    std::string garbage(2048, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) % 251 + 1);
    std::string binary = writeCliFile("binary.xml", garbage);
    programResult result = runExport({"--list", "students", binary});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("horatab-export: " + binary + ": not well-formed XML at line ", 0), 0u) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1);
}

TEST_F(RunExportTest, FilesWithoutTeachersAreReported)
{
    std::string otherRoot = writeCliFile("other.xml", "<Rozvrh><Teacher name='A'/></Rozvrh>");
    expectFailure({"--list", "students", otherRoot},
                  "horatab-export: " + otherRoot +
                      ": the file holds no teachers: its root element is <Rozvrh>, not <Teachers_Timetable>");
    std::string emptyRoot = writeCliFile("emptyroot.xml", "<?xml version='1.0'?><Teachers_Timetable/>");
    expectFailure({"--list", "teachers", emptyRoot}, "horatab-export: " + emptyRoot + ": the file holds no teachers");
}

TEST_F(RunExportTest, EntityDeclarationsStayUnexpanded)
{
    std::string laughs = "<!DOCTYPE T [<!ENTITY a 'xxxxxxxxxx'><!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'>"
                         "<!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'>]>"
                         "<Teachers_Timetable><T name='&c;'/></Teachers_Timetable>";
    expectOutput({"--list", "teachers", writeCliFile("laughs.xml", laughs)}, "&c;\n");
}

TEST_F(RunExportTest, UsageMistakesAreReported)
{
    expectFailure({}, "horatab-export: no input file given (see --help)");
    expectFailure({"--list", "rooms", input}, "horatab-export: --list takes teachers or students, not \"rooms\" (see --help)");
    expectFailure({"--bogus", input}, "horatab-export: unknown option --bogus (see --help)");
}

}  // namespace
