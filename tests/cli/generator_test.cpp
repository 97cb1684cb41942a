// The generator of test timetables writes the shapes of real exports.

#include <gtest/gtest.h>

#include "support/reader.h"
#include "support/scratch.h"
#include "timetable/timeTable.h"

namespace {

TEST(GeneratorTest, OutputsHoldTheRealShapes)
{
    const std::string file = support::programScratch().newFolder() + "shaped.xml";
    ASSERT_EQ(support::runProgram(HORATAB_GEN_BIN, {"--split", "2", "--clashes", "3", "--combined",
                                                    "40", "--parallel", "5", "-o", file})
                  .status,
              0);
    EXPECT_EQ(support::readFile(file).substr(0, 3), "\xEF\xBB\xBF");
    timeTable model;
    ASSERT_TRUE(model.parse(file));
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
