// The bundled example timetable and the generator of test timetables.

#include "timetable/timeTable.h"

#include <map>
#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "runProgram.h"

namespace {

// Positions (group, day, hour) that more than one teacher fills.
size_t clashCount(timeTable& model)
{
    std::map<std::tuple<const void*, size_t, size_t>, std::set<const teacher*>> taughtBy;
    for (auto& entry : model.teachers.map()) {
        size_t dayPosition = 0;
        for (const teacherDay* day : entry.second->days.list()) {
            size_t hourPosition = 0;
            for (const hour* slot : day->hours.list()) {
                if (slot->students)
                    taughtBy[std::make_tuple(slot->students, dayPosition, hourPosition)].insert(entry.second);
                ++hourPosition;
            }
            ++dayPosition;
        }
    }
    size_t clashes = 0;
    for (const auto& position : taughtBy)
        clashes += position.second.size() > 1;
    return clashes;
}

size_t elementCount(const std::string& path, const char* name)
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(path.c_str()));
    size_t count = 0;
    for (pugi::xml_node node : document.child("Teachers_Timetable").children(name))
        count += node.type() == pugi::node_element;
    return count;
}

bool hasNonAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return true;
    return false;
}

std::string generate(const std::string& file, const std::vector<std::string>& args)
{
    std::string path = cliTestFolder() + file;
    std::vector<std::string> all = args;
    all.push_back("--output");
    all.push_back(path);
    programResult result = runProgram(HORATAB_GEN_BIN, all);
    EXPECT_EQ(result.status, 0) << result.err;
    return path;
}

TEST(ExampleTimetableTest, SchoolXmlHasTheAdvertisedShape)
{
    std::string path = std::string(HORATAB_EXAMPLES_DIR) + "/school.xml";
    timeTable model;
    std::string reason;
    ASSERT_TRUE(model.parse(path, &reason)) << reason;
    EXPECT_EQ(model.teachers.size(), 15u);
    EXPECT_EQ(model.students.size(), 8u);
    EXPECT_EQ(elementCount(path, "Teacher"), 16u);  // one teacher spread over two elements
    EXPECT_EQ(clashCount(model), 1u);

    size_t nonAsciiTeachers = 0;
    for (auto& entry : model.teachers.map()) {
        teacher* member = entry.second;
        EXPECT_EQ(member->dayCount, 5u) << entry.first;
        EXPECT_GE(member->hourCount, 1u) << entry.first;
        EXPECT_LE(member->hourCount, 8u) << entry.first;
        nonAsciiTeachers += hasNonAscii(entry.first);
        EXPECT_EQ(member->days.list().front()->name, "Pondělí");
    }
    EXPECT_GT(nonAsciiTeachers, 0u);
    bool nonAsciiSubject = false;
    for (auto& entry : model.subjects.map())
        nonAsciiSubject |= hasNonAscii(entry.first);
    EXPECT_TRUE(nonAsciiSubject);
    EXPECT_GT(model.rooms.size(), 1u);

    // Groups have days of 6 to 8 hours with free periods in between.
    for (auto& entry : model.students.map()) {
        BaseMatrix<std::string> week;
        ASSERT_TRUE(model.studentsTimeSchedule(entry.second, week, INFO_SUBJECT)) << entry.first;
        EXPECT_EQ(week.colSize(), 6u);
    }
}

TEST(GeneratorTest, SameSeedSameFile)
{
    std::vector<std::string> args = {"--teachers", "12", "--groups", "6", "--seed", "42"};
    std::string first = readWhole(generate("seed42a.xml", args));
    std::string second = readWhole(generate("seed42b.xml", args));
    args[5] = "43";
    std::string other = readWhole(generate("seed43.xml", args));
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
}

TEST(GeneratorTest, EveryGroupIsTaughtAndSplitsAndClashesAppear)
{
    std::string path = generate("shaped.xml", {"--teachers", "20", "--groups", "30", "--days", "6", "--hours", "9",
                                               "--seed", "3", "--split", "2", "--clashes", "2"});
    timeTable model;
    ASSERT_TRUE(model.parse(path));
    EXPECT_EQ(model.teachers.size(), 20u);
    EXPECT_EQ(model.students.size(), 30u);
    EXPECT_EQ(elementCount(path, "Teacher"), 22u);
    EXPECT_EQ(clashCount(model), 2u);
    for (auto& entry : model.teachers.map()) {
        EXPECT_EQ(entry.second->dayCount, 6u);
        EXPECT_LE(entry.second->hourCount, 9u);
    }
    EXPECT_GT(model.subjects.size(), 3u);
    EXPECT_GT(model.rooms.size(), 3u);
}

TEST(GeneratorTest, ScarceTeachersStillTeachEveryGroup)
{
    std::string path = generate("scarce.xml", {"--teachers", "2", "--groups", "9", "--days", "1", "--hours", "5"});
    timeTable model;
    ASSERT_TRUE(model.parse(path));
    EXPECT_EQ(model.students.size(), 9u);

    programResult impossible =
        runProgram(HORATAB_GEN_BIN, {"--teachers", "1", "--groups", "6", "--days", "1", "--hours", "5"});
    EXPECT_EQ(impossible.status, 1);
    EXPECT_EQ(impossible.out, "");
    EXPECT_EQ(impossible.err, "horatab-gen-timetable: the teachers have fewer hours than there are groups\n");
}

TEST(GeneratorTest, BadOptionsAreRefused)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--teachers", "x"}, {"--days", "8"}, {"--groups", "-1"}, {"--nonsense"}}) {
        programResult result = runProgram(HORATAB_GEN_BIN, args);
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
    }
}

}  // namespace
