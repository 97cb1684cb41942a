// Schedule matrices of a teacher and the merged week of a student group.

#include "timetableTestSupport.h"

namespace {

typedef BaseMatrix<std::string> matrix;

// The matrix rows joined by '|', elements by ','.
std::string text(const matrix& m)
{
    std::string out;
    for (size_t i = 0; i < m.values.size(); ++i)
        out += (i % m.colSize() ? "," : i ? "|" : "") + m.values[i];
    return out;
}

// Adds a teacher with the named days of `hours` hours named "<day><n>".
teacher* addTeacher(timeTable& model, const std::string& name, const names& days, int hours)
{
    teacher* owner = model.insertTeacher(name);
    for (const std::string& day : days) {
        teacherDay* added = owner->addDay(day);
        for (int h = 1; h <= hours; ++h)
            added->addhour(day + std::to_string(h));
    }
    owner->fixSize();
    return owner;
}

// Fills hour `h` of day `d` (both from 1); a null name leaves that fact absent.
hour* teach(timeTable& model, teacher* owner, int d, int h, const char* group,
            const char* subject = nullptr, const char* room = nullptr)
{
    hour* slot =
        *std::next((*std::next(owner->days.list().begin(), d - 1))->hours.list().begin(), h - 1);
    slot->students = nullptr;
    slot->groups.clear();
    if (group)
        slot->addStudents(model.insertStudents(group));
    slot->subject = subject ? model.insertSubject(subject) : nullptr;
    slot->room = room ? model.insertRoom(room) : nullptr;
    return slot;
}

TEST(TeacherScheduleTest, LayoutHeadingsAndDutiesWithoutAGroup)
{
    timeTable model;
    readInto(model, dataFile("one_teacher.xml"));
    matrix m;
    model.teachers.find("T")->timeSchedule(m, INFO_STUDENTS | INFO_SUBJECT);
    // Hour names from the first longest day; days placed by position, not
    // name; a duty shows the facts it has.
    EXPECT_EQ(text(m), "hour\\day,Mo,Tu,Tu|Tu1,,Duty,|Tu2,1A / Math,,|x3,,,2B / Art");
    model.teachers.find("T")->timeSchedule(m, INFO_STUDENTS | INFO_ROOM);
    EXPECT_EQ(text(m), "hour\\day,Mo,Tu,Tu|Tu1,,Hall,|Tu2,1A,,|x3,,,2B");
}

TEST(TeacherScheduleTest, CellTextForEveryFlagCombination)
{
    timeTable model;
    teacher* t = addTeacher(model, "T", {"Mo"}, 3);
    teach(model, t, 1, 1, "1A", "Math", "R2");
    const char* expected[16] = {
        "",
        "T",
        "1A",
        "1A / T",
        "Math",
        "Math / T",
        "1A / Math",
        "1A / Math / T",
        "R2",
        "T / R2",
        "1A / R2",
        "1A / T / R2",
        "Math / R2",
        "Math / T / R2",
        "1A / Math / R2",
        "1A / Math / T / R2",
    };
    for (uint32_t flags = 0; flags < 16; ++flags) {
        matrix m;
        t->timeSchedule(m, flags);
        EXPECT_EQ(m(1, 1), expected[flags]) << "flags " << flags;
    }

    // Absent facts add no separator; present facts with empty names do.
    teacher* unnamed = addTeacher(model, "", {"Mo"}, 1);
    std::string cells;
    unnamed->fillInfos(teach(model, t, 1, 2, "1A", nullptr, "R2"), cells, INFO_TEACHER | INFO_ROOM);
    EXPECT_EQ(cells, " / R2");
    cells.clear();
    t->fillInfos(teach(model, t, 1, 3, "1A"), cells, INFO_SUBJECT | INFO_ROOM);
    EXPECT_EQ(cells, "");
    t->fillInfos(teach(model, unnamed, 1, 1, "", "", ""), cells,
                 INFO_STUDENTS | INFO_SUBJECT | INFO_ROOM);
    EXPECT_EQ(cells, " /  / ");
    cells.clear();
    t->fillInfos(nullptr, cells, 15);
    EXPECT_EQ(cells, "");

    // A lesson taught to several groups names them all, in file order.
    hour* combined = teach(model, t, 1, 2, "5B", "Math");
    combined->addStudents(model.insertStudents("5A"));
    combined->addStudents(model.insertStudents("5B"));
    cells.clear();
    t->fillInfos(combined, cells, INFO_STUDENTS | INFO_SUBJECT);
    EXPECT_EQ(cells, "5B, 5A / Math");
}

TEST(TeacherScheduleTest, TeachersWithoutHoursAndStaleCountsStayInBounds)
{
    timeTable model;
    matrix m(5, 5);
    m = std::string("stale");
    addTeacher(model, "Idle", {"Mo", "Tu"}, 0)->timeSchedule(m, 15);
    EXPECT_EQ(text(m), "hour\\day,Mo,Tu");
    addTeacher(model, "NoDays", {}, 0)->timeSchedule(m, 15);
    EXPECT_EQ(text(m), "hour\\day");

    // Days added after the last fixSize are left out, not written past the
    // matrix; so are positions outside a caller's small matrix.
    teacher* t = addTeacher(model, "T", {"Mo", "Tu"}, 2);
    teach(model, t, 2, 2, "1A");
    for (int h = 0; h < 4; ++h)
        t->addDay("We")->addhour("h")->students = model.students.find("1A");
    t->timeSchedule(m, INFO_STUDENTS);
    EXPECT_EQ(text(m), "hour\\day,Mo,Tu|Mo1,,|Mo2,,1A");
    t->initMatrix(m, 1, 1);
    EXPECT_EQ(text(m), "hour\\day,Mo|Mo1,");
    matrix small(2, 2);
    t->update(model.students.find("1A"), small, INFO_STUDENTS);
    EXPECT_EQ(text(small), ",|,");
}

TEST(GroupScheduleTest, MergesTeachersWithHeadingsFromTheLargestWeekAndParallelLessons)
{
    // B (5 days of 6 hours) and A (6 days of 5 hours) both teach 1A; C
    // teaches 2B in the ninth hour of its only day.
    timeTable model;
    teacher* b = addTeacher(model, "B", {"bMo", "bTu", "bWe", "bTh", "bFr"}, 6);
    teacher* a = addTeacher(model, "A", {"aMo", "aTu", "aWe", "aTh", "aFr", "aSa"}, 5);
    teacher* c = addTeacher(model, "C", {"cMo"}, 9);
    teach(model, c, 1, 9, "2B", "Chem");
    teach(model, a, 6, 5, "1A", "Art", "R1");
    teach(model, a, 1, 2, "1A", "Math", "R1");
    teach(model, a, 2, 1, "2B", "Music");
    teach(model, b, 5, 6, "1A", "PE", "Gym");
    teach(model, b, 1, 2, "1A", "Bio", "Lab");

    matrix m;
    ASSERT_TRUE(model.studentsTimeSchedule("1A", m, INFO_SUBJECT | INFO_TEACHER));
    // 7 x 7: day names from A (most days), hour names from B (most hours);
    // each teacher's own positions; A and B in day 1, hour 2 both stay, in
    // name order.
    EXPECT_EQ(text(m),
              "hour\\day,aMo,aTu,aWe,aTh,aFr,aSa|bMo1,,,,,,|bMo2,Math / A\nBio / B,,,,,|bMo3,,,,,,"
              "|bMo4,,,,,,|bMo5,,,,,,Art / A|bMo6,,,,,PE / B,");
    // A parallel text that is already there, or empty, adds no line.
    ASSERT_TRUE(model.studentsTimeSchedule("1A", m, INFO_ROOM));
    EXPECT_EQ(m(2, 1), "R1\nLab");
    teach(model, b, 1, 2, "1A", "Math", "R1");
    ASSERT_TRUE(model.studentsTimeSchedule("1A", m, INFO_SUBJECT | INFO_ROOM));
    EXPECT_EQ(m(2, 1), "Math / R1");
    ASSERT_TRUE(model.studentsTimeSchedule("1A", m, INFO_STUDENTS));
    EXPECT_EQ(m(2, 1), "1A");
    ASSERT_TRUE(model.studentsTimeSchedule(model.students.find("2B"), m, INFO_SUBJECT));
    EXPECT_EQ(m.rowSize(), 10u);
    EXPECT_EQ(m(1, 2), "Music");
    EXPECT_EQ(m(9, 1), "Chem");

    // A lesson taught to 2B and 3C together is in both weeks.
    teach(model, c, 1, 1, "3C", "Choir")->addStudents(model.insertStudents("2B"));
    for (const char* group : {"2B", "3C"}) {
        ASSERT_TRUE(model.studentsTimeSchedule(group, m, INFO_STUDENTS | INFO_SUBJECT)) << group;
        EXPECT_EQ(m(1, 1), "3C, 2B / Choir") << group;
    }

    // The index of each group's lessons merges alike.
    timeTable::groupLessonsIndex index = model.lessonsOfAllGroups();
    for (auto& entry : model.students.map()) {
        matrix scanned, indexed;
        ASSERT_TRUE(model.studentsTimeSchedule(entry.second, scanned, 15));
        ASSERT_TRUE(model.studentsTimeSchedule(entry.second, index[entry.second], indexed, 15));
        EXPECT_EQ(text(scanned), text(indexed));
    }

    // An unknown group leaves the caller's matrix untouched.
    m = std::string("mine");
    namedObjects<std::string> untaught("untaught");
    for (const char* unknown : {"9Z", "A", "1a"})
        EXPECT_FALSE(model.studentsTimeSchedule(unknown, m, INFO_SUBJECT)) << unknown;
    EXPECT_FALSE(model.studentsTimeSchedule(nullptr, m, INFO_SUBJECT));
    EXPECT_FALSE(model.studentsTimeSchedule(&untaught, m, INFO_SUBJECT));
    EXPECT_FALSE(model.studentsTimeSchedule(model.students.find("1A"), timeTable::groupWeekSource(),
                                            m, INFO_SUBJECT));
    EXPECT_EQ(m.rowSize() * m.colSize(), 20u);
    EXPECT_EQ(m.values, names(20, "mine"));
}

}  // namespace
