// The bundled example timetable and the generator of test timetables.

#include "cliTestSupport.h"

namespace {

TEST(ExampleTimetableTest, SchoolXmlLoads)
{
    timeTable model;
    SimpleXlsx::Status reason;
    ASSERT_TRUE(model.parse(std::string(HORATAB_EXAMPLES_DIR) + "/school.xml", &reason))
        << reason.Text();
    EXPECT_EQ(model.teachers.size(), 15u);
    EXPECT_EQ(model.students.size(), 8u);
}

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

}  // namespace
