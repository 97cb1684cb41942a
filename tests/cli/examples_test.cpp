// The bundled example timetable and the generator of test timetables.

#include <gtest/gtest.h>

#include "support/reader.h"
#include "support/scratch.h"
#include "timetable/timeTable.h"

using support::names;

namespace {

TEST(GeneratorTest, SameSeedSameFileAndBadOptionsAreRefused)
{
    names args = {"--teachers", "12", "--groups", "6", "--seed", "42"};
    const support::ProgramResult first = support::runProgram(HORATAB_GEN_BIN, args),
                                 second = support::runProgram(HORATAB_GEN_BIN, args);
    args[5] = "43";
    EXPECT_EQ(first.status, 0);
    EXPECT_NE(first.out, "");
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out, support::runProgram(HORATAB_GEN_BIN, args).out);

    for (const names& bad :
         std::vector<names>{{"--teachers", "x"},
                            {"--days", "8"},
                            {"--groups", "-1"},
                            {"--nonsense"},
                            {"--teachers", "1", "--groups", "6", "--days", "1", "--hours", "5"}}) {
        support::ProgramResult refused = support::runProgram(HORATAB_GEN_BIN, bad);
        EXPECT_EQ(refused.status, 1) << testing::PrintToString(bad);
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err, "");
    }
}

// Every example and every generator output passes a strict XML parser,
// and the generator writes the shapes of real exports.
TEST(GeneratorTest, OutputsAreWellFormedAndHoldTheRealShapes)
{
    const std::string folder = support::programScratch().newFolder();
    names files = {std::string(HORATAB_EXAMPLES_DIR) + "/school.xml",
                   std::string(HORATAB_TEST_DATA_DIR) + "/real_shapes.xml",
                   std::string(HORATAB_TEST_DATA_DIR) + "/plain_timetable.xml"};
    const std::vector<names> optionSets = {
        {},
        {"--split", "2", "--clashes", "3", "--combined", "40", "--parallel", "5"},
        {"--teachers", "30", "--groups", "12", "--days", "7", "--hours", "10", "--duties", "30"}};
    for (size_t i = 0; i < optionSets.size(); ++i) {
        names args = optionSets[i];
        files.push_back(folder + "generated" + std::to_string(i) + ".xml");
        args.insert(args.end(), {"-o", files.back()});
        ASSERT_EQ(support::runProgram(HORATAB_GEN_BIN, args).status, 0)
            << testing::PrintToString(args);
    }
    for (const std::string& file : files) {
        support::ProgramResult strict = support::runProgram(
            HORATAB_SYSTEM_PYTHON,
            {"-c", "import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])", file});
        EXPECT_EQ(strict.status, 0) << file << ": " << strict.err;
    }

    const std::string shaped = support::readFile(files[4]);
    EXPECT_EQ(shaped.substr(0, 3), "\xEF\xBB\xBF");
    timeTable model;
    ASSERT_TRUE(model.parse(files[4]));
    size_t combined = 0, duties = 0, parallel = 0;
    std::map<std::string, size_t> lessonsAt;  // by group, day name and hour position
    for (auto& entry : model.teachers.map()) {
        for (const teacherDay* taught : entry.second->days.list()) {
            size_t position = 0;
            for (const hour* slot : taught->hours.list()) {
                combined += slot->groups.size() == 2;
                duties += slot->subject && slot->groups.empty();
                for (const namedObjects<std::string>* group : slot->groups)
                    parallel += ++lessonsAt[group->name + "/" + taught->name + "/" +
                                            std::to_string(position)] == 2;
                ++position;
            }
        }
    }
    EXPECT_GT(combined, 0u);
    EXPECT_GT(duties, 0u);
    EXPECT_GE(parallel, 5u);
}

}  // namespace
