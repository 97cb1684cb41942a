// The timetable bridge: loading, schedule dictionaries (columns keyed by their
// heading, slashes turned into line breaks), names that are not valid UTF-8
// and the spreadsheet font.
#include "app/bridge/vorObjWrapper.h"
#include "support.h"

#include <sys/resource.h>
#include "timetable/timeTable.h"

namespace {

struct Bridge : testing::Test
{
    TempFolder folder;
    QStringList logLines;
    vorObjWrapper bridge{[this](const QString& line) { logLines.append(line); }};
};

QStringList mondayOf(const std::optional<ScheduleDictionary>& schedule)
{
    return schedule ? schedule->value("Mo") : QStringList();
}

}  // namespace

// The file's path is not ASCII; a name of the other kind has no week.
TEST_F(Bridge, FileWithANonAsciiPathAndNamesOfTheOtherKind)
{
    ASSERT_TRUE(
        bridge.loadVorTeacherXML(folder.write("rozvrh učitelů.xml", appData("two_teachers.xml"))));
    EXPECT_TRUE(bridge.teacherTimeSchedule("Novak"));
    EXPECT_FALSE(bridge.teacherTimeSchedule("1A"));
    EXPECT_FALSE(bridge.studentsTimeSchedule("Novak"));
}

TEST_F(Bridge, DuplicateDayNamesLeaveOneKeyWithTheLaterDay)
{
    ASSERT_TRUE(bridge.loadVorTeacherXML(folder.copy("duplicate_days.xml")));
    const std::optional<ScheduleDictionary> dictionary = bridge.teacherTimeSchedule("T");
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->size(), 3);
    EXPECT_EQ(dictionary->value("headerRow"), (QStringList{"hour\\day", "Monday", "Monday"}));
    EXPECT_EQ(dictionary->value("Monday"),
              QStringList{"1\n2A \n Late"});  // a slash in a name breaks the line too
}

// Names that are not valid UTF-8 are shown with replacement characters; a
// valid name keeps its exact text and the others get suffixes.
TEST_F(Bridge, NamesThatAreNotUtf8AreAcceptedBack)
{
    ASSERT_TRUE(bridge.loadVorTeacherXML(folder.copy("latin1_names.xml")));
    const QString teacher = "Nov\uFFFDk", group = "A\uFFFD";
    EXPECT_EQ(bridge.teachers(), (QStringList{teacher, teacher + " (2)"}));
    EXPECT_EQ(mondayOf(bridge.teacherTimeSchedule(teacher)).size(), 3);
    EXPECT_EQ(mondayOf(bridge.teacherTimeSchedule(teacher + " (2)")), QStringList{"B \n X"});

    const QStringList groups{group + " (2)", group + " (3)", group, "B"};
    EXPECT_EQ(bridge.students(), groups);
    const QStringList cells[] = {{"M", "", ""}, {"", "P", ""}, {"", "", "R"}, {"X"}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(mondayOf(bridge.studentsTimeSchedule(groups.at(i))), cells[i]) << i;
}

TEST_F(Bridge, DefaultFontPassesNothingOthersAreLoggedAndTruncated)
{
    // A row without a log line passes no font on.
    const struct
    {
        const char* family;
        double points;
        const char* log;
        int size;
    } rows[] = {
        {"Calibri", 11.0, nullptr, 11},
        {"Calibri", 12.0, "SetFont Calibri 12", 12},
        {"DejaVu Serif", 12.7, "SetFont DejaVu Serif 13", 12},
        {"Źródło", 9.5, "SetFont Źródło 10", 9},
    };
    for (auto row : rows) {
        SCOPED_TRACE(row.log ? row.log : row.family);
        QStringList lines;
        vorObjWrapper fresh{[&lines](const QString& line) { lines.append(line); }};
        fresh.setExcelFont(row.family, row.points);
        EXPECT_EQ(lines, row.log ? QStringList{row.log} : QStringList());
        EXPECT_EQ(fresh.vorConverter()->fontChosen, row.log != nullptr);
        EXPECT_EQ(fresh.vorConverter()->fontName, row.family);
        EXPECT_EQ(fresh.vorConverter()->fontSize, row.size);
    }
    bridge.setExcelFont("Calibri", 14.0);
    bridge.setExcelFont("Calibri", 11.0);  // the default later keeps the earlier choice
    EXPECT_TRUE(bridge.vorConverter()->fontChosen);
    EXPECT_EQ(bridge.vorConverter()->fontSize, 14);
    EXPECT_EQ(logLines, QStringList{"SetFont Calibri 14"});
}

// A small file can describe a week larger than memory: the window gets no
// table and a log line instead of a crash.
TEST_F(Bridge, ScheduleLargerThanMemoryIsRefusedNotFatal)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not apply under AddressSanitizer";
#else
    QByteArray xml = "<Teachers_Timetable><Teacher name='Wide'><Day name='Long'>";
    for (int h = 0; h < 20000; ++h)
        xml += "<H/>";
    xml += "</Day>";
    for (int d = 0; d < 20000; ++d)
        xml += "<D/>";
    ASSERT_TRUE(bridge.loadVorTeacherXML(
        folder.write("wide.xml", xml + "</Teacher></Teachers_Timetable>")));

    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &original), 0);
    rlimit low = original;
    low.rlim_cur = rlim_t{2} << 30;  // 4e8 cells need far more than 2 GiB
    ASSERT_EQ(setrlimit(RLIMIT_AS, &low), 0);
    const bool refused = !bridge.teacherTimeSchedule("Wide").has_value();
    setrlimit(RLIMIT_AS, &original);

    EXPECT_TRUE(refused);
    ASSERT_FALSE(logLines.isEmpty());
    EXPECT_EQ(logLines.back(), "not enough memory for the timetable of Wide");
#endif
}
