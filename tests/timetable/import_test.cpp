// How the elements of a timetable file become teachers, days and hours.

#include "timetableTestSupport.h"

namespace {

TEST(ImportTest, TeachersMergedByNameWithDaysInDocumentOrderAndTheFirstLongestDay)
{
    timeTable model;
    readInto(model, dataFile("merged_teachers.xml"));
    teacher* a = model.teachers.find("A");
    EXPECT_EQ(dayNames(a), (names{"d1", "d2", "d3", "d4"}));
    EXPECT_EQ(a->dayCount, 4u);
    EXPECT_EQ(a->hourCount, 4u);
    ASSERT_NE(a->longestDay, nullptr);
    EXPECT_EQ(a->longestDay->name, "d2");
}

TEST(ImportTest, EveryGroupOfAnHourOnceAndOnlyTheFirstSubjectAndRoom)
{
    timeTable model;
    readInto(model, dataFile("hour_children.xml"));
    const hour* slot = firstHour(model.teachers.find("A"));
    ASSERT_TRUE(slot->students);
    ASSERT_TRUE(slot->subject);
    ASSERT_TRUE(slot->room);
    EXPECT_EQ(slot->students->name, "1A");
    EXPECT_EQ(slot->subject->name, "Math");
    EXPECT_EQ(slot->room->name, "R1");
    ASSERT_EQ(slot->groups.size(), 2u);
    EXPECT_EQ(slot->groups[0]->name, "1A");
    EXPECT_EQ(slot->groups[1]->name, "2B");
    EXPECT_EQ(keys(model.subjects), names{"Math"});
    EXPECT_EQ(keys(model.rooms), names{"R1"});
    // Every hour naming a group points at its one registry object; missing
    // name attributes read as empty names.
    const hour* other = firstHour(model.teachers.find("B"));
    EXPECT_EQ(other->students, slot->students);
    EXPECT_EQ(other->subject, nullptr);
    EXPECT_EQ(other->room, nullptr);
    EXPECT_EQ(other->name, "");
    EXPECT_EQ(keys(model.students), (names{"", "1A", "2B"}));

    // A long list keeps each group once, in file order, past its first ones.
    std::string many = "<Teachers_Timetable><T name='C'><D><H>";
    for (int i = 0; i < 40; ++i)
        many += "<Students name='g" + std::to_string(i % 30) + "'/>";
    readInto(model, many + "</H></D></T></Teachers_Timetable>");
    const hour* combined = firstHour(model.teachers.find("C"));
    ASSERT_EQ(combined->groups.size(), 30u);
    for (size_t i = 0; i < 30; ++i)
        EXPECT_EQ(combined->groups[i]->name, "g" + std::to_string(i));
    EXPECT_EQ(firstHour(model.teachers.find(""))->students, model.students.find(""));
}

TEST(ImportTest, NonElementNodesOnLevelsTwoToFourBecomeUnnamedObjectsAndEntitiesAreDecoded)
{
    timeTable model;
    readInto(model, dataFile("other_nodes.xml"));
    EXPECT_EQ(keys(model.teachers), (names{"", "A", "R&D <\xC4\x8D\xC5\xBE> \"x\""}));
    EXPECT_EQ(model.teachers.find("")->dayCount, 0u);
    teacher* a = model.teachers.find("A");
    EXPECT_EQ(dayNames(a), (names{"", "Mo"}));
    EXPECT_EQ(a->hourCount, 2u);
    EXPECT_EQ(a->days.list().back()->hours.list().front()->name, "");

    for (const char* xml :
         {"<teachers_timetable><T name='B'/></teachers_timetable>",
          "<Timetable><Teachers_Timetable><T name='B'/></Teachers_Timetable></Timetable>"})
        readInto(model, xml);
    EXPECT_EQ(model.teachers.size(), 3u) << "other roots load nothing";
}

TEST(ImportTest, ASecondFileAddsToTheFirstAndAFailedOneChangesNothing)
{
    timeTable model;
    ASSERT_TRUE(model.parse(dataPath("first_file.xml")));
    namedObjects<std::string>* group = model.students.find("1A");
    ASSERT_TRUE(model.parse(dataPath("second_file.xml")));
    // Well-formed up to the error: the partial tree must not reach the model.
    EXPECT_FALSE(model.parse(dataPath("broken_file.xml")));
    EXPECT_FALSE(model.parse(support::programScratch().path() + "missing.xml"));

    EXPECT_EQ(keys(model.teachers), (names{"A", "B"}));
    EXPECT_EQ(model.students.find("1A"), group);
    EXPECT_EQ(keys(model.students), (names{"1A", "2B"}));
    EXPECT_EQ(keys(model.rooms), names{"R1"});
    EXPECT_EQ(dayNames(model.teachers.find("A")), (names{"Mo", "Tu"}));
    EXPECT_EQ(model.teachers.find("A")->dayCount, 2u);
}

}  // namespace
