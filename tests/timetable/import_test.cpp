#include "timetable/timeTable.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "tempFiles.h"

namespace {

// Loads `xml` as pugixml would load a file, then reads it into `model`.
void readInto(timeTable& model, const std::string& xml)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(xml.c_str())) << xml;
    EXPECT_TRUE(model.parse(document));
}

std::vector<std::string> dayNames(const teacher* owner)
{
    std::vector<std::string> names;
    for (const teacherDay* day : owner->days.list())
        names.push_back(day->name);
    return names;
}

std::vector<std::string> keys(vorMapPtr<namedObjects<std::string>>& registry)
{
    std::vector<std::string> names;
    for (auto& entry : registry.map())
        names.push_back(entry.first);
    return names;
}

const hour* onlyHour(timeTable& model, const std::string& teacherName)
{
    teacher* owner = model.teachers.find(teacherName);
    if (!owner || owner->days.size() != 1 || owner->days.list().front()->hours.size() != 1)
        return nullptr;
    return owner->days.list().front()->hours.list().front();
}

TEST(ImportTest, NewTimetableIsEmptyWithDefaultFont)
{
    timeTable model;
    EXPECT_EQ(model.teachers.size(), 0u);
    EXPECT_EQ(model.students.size(), 0u);
    EXPECT_EQ(model.subjects.size(), 0u);
    EXPECT_EQ(model.rooms.size(), 0u);
    EXPECT_FALSE(model.fontChosen);
    EXPECT_EQ(model.fontName, "Calibri");
    EXPECT_EQ(model.fontSize, 11);
    model.setFontAndSize("Liberation Serif", 14);
    EXPECT_TRUE(model.fontChosen);
    EXPECT_EQ(model.fontName, "Liberation Serif");
    EXPECT_EQ(model.fontSize, 14);
}

TEST(ImportTest, TeachersAreListedInByteOrder)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable><T name='alpha'/><T name='\xC5\xA0imek'/><T name='Zeta'/>"
                    "<T name='ab'/><T name='abc'/></Teachers_Timetable>");
    std::vector<std::string> names;
    for (auto& entry : model.teachers.map())
        names.push_back(entry.first);
    EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "ab", "abc", "alpha", "\xC5\xA0imek"}));
}

TEST(ImportTest, TeachersOfOneNameAreMergedWithDaysInDocumentOrder)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable>"
                    "<T name='A'><D name='1'/><D name='2'/><D name='3'/><D name='4'/><D name='5'/></T>"
                    "<T name='B'><D name='x'/></T>"
                    "<T name='A'><D name='6'><H name='h'/></D><D name='7'/></T>"
                    "</Teachers_Timetable>");
    ASSERT_EQ(model.teachers.size(), 2u);
    teacher* a = model.teachers.find("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->dayCount, 7u);
    EXPECT_EQ(a->hourCount, 1u);
    EXPECT_EQ(dayNames(a), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
}

TEST(ImportTest, FixSizeFindsTheFirstLongestDay)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable><T name='A'>"
                    "<D name='d1'><H/><H/><H/></D>"
                    "<D name='d2'><H/><H/><H/><H/><H/><H/></D>"
                    "<D name='d3'><H/><H/><H/><H/><H/><H/></D>"
                    "</T></Teachers_Timetable>");
    teacher* a = model.teachers.find("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->dayCount, 3u);
    EXPECT_EQ(a->hourCount, 6u);
    ASSERT_NE(a->longestDay, nullptr);
    EXPECT_EQ(a->longestDay->name, "d2");
}

TEST(ImportTest, SizesCoverEveryElementOfATeacher)
{
    // The longest day lies in the second of three elements, and a later
    // equally long day does not replace it.
    timeTable model;
    readInto(model, "<Teachers_Timetable>"
                    "<T name='A'><D name='d1'><H/><H/></D></T>"
                    "<T name='A'><D name='d2'><H/><H/><H/><H/></D></T>"
                    "<T name='A'><D name='d3'><H/><H/><H/><H/></D><D name='d4'/></T>"
                    "</Teachers_Timetable>");
    teacher* a = model.teachers.find("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->dayCount, 4u);
    EXPECT_EQ(a->hourCount, 4u);
    ASSERT_NE(a->longestDay, nullptr);
    EXPECT_EQ(a->longestDay->name, "d2");

    // Days added outside the import, without fixSize, are counted at the
    // teacher's next element.
    teacherDay* longer = a->addDay("d5");
    for (int i = 0; i < 5; ++i)
        longer->addhour("h");
    readInto(model, "<Teachers_Timetable><T name='A'><D name='d6'/></T></Teachers_Timetable>");
    EXPECT_EQ(a->dayCount, 6u);
    EXPECT_EQ(a->hourCount, 5u);
    EXPECT_EQ(a->longestDay, longer);
}

TEST(ImportTest, TeachersWithoutHoursKeepZeroCounts)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable><T name='noDays'/><T name='emptyDays'><D name='Mo'/><D name='Tu'/></T>"
                    "</Teachers_Timetable>");
    teacher* noDays = model.teachers.find("noDays");
    teacher* emptyDays = model.teachers.find("emptyDays");
    ASSERT_NE(noDays, nullptr);
    ASSERT_NE(emptyDays, nullptr);
    EXPECT_EQ(noDays->dayCount, 0u);
    EXPECT_EQ(noDays->hourCount, 0u);
    EXPECT_EQ(noDays->longestDay, nullptr);
    EXPECT_EQ(emptyDays->dayCount, 2u);
    EXPECT_EQ(emptyDays->hourCount, 0u);
    EXPECT_EQ(emptyDays->longestDay, nullptr);
}

TEST(ImportTest, OnlyTheFirstDetailOfEachNameCounts)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable><T name='A'><D name='Mo'><H name='1'>"
                    "<Room name='R1'/><Students name='1A'/><Note name='ignored'/><Students name='2B'/>"
                    "<Subject name='Math'/><subject name='lower case'/><Subject name='Art'/><Room name='R2'/>"
                    "</H></D></T></Teachers_Timetable>");
    const hour* slot = onlyHour(model, "A");
    ASSERT_NE(slot, nullptr);
    ASSERT_NE(slot->students, nullptr);
    ASSERT_NE(slot->subject, nullptr);
    ASSERT_NE(slot->room, nullptr);
    EXPECT_EQ(slot->students->name, "1A");
    EXPECT_EQ(slot->subject->name, "Math");
    EXPECT_EQ(slot->room->name, "R1");
    EXPECT_EQ(keys(model.students), std::vector<std::string>{"1A"});
    EXPECT_EQ(keys(model.subjects), std::vector<std::string>{"Math"});
    EXPECT_EQ(keys(model.rooms), std::vector<std::string>{"R1"});
}

TEST(ImportTest, MissingDetailsAndNamesReadAsAbsentOrEmpty)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable>"
                    "<T name='A'><D name='Mo'><H name='1'><Subject name='Math'/></H></D></T>"
                    "<T><D><H><Students/></H></D></T>"
                    "</Teachers_Timetable>");
    const hour* subjectOnly = onlyHour(model, "A");
    ASSERT_NE(subjectOnly, nullptr);
    EXPECT_EQ(subjectOnly->students, nullptr);
    EXPECT_EQ(subjectOnly->room, nullptr);
    ASSERT_NE(subjectOnly->subject, nullptr);

    const hour* unnamed = onlyHour(model, "");
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->name, "");
    EXPECT_EQ(model.teachers.find("")->days.list().front()->name, "");
    ASSERT_NE(unnamed->students, nullptr);
    EXPECT_EQ(unnamed->students, model.students.find(""));
}

TEST(ImportTest, OneGroupObjectForEveryHourThatNamesIt)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable>"
                    "<T name='A'><D name='Mo'><H name='1'><Students name='1A'/></H></D></T>"
                    "<T name='B'><D name='Mo'><H name='1'><Students name='1A'/></H></D></T>"
                    "</Teachers_Timetable>");
    EXPECT_EQ(model.students.size(), 1u);
    ASSERT_NE(onlyHour(model, "A"), nullptr);
    ASSERT_NE(onlyHour(model, "B"), nullptr);
    EXPECT_EQ(onlyHour(model, "A")->students, onlyHour(model, "B")->students);
    EXPECT_EQ(onlyHour(model, "A")->students, model.students.find("1A"));
}

TEST(ImportTest, NonElementNodesOnLevelsTwoToFourBecomeUnnamedObjects)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable>"
                    "  loose text  "
                    "<T name='A'><![CDATA[a day]]><D name='Mo'>an hour<H name='1'/></D></T>"
                    "<!-- comment --><?pi data?>"
                    "</Teachers_Timetable>");
    ASSERT_EQ(model.teachers.size(), 2u);
    teacher* unnamed = model.teachers.find("");
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->dayCount, 0u);

    teacher* a = model.teachers.find("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(dayNames(a), (std::vector<std::string>{"", "Mo"}));
    const teacherDay* monday = a->days.list().back();
    ASSERT_EQ(monday->hours.size(), 2u);
    EXPECT_EQ(monday->hours.list().front()->name, "");
    EXPECT_EQ(monday->hours.list().back()->name, "1");
    EXPECT_EQ(a->hourCount, 2u);
}

TEST(ImportTest, EntitiesAndCharacterReferencesAreDecoded)
{
    timeTable model;
    readInto(model, "<Teachers_Timetable><T name='R&amp;D &lt;&#x10D;&#382;&gt; &quot;x&quot;'/>"
                    "</Teachers_Timetable>");
    ASSERT_EQ(model.teachers.size(), 1u);
    EXPECT_NE(model.teachers.find("R&D <\xC4\x8D\xC5\xBE> \"x\""), nullptr);
}

TEST(ImportTest, OtherRootsLoadAsEmpty)
{
    for (const char* xml : {"<teachers_timetable><T name='A'/></teachers_timetable>",
                            "<Timetable><Teachers_Timetable><T name='A'/></Teachers_Timetable></Timetable>",
                            "<Teachers_Timetable/>"}) {
        timeTable model;
        readInto(model, xml);
        EXPECT_EQ(model.teachers.size(), 0u) << xml;
    }
}

TEST(ImportTest, SecondFileAddsToTheFirst)
{
    std::string first = writeTestFile("first.xml", "<Teachers_Timetable><T name='A'><D name='Mo'><H name='1'>"
                                                   "<Students name='1A'/><Room name='R1'/></H></D></T>"
                                                   "</Teachers_Timetable>");
    std::string second = writeTestFile("second.xml", "<Teachers_Timetable><T name='A'><D name='Tu'/></T>"
                                                     "<T name='B'><D name='Mo'><H name='1'><Students name='2B'/>"
                                                     "</H></D></T></Teachers_Timetable>");
    timeTable model;
    ASSERT_TRUE(model.parse(first));
    namedObjects<std::string>* group = model.students.find("1A");
    ASSERT_TRUE(model.parse(second));
    EXPECT_EQ(model.teachers.size(), 2u);
    EXPECT_EQ(model.students.find("1A"), group);
    EXPECT_EQ(keys(model.students), (std::vector<std::string>{"1A", "2B"}));
    EXPECT_EQ(keys(model.rooms), std::vector<std::string>{"R1"});
    EXPECT_EQ(dayNames(model.teachers.find("A")), (std::vector<std::string>{"Mo", "Tu"}));
    EXPECT_EQ(model.teachers.find("A")->dayCount, 2u);
}

TEST(ImportTest, FailedLoadLeavesTheModelUntouched)
{
    std::string good = writeTestFile("good.xml", "<Teachers_Timetable><T name='A'><D name='Mo'><H name='1'>"
                                                 "<Students name='1A'/></H></D></T></Teachers_Timetable>");
    // Well-formed up to the error: a partial tree must not reach the model.
    std::string broken = writeTestFile("broken.xml", "<Teachers_Timetable><T name='A'><D name='Tu'/></T>"
                                                     "<T name='B'><D name='Mo'><H><Students name='9Z'/></H>"
                                                     "</D></X></Teachers_Timetable>");
    timeTable model;
    ASSERT_TRUE(model.parse(good));
    std::string reason;
    EXPECT_FALSE(model.parse(broken, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(model.parse(testFolder() + "missing.xml"));
    EXPECT_EQ(model.teachers.size(), 1u);
    EXPECT_EQ(model.teachers.find("A")->dayCount, 1u);
    EXPECT_EQ(keys(model.students), std::vector<std::string>{"1A"});
}

}  // namespace
