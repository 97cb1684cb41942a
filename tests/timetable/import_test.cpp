// How the elements of a timetable file become teachers, days and hours.

#include "timetableTestSupport.h"

namespace {

// Each file in timetable/data read into a new model gives the model in
// timetable/reference/<file>.model.
TEST(ImportTest, EachFileGivesItsModel)
{
    const std::pair<const char*, const char*> files[] = {
        {"merged_teachers", "teachers merged by name, days in file order, the first longest day"},
        {"hour_children", "each group of an hour once, only the first subject and room"},
        {"many_groups", "a long list keeps each group once, in file order"},
        {"other_nodes", "other nodes on levels 2 to 4 are unnamed objects; entities decoded"},
        {"other_root", "another root loads nothing"},
        {"nested_root", "a nested root loads nothing"},
    };
    for (const auto& [file, what] : files) {
        SCOPED_TRACE(std::string(file) + ": " + what);
        timeTable model;
        readInto(model, dataFile(std::string(file) + ".xml"));
        EXPECT_EQ(modelText(model),
                  support::testFile("timetable/reference/" + std::string(file) + ".model"));
    }
}

// Every hour naming a group points at its one registry object; a missing
// name attribute reads as an empty name.
TEST(ImportTest, HoursShareTheGroupsOfTheRegistry)
{
    timeTable model;
    readInto(model, dataFile("hour_children.xml"));
    EXPECT_EQ(firstHour(model.teachers.find("B"))->students, model.students.find("1A"));
    EXPECT_EQ(firstHour(model.teachers.find("A"))->groups[0], model.students.find("1A"));
    EXPECT_EQ(firstHour(model.teachers.find(""))->students, model.students.find(""));
}

TEST(ImportTest, ASecondFileAddsToTheFirstAndAFailedOneChangesNothing)
{
    timeTable model;
    ASSERT_TRUE(model.parse(dataPath("first_file.xml")));
    namedObjects<std::string>* group = model.students.find("1A");
    ASSERT_TRUE(model.parse(dataPath("second_file.xml")));
    // Well-formed up to the error: the partial tree must not reach the model.
    EXPECT_FALSE(model.parse(dataPath("broken_file.xml")));
    EXPECT_FALSE(model.parse(dataPath("missing.xml")));
    EXPECT_EQ(model.students.find("1A"), group);
    EXPECT_EQ(modelText(model), support::testFile("timetable/reference/second_file.model"));
}

}  // namespace
