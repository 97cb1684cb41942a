// horatab-export as a person uses it: each session file under
// cli/reference/ is a shell transcript that the run must reproduce byte for
// byte.

#include <sstream>

#include <gtest/gtest.h>

#include "support/data.h"
#include "support/reader.h"
#include "support/scratch.h"

namespace {

// What a command printed: its standard output, then its standard error with
// each line after "! ", then "[exit N]" when it failed.
std::string printed(const support::ProgramResult& run)
{
    std::string text = run.out;
    std::istringstream err(run.err);
    for (std::string line; std::getline(err, line);)
        text += "! " + line + (err.eof() ? "" : "\n");
    if (run.status != 0)
        text += "[exit " + std::to_string(run.status) + "]\n";
    return text;
}

// Runs `command` with sh in `folder`: horatab-export and the generator are
// on the PATH, $DATA names cli/data, $EXAMPLES the examples, $VERSION is
// the expected version, $PYTHON the system's python3, and `dump FILE`
// prints a workbook as the independent reader reads it.
support::ProgramResult runInSession(const std::string& command, const std::string& folder)
{
    const std::string bin = HORATAB_EXPORT_BIN;
    const std::string setUp =
        "cd \"$1\" || exit 99\n"
        "PATH=\"$2:$PATH\" DATA=$3 VERSION=$4 PYTHON=$5 READER=$6 EXAMPLES=$7\n"
        "dump() { \"$PYTHON\" \"$READER\" dump \"$@\"; }\n";
    return support::runProgram("sh", {"-c", setUp + command, "sh", folder,
                                      bin.substr(0, bin.rfind('/')), HORATAB_TEST_DATA_DIR,
                                      HORATAB_EXPECTED_VERSION, HORATAB_SYSTEM_PYTHON,
                                      HORATAB_WORKBOOK_READER, HORATAB_EXAMPLES_DIR});
}

// A session file: lines starting with "$ " are commands, lines starting
// with "#" comments; every other line is what the command above printed.
void expectSession(const std::string& name)
{
    const std::string expected = support::testFile("cli/reference/" + name + ".session");
    const std::string folder = support::programScratch().newFolder();
    std::string seen;
    std::istringstream lines(expected);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 2, "$ ") == 0)
            seen += line + "\n" + printed(runInSession(line.substr(2), folder));
        else if (line.compare(0, 1, "#") == 0)
            seen += line + "\n";
    }
    EXPECT_EQ(seen, expected);
}

class SessionTest : public testing::TestWithParam<const char*>
{};

TEST_P(SessionTest, PrintsWhatTheSessionFileSays)
{
    expectSession(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cli, SessionTest,
                         testing::Values("listings", "workbooks", "failed_workbooks", "alphabet",
                                         "real_shapes", "plain_timetable", "hostile_names",
                                         "generator"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

}  // namespace
