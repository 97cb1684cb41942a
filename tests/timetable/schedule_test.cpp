#include "timetable/timeTable.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

typedef BaseMatrix<std::string> matrix;

std::vector<std::string> row(const matrix& m, uint32_t r)
{
    std::vector<std::string> out;
    for (uint32_t c = 0; c < m.colSize(); ++c)
        out.push_back(m(r, c));
    return out;
}

std::vector<std::string> column(const matrix& m, uint32_t c)
{
    std::vector<std::string> out;
    for (uint32_t r = 0; r < m.rowSize(); ++r)
        out.push_back(m(r, c));
    return out;
}

// Adds `count` days to a teacher, each with `hours` hours named "<day><n>".
void addDays(teacher* owner, const std::vector<std::string>& names, size_t hours)
{
    for (const std::string& name : names) {
        teacherDay* day = owner->addDay(name);
        for (size_t h = 1; h <= hours; ++h)
            day->addhour(name + std::to_string(h));
    }
    owner->fixSize();
}

hour* hourAt(teacher* owner, size_t dayPosition, size_t hourPosition)
{
    auto day = owner->days.list().begin();
    std::advance(day, dayPosition - 1);
    auto slot = (*day)->hours.list().begin();
    std::advance(slot, hourPosition - 1);
    return *slot;
}

void teach(timeTable& model, hour* slot, const char* group, const char* subject = nullptr,
           const char* room = nullptr)
{
    if (group)
        slot->students = model.insertStudents(group);
    if (subject)
        slot->subject = model.insertSubject(subject);
    if (room)
        slot->room = model.insertRoom(room);
}

TEST(TeacherScheduleTest, LayoutAndHeadings)
{
    timeTable model;
    teacher* t = model.insertTeacher("T");
    teacherDay* first = t->addDay("Mo");
    for (int h = 1; h <= 7; ++h)
        first->addhour("short" + std::to_string(h));
    for (const char* name : {"Tu", "We", "Th", "Fr"}) {
        teacherDay* day = t->addDay(name);
        for (int h = 1; h <= 8; ++h)
            day->addhour(std::string(name) + std::to_string(h));
    }
    t->fixSize();

    matrix m;
    t->timeSchedule(m, INFO_STUDENTS | INFO_SUBJECT);
    ASSERT_EQ(m.rowSize(), 9u);
    ASSERT_EQ(m.colSize(), 6u);
    EXPECT_EQ(m(0, 0), "hour\\day");
    EXPECT_EQ(row(m, 0), (std::vector<std::string>{"hour\\day", "Mo", "Tu", "We", "Th", "Fr"}));
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"hour\\day", "Tu1", "Tu2", "Tu3", "Tu4", "Tu5", "Tu6",
                                                      "Tu7", "Tu8"}));
    // No hour has a group, so the body stays empty.
    for (uint32_t r = 1; r < m.rowSize(); ++r) {
        for (uint32_t c = 1; c < m.colSize(); ++c) {
            EXPECT_EQ(m(r, c), "");
        }
    }
}

TEST(TeacherScheduleTest, CellTextForEveryFlagCombination)
{
    timeTable model;
    teacher* t = model.insertTeacher("T");
    addDays(t, {"Mo"}, 1);
    teach(model, hourAt(t, 1, 1), "1A", "Math", "R2");

    const char* expected[16] = {
        "",                   "T",           "1A",          "1A / T",
        "Math",               "Math / T",    "1A / Math",   "1A / Math / T",
        "R2",                 "T / R2",      "1A / R2",     "1A / T / R2",
        "Math / R2",          "Math / T / R2", "1A / Math / R2", "1A / Math / T / R2",
    };
    for (uint32_t flags = 0; flags < 16; ++flags) {
        matrix m;
        t->timeSchedule(m, flags);
        EXPECT_EQ(m(1, 1), expected[flags]) << "flags " << flags;

        std::string text;
        t->fillInfos(hourAt(t, 1, 1), text, flags);
        EXPECT_EQ(text, expected[flags]) << "flags " << flags;
    }
}

TEST(TeacherScheduleTest, AbsentPartsAddNoSeparator)
{
    timeTable model;
    teacher* unnamed = model.insertTeacher("");
    addDays(unnamed, {"Mo"}, 3);
    teach(model, hourAt(unnamed, 1, 1), "1A", nullptr, "R2");
    teach(model, hourAt(unnamed, 1, 2), "1A");
    teach(model, hourAt(unnamed, 1, 3), "", "", "");

    std::string text;
    unnamed->fillInfos(hourAt(unnamed, 1, 1), text, INFO_TEACHER | INFO_ROOM);
    EXPECT_EQ(text, " / R2");
    text.clear();
    unnamed->fillInfos(hourAt(unnamed, 1, 2), text, INFO_SUBJECT | INFO_ROOM);
    EXPECT_EQ(text, "");
    text.clear();
    unnamed->fillInfos(hourAt(unnamed, 1, 3), text, INFO_STUDENTS | INFO_SUBJECT | INFO_ROOM);
    EXPECT_EQ(text, " /  / ");
    text.clear();
    unnamed->fillInfos(nullptr, text, 15);
    EXPECT_EQ(text, "");
}

TEST(TeacherScheduleTest, HoursWithoutAGroupStayEmpty)
{
    timeTable model;
    teacher* t = model.insertTeacher("T");
    addDays(t, {"Mo", "Tu"}, 3);
    teach(model, hourAt(t, 1, 2), nullptr, "Supervision", "Hall");
    teach(model, hourAt(t, 2, 3), "2B", "Art", "R7");

    matrix m;
    t->timeSchedule(m, INFO_SUBJECT | INFO_ROOM);
    EXPECT_EQ(m(2, 1), "");
    EXPECT_EQ(m(3, 2), "Art / R7");
    int filled = 0;
    for (uint32_t r = 1; r < m.rowSize(); ++r)
        for (uint32_t c = 1; c < m.colSize(); ++c)
            filled += !m(r, c).empty();
    EXPECT_EQ(filled, 1);
}

TEST(TeacherScheduleTest, PositionsNotNamesPlaceHours)
{
    timeTable model;
    teacher* t = model.insertTeacher("T");
    teacherDay* first = t->addDay("Same");
    first->addhour("x");
    teacherDay* second = t->addDay("Same");
    second->addhour("x");
    second->addhour("x");
    hour* third = second->addhour("x");
    t->fixSize();
    teach(model, third, "3C", "Bio");

    matrix m;
    t->timeSchedule(m, INFO_STUDENTS);
    ASSERT_EQ(m.rowSize(), 4u);
    ASSERT_EQ(m.colSize(), 3u);
    EXPECT_EQ(m(3, 2), "3C");
    EXPECT_EQ(row(m, 0), (std::vector<std::string>{"hour\\day", "Same", "Same"}));
}

TEST(TeacherScheduleTest, TeacherWithoutHoursShowsOnlyDayHeadings)
{
    timeTable model;
    teacher* idle = model.insertTeacher("Idle");
    addDays(idle, {"Mo", "Tu", "We"}, 0);
    matrix m(5, 5);
    m = std::string("stale");
    idle->timeSchedule(m, 15);
    EXPECT_EQ(m.rowSize(), 1u);
    EXPECT_EQ(m.colSize(), 4u);
    EXPECT_EQ(row(m, 0), (std::vector<std::string>{"hour\\day", "Mo", "Tu", "We"}));

    teacher* noDays = model.insertTeacher("NoDays");
    noDays->fixSize();
    noDays->timeSchedule(m, 15);
    EXPECT_EQ(m.values, std::vector<std::string>{"hour\\day"});
}

TEST(TeacherScheduleTest, StaleCountsAndSmallMatricesStayInBounds)
{
    timeTable model;
    teacher* t = model.insertTeacher("T");
    addDays(t, {"Mo", "Tu", "We"}, 4);
    teach(model, hourAt(t, 3, 4), "1A");

    matrix m;
    t->initMatrix(m, 1, 1);
    EXPECT_EQ(m.values, (std::vector<std::string>{"hour\\day", "Mo", "Mo1", ""}));

    // A day added after the last fixSize is left out rather than written
    // past the matrix.
    teacherDay* late = t->addDay("Th");
    for (int h = 0; h < 6; ++h)
        teach(model, late->addhour("h"), "1A");
    t->timeSchedule(m, INFO_STUDENTS);
    EXPECT_EQ(m.rowSize(), 5u);
    EXPECT_EQ(m.colSize(), 4u);
    EXPECT_EQ(m(4, 3), "1A");

    matrix small(2, 2);
    t->update(model.students.find("1A"), small, INFO_STUDENTS);
    EXPECT_EQ(small.values, std::vector<std::string>(4, ""));
}

TEST(TeacherScheduleTest, WorkOnThisClassComparesGroupObjects)
{
    timeTable model;
    teacher* t = model.insertTeacher("T");
    addDays(t, {"Mo"}, 2);
    teach(model, hourAt(t, 1, 2), "1A");
    namedObjects<std::string> lookalike("1A");
    EXPECT_TRUE(t->workOnThisClass(model.students.find("1A")));
    EXPECT_FALSE(t->workOnThisClass(&lookalike));
    EXPECT_FALSE(t->workOnThisClass(model.insertStudents("2B")));
}

// Teachers B (Monday to Friday, 6 hours) and A (Monday to Saturday, 5
// hours) both teach 1A; C teaches only 2B.
class GroupScheduleTest : public testing::Test
{
protected:
    timeTable model;
    teacher* a = nullptr;
    teacher* b = nullptr;

    void SetUp() override
    {
        b = model.insertTeacher("B");
        addDays(b, {"bMo", "bTu", "bWe", "bTh", "bFr"}, 6);
        a = model.insertTeacher("A");
        addDays(a, {"aMo", "aTu", "aWe", "aTh", "aFr", "aSa"}, 5);
        teacher* c = model.insertTeacher("C");
        addDays(c, {"cMo"}, 9);
        teach(model, hourAt(c, 1, 9), "2B", "Chem");

        teach(model, hourAt(a, 6, 5), "1A", "Art", "R1");
        teach(model, hourAt(a, 1, 2), "1A", "Math", "R1");
        teach(model, hourAt(a, 2, 1), "2B", "Music");
        teach(model, hourAt(b, 5, 6), "1A", "PE", "Gym");
        teach(model, hourAt(b, 1, 2), "1A", "Bio", "Lab");
        teach(model, hourAt(b, 3, 3), nullptr, "Duty");
    }
};

TEST_F(GroupScheduleTest, MergesTeachersWithHeadingsFromTheFirstByName)
{
    matrix m;
    ASSERT_TRUE(model.studentsTimeSchedule("1A", m, INFO_SUBJECT | INFO_TEACHER));
    ASSERT_EQ(m.rowSize(), 7u);
    ASSERT_EQ(m.colSize(), 7u);
    EXPECT_EQ(row(m, 0), (std::vector<std::string>{"hour\\day", "aMo", "aTu", "aWe", "aTh", "aFr", "aSa"}));
    EXPECT_EQ(column(m, 0), (std::vector<std::string>{"hour\\day", "aMo1", "aMo2", "aMo3", "aMo4", "aMo5", ""}));
    EXPECT_EQ(m(5, 6), "Art / A");
    EXPECT_EQ(m(6, 5), "PE / B");
    // The clash in day 1, hour 2: B sorts after A and wins.
    EXPECT_EQ(m(2, 1), "Bio / B");
    int filled = 0;
    for (uint32_t r = 1; r < m.rowSize(); ++r)
        for (uint32_t c = 1; c < m.colSize(); ++c)
            filled += !m(r, c).empty();
    EXPECT_EQ(filled, 3);
}

TEST_F(GroupScheduleTest, ByGroupObjectAndByNameAgree)
{
    matrix byName;
    matrix byGroup;
    ASSERT_TRUE(model.studentsTimeSchedule("2B", byName, INFO_SUBJECT));
    ASSERT_TRUE(model.studentsTimeSchedule(model.students.find("2B"), byGroup, INFO_SUBJECT));
    EXPECT_EQ(byName.values, byGroup.values);
    ASSERT_EQ(byName.rowSize(), 10u);
    ASSERT_EQ(byName.colSize(), 7u);
    EXPECT_EQ(byName(1, 2), "Music");
    EXPECT_EQ(byName(9, 1), "Chem");
}

TEST_F(GroupScheduleTest, UnknownGroupLeavesTheMatrixUntouched)
{
    matrix m(2, 3);
    m = std::string("mine");
    EXPECT_FALSE(model.studentsTimeSchedule("9Z", m, INFO_SUBJECT));
    EXPECT_FALSE(model.studentsTimeSchedule("A", m, INFO_SUBJECT));
    EXPECT_FALSE(model.studentsTimeSchedule(nullptr, m, INFO_SUBJECT));
    namedObjects<std::string> untaught("untaught");
    EXPECT_FALSE(model.studentsTimeSchedule(&untaught, m, INFO_SUBJECT));
    EXPECT_FALSE(model.studentsTimeSchedule(model.students.find("1A"), timeTable::teacherList(), m, INFO_SUBJECT));
    EXPECT_EQ(m.rowSize(), 2u);
    EXPECT_EQ(m.colSize(), 3u);
    EXPECT_EQ(m.values, std::vector<std::string>(6, "mine"));
}

TEST_F(GroupScheduleTest, IndexListsEachGroupsTeachersOnceInNameOrder)
{
    timeTable::groupTeachersIndex index = model.teachersOfAllGroups();
    EXPECT_EQ(index.size(), 2u);
    EXPECT_EQ(index[model.students.find("1A")], (timeTable::teacherList{a, b}));
    EXPECT_EQ(index[model.students.find("2B")], (timeTable::teacherList{a, model.teachers.find("C")}));

    for (auto& entry : model.students.map()) {
        for (uint32_t flags = 0; flags < 16; ++flags) {
            matrix scanned;
            matrix indexed;
            ASSERT_TRUE(model.studentsTimeSchedule(entry.second, scanned, flags));
            ASSERT_TRUE(model.studentsTimeSchedule(entry.second, index[entry.second], indexed, flags));
            EXPECT_EQ(scanned.values, indexed.values);
            EXPECT_EQ(scanned.colSize(), indexed.colSize());
        }
    }
}

}  // namespace
