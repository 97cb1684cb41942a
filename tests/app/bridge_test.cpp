// The timetable bridge: loading, name lists, schedule dictionaries, the
// spreadsheet font and names that are not valid UTF-8.
#include <gtest/gtest.h>

#include <QStringList>

#include "TempFolder.h"
#include "app/bridge/displayNames.h"
#include "app/bridge/vorObjWrapper.h"
#include "fixtures.h"
#include "timetable/timeTable.h"

namespace {

struct BridgeFixture : testing::Test
{
    TempFolder folder;
    QStringList logLines;
    vorObjWrapper bridge{[this](const QString& line) { logLines.append(line); }};

    void load(const QByteArray& xml)
    {
        ASSERT_TRUE(folder.valid());
        ASSERT_TRUE(bridge.loadVorTeacherXML(folder.write(QStringLiteral("t.xml"), xml)));
    }
};

const QString corner = QStringLiteral("hour\\day");

// A teacher "T" with `days` days ("D1"...) of `hours` hours, each hour
// teaching group "G" the subject "S<day><hour>".
QByteArray gridTimetable(int days, int hours)
{
    QByteArray xml = "<Teachers_Timetable><Teacher name=\"T\">";
    for (int d = 1; d <= days; ++d) {
        xml += "<Day name=\"D" + QByteArray::number(d) + "\">";
        for (int h = 1; h <= hours; ++h)
            xml += "<Hour name=\"H" + QByteArray::number(h) + "\"><Subject name=\"S" + QByteArray::number(d) +
                   QByteArray::number(h) + "\"/><Students name=\"G\"/></Hour>";
        xml += "</Day>";
    }
    return xml + "</Teacher></Teachers_Timetable>";
}

BaseMatrix<std::string> matrixOf(std::initializer_list<std::initializer_list<const char*>> rows)
{
    BaseMatrix<std::string> matrix(rows.size(), rows.begin()->size());
    uint32_t r = 0;
    for (const auto& row : rows) {
        uint32_t c = 0;
        for (const char* cell : row)
            matrix(r, c++) = cell;
        ++r;
    }
    return matrix;
}

} // namespace

TEST(ScheduleDictionary, HeaderRowKeyIsHeaderRow)
{
    EXPECT_EQ(headerRowKey(), QStringLiteral("headerRow"));
    EXPECT_EQ(vorObjWrapper::headerRowKey(), QStringLiteral("headerRow"));
}

TEST(ScheduleDictionary, ColumnsKeyedByHeadingWithSlashesAsLineBreaks)
{
    const ScheduleDictionary dictionary = timeMetrixToDictionary(matrixOf({
        {"hour\\day", "Mon", "Tue"},
        {"1", "1A / Math", "a/b/c"},
        {"2", "", "x"},
    }));
    EXPECT_EQ(dictionary.size(), 4);
    EXPECT_EQ(dictionary.value("headerRow"), (QStringList{corner, "Mon", "Tue"}));
    EXPECT_EQ(dictionary.value(corner), (QStringList{"1", "2"}));
    EXPECT_EQ(dictionary.value("Mon"), (QStringList{"1A \n Math", ""}));
    EXPECT_EQ(dictionary.value("Tue"), (QStringList{"a\nb\nc", "x"}));
}

TEST(ScheduleDictionary, RepeatedHeadingsKeepTheLaterColumn)
{
    const ScheduleDictionary repeatedDay = timeMetrixToDictionary(matrixOf({
        {"hour\\day", "Mon", "Mon"},
        {"1", "first", "second"},
    }));
    EXPECT_EQ(repeatedDay.size(), 3);
    EXPECT_EQ(repeatedDay.value("headerRow"), (QStringList{corner, "Mon", "Mon"}));
    EXPECT_EQ(repeatedDay.value("Mon"), QStringList{"second"});

    const ScheduleDictionary headingNamedHeaderRow = timeMetrixToDictionary(matrixOf({
        {"hour\\day", "headerRow"},
        {"1", "cell"},
    }));
    EXPECT_EQ(headingNamedHeaderRow.value("headerRow"), QStringList{"cell"});
}

TEST(ScheduleDictionary, MatricesWithoutCellRows)
{
    const ScheduleDictionary headingsOnly = timeMetrixToDictionary(matrixOf({{"hour\\day", "Mon"}}));
    EXPECT_EQ(headingsOnly.value("headerRow"), (QStringList{corner, "Mon"}));
    ASSERT_TRUE(headingsOnly.contains("Mon"));
    EXPECT_TRUE(headingsOnly.value("Mon").isEmpty());

    const ScheduleDictionary nothing = timeMetrixToDictionary(BaseMatrix<std::string>(0, 3));
    ASSERT_TRUE(nothing.contains("headerRow"));
    EXPECT_TRUE(nothing.value("headerRow").isEmpty());
}

TEST_F(BridgeFixture, FreshBridgeHoldsAnEmptyTimetable)
{
    ASSERT_NE(bridge.vorConverter(), nullptr);
    EXPECT_TRUE(bridge.teachers().isEmpty());
    EXPECT_TRUE(bridge.students().isEmpty());
    EXPECT_FALSE(bridge.teacherTimeSchedule("Novak").has_value());
}

TEST_F(BridgeFixture, LoadAnswersWhetherTheFileWasRead)
{
    ASSERT_TRUE(folder.valid());
    EXPECT_FALSE(bridge.loadVorTeacherXML(folder.file("missing.xml")));
    EXPECT_FALSE(bridge.loadVorTeacherXML(folder.write("bad.xml", fixtures::malformed())));
    EXPECT_TRUE(bridge.teachers().isEmpty());

    EXPECT_TRUE(bridge.loadVorTeacherXML(folder.write("other.xml", fixtures::otherRoot())));
    EXPECT_TRUE(bridge.teachers().isEmpty());

    EXPECT_TRUE(bridge.loadVorTeacherXML(folder.write("t.xml", fixtures::twoTeachers())));
    EXPECT_EQ(bridge.teachers(), (QStringList{"Adams", "Novak"}));
    EXPECT_EQ(bridge.students(), (QStringList{"1A", "2B", "3C"}));
}

TEST_F(BridgeFixture, PathsWithNonAsciiCharactersLoad)
{
    ASSERT_TRUE(folder.valid());
    const QString path = folder.write(QStringLiteral("rozvrh učitelů.xml"), fixtures::twoTeachers());
    EXPECT_TRUE(bridge.loadVorTeacherXML(path));
    EXPECT_EQ(bridge.teachers().size(), 2);
}

TEST_F(BridgeFixture, NamesFollowByteOrder)
{
    load(R"(<Teachers_Timetable>
      <Teacher name="Émile"><Day name="Mo"><Hour name="1"><Students name="b"/></Hour></Day></Teacher>
      <Teacher name="alpha"><Day name="Mo"><Hour name="1"><Students name="B"/></Hour></Day></Teacher>
      <Teacher name="Zeta"><Day name="Mo"><Hour name="1"><Students name="Ä"/></Hour></Day></Teacher>
      <Teacher name="ab"/><Teacher name="abc"/>
    </Teachers_Timetable>)");
    EXPECT_EQ(bridge.teachers(), (QStringList{"Zeta", "ab", "abc", "alpha", "Émile"}));
    EXPECT_EQ(bridge.students(), (QStringList{"B", "b", "Ä"}));
}

TEST_F(BridgeFixture, TeacherDictionaryOfFiveDaysAndSixHours)
{
    load(gridTimetable(5, 6));
    const std::optional<ScheduleDictionary> dictionary = bridge.teacherTimeSchedule("T");
    ASSERT_TRUE(dictionary.has_value());
    EXPECT_EQ(dictionary->size(), 7);
    EXPECT_EQ(dictionary->value("headerRow"), (QStringList{corner, "D1", "D2", "D3", "D4", "D5"}));
    EXPECT_EQ(dictionary->value(corner), (QStringList{"H1", "H2", "H3", "H4", "H5", "H6"}));
    for (const char* day : {"D1", "D2", "D3", "D4", "D5"})
        EXPECT_EQ(dictionary->value(day).size(), 6) << day;
    EXPECT_EQ(dictionary->value("D3").at(3), QStringLiteral("G \n S34"));
}

TEST_F(BridgeFixture, TeacherCellsShowGroupAndSubjectOnTwoLines)
{
    load(fixtures::twoTeachers());
    const std::optional<ScheduleDictionary> novak = bridge.teacherTimeSchedule("Novak");
    ASSERT_TRUE(novak.has_value());
    EXPECT_EQ(novak->value("headerRow"), (QStringList{corner, "Monday", "Tuesday"}));
    EXPECT_EQ(novak->value(corner), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(novak->value("Monday"), (QStringList{"1A \n Math", "2B \n Physics", ""}));
    EXPECT_EQ(novak->value("Tuesday"), (QStringList{"2B \n Math", "", ""}));
}

TEST_F(BridgeFixture, GroupNameWithSlashIsBrokenThere)
{
    load(fixtures::threeLineCell());
    const std::optional<ScheduleDictionary> kral = bridge.teacherTimeSchedule("Kral");
    ASSERT_TRUE(kral.has_value());
    EXPECT_EQ(kral->value("Monday").at(0), QStringLiteral("1\n2A \n Math"));
}

TEST_F(BridgeFixture, GroupDictionaryMergesItsTeachers)
{
    load(fixtures::twoTeachers());
    const std::optional<ScheduleDictionary> group = bridge.studentsTimeSchedule("1A");
    ASSERT_TRUE(group.has_value());
    // Headings from Adams (first by name), two days wide from Novak.
    EXPECT_EQ(group->value("headerRow"), (QStringList{corner, "Monday", ""}));
    EXPECT_EQ(group->value("Monday"), (QStringList{"Math", "Art", ""}));
    EXPECT_EQ(group->value(corner), (QStringList{"1", "2", ""}));
}

TEST_F(BridgeFixture, DuplicateDayNamesLeaveOneKeyWithTheLaterDay)
{
    load(R"(<Teachers_Timetable><Teacher name="T">
      <Day name="Monday"><Hour name="1"><Subject name="Early"/><Students name="1A"/></Hour></Day>
      <Day name="Monday"><Hour name="1"><Subject name="Late"/><Students name="1A"/></Hour></Day>
    </Teacher></Teachers_Timetable>)");
    const std::optional<ScheduleDictionary> dictionary = bridge.teacherTimeSchedule("T");
    ASSERT_TRUE(dictionary.has_value());
    EXPECT_EQ(dictionary->size(), 3);
    EXPECT_EQ(dictionary->value("headerRow"), (QStringList{corner, "Monday", "Monday"}));
    EXPECT_EQ(dictionary->value("Monday"), QStringList{"1A \n Late"});
}

TEST_F(BridgeFixture, UnknownNamesGiveNoDictionary)
{
    load(fixtures::twoTeachers());
    EXPECT_FALSE(bridge.teacherTimeSchedule("Nobody").has_value());
    EXPECT_FALSE(bridge.teacherTimeSchedule("1A").has_value());
    EXPECT_FALSE(bridge.studentsTimeSchedule("Novak").has_value());
    EXPECT_FALSE(bridge.studentsTimeSchedule("").has_value());
}

TEST_F(BridgeFixture, TeacherWithoutHoursGivesHeadingsOnly)
{
    load(R"(<Teachers_Timetable>
      <Teacher name="Free"><Day name="Monday"/><Day name="Tuesday"/></Teacher>
      <Teacher name="Empty"/>
    </Teachers_Timetable>)");
    const std::optional<ScheduleDictionary> free = bridge.teacherTimeSchedule("Free");
    ASSERT_TRUE(free.has_value());
    const QStringList header = free->value("headerRow");
    ASSERT_FALSE(header.isEmpty());
    for (const QString& title : header)
        EXPECT_TRUE(free->value(title).isEmpty()) << qPrintable(title);

    const std::optional<ScheduleDictionary> empty = bridge.teacherTimeSchedule("Empty");
    ASSERT_TRUE(empty.has_value());
    for (const QString& title : empty->value("headerRow"))
        EXPECT_TRUE(empty->value(title).isEmpty()) << qPrintable(title);
}

TEST_F(BridgeFixture, EveryListedNameIsAcceptedBack)
{
    load(fixtures::twoTeachers());
    for (const QString& name : bridge.teachers())
        EXPECT_TRUE(bridge.teacherTimeSchedule(name).has_value()) << qPrintable(name);
    for (const QString& name : bridge.students())
        EXPECT_TRUE(bridge.studentsTimeSchedule(name).has_value()) << qPrintable(name);
}

TEST_F(BridgeFixture, NamesThatAreNotUtf8StayReachable)
{
    // Declared UTF-8, but "Nov\xE1k" and the two groups are Latin-1 bytes.
    // "A\xEF\xBF\xBD" is the valid UTF-8 of "A" and a replacement character.
    load("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Teachers_Timetable>"
         "<Teacher name=\"Nov\xE1k\"><Day name=\"Mo\">"
         "<Hour name=\"1\"><Subject name=\"M\"/><Students name=\"A\xE1\"/></Hour>"
         "<Hour name=\"2\"><Subject name=\"P\"/><Students name=\"A\xE9\"/></Hour>"
         "<Hour name=\"3\"><Subject name=\"R\"/><Students name=\"A\xEF\xBF\xBD\"/></Hour>"
         "</Day></Teacher>"
         "<Teacher name=\"Nov\xE9k\"><Day name=\"Mo\"><Hour name=\"1\"><Subject name=\"X\"/>"
         "<Students name=\"B\"/></Hour></Day></Teacher>"
         "</Teachers_Timetable>");

    const QString replacement(QChar(0xFFFD));
    const QStringList teachers = bridge.teachers();
    EXPECT_EQ(teachers, (QStringList{"Nov" + replacement + "k", "Nov" + replacement + "k (2)"}));
    ASSERT_EQ(teachers.size(), 2);
    const std::optional<ScheduleDictionary> first = bridge.teacherTimeSchedule(teachers.at(0));
    const std::optional<ScheduleDictionary> second = bridge.teacherTimeSchedule(teachers.at(1));
    ASSERT_TRUE(first.has_value());
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(first->value("Mo").size(), 3);
    EXPECT_EQ(second->value("Mo"), QStringList{"B \n X"});

    // The valid name keeps its exact text; the two others get suffixes.
    const QStringList groups = bridge.students();
    ASSERT_EQ(groups.size(), 4);
    EXPECT_TRUE(groups.contains("A" + replacement));
    EXPECT_TRUE(groups.contains("A" + replacement + " (2)"));
    EXPECT_TRUE(groups.contains("A" + replacement + " (3)"));
    EXPECT_EQ(bridge.studentsTimeSchedule("A" + replacement)->value("Mo"), (QStringList{"", "", "R"}));
    QStringList subjects;
    for (const QString& group : groups) {
        const std::optional<ScheduleDictionary> schedule = bridge.studentsTimeSchedule(group);
        ASSERT_TRUE(schedule.has_value()) << qPrintable(group);
        for (const QString& cell : schedule->value("Mo")) {
            if (!cell.isEmpty())
                subjects.append(cell);
        }
    }
    subjects.sort();
    EXPECT_EQ(subjects, (QStringList{"M", "P", "R", "X"}));
}

TEST(DisplayNames, ValidNamesRoundTripAndOthersMapBack)
{
    DisplayNames names;
    const std::vector<std::string> keys{"plain", "\xC3\x89mile", "bad\xFF", "bad\xFE"};
    const QStringList shown = names.assign(keys);
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown.at(1), QStringLiteral("Émile"));
    EXPECT_NE(shown.at(2), shown.at(3));
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(names.keyFor(shown.at(int(i))), keys[i]);
    EXPECT_EQ(names.keyFor("unlisted"), "unlisted");
    EXPECT_FALSE(DisplayNames::isValidUtf8("\xC3"));
    EXPECT_FALSE(DisplayNames::isValidUtf8("\xED\xA0\x80"));  // a UTF-16 surrogate
    EXPECT_TRUE(DisplayNames::isValidUtf8("\xE2\x82\xAC"));
}

TEST_F(BridgeFixture, DefaultFontChangesNothing)
{
    bridge.setExcelFont("Calibri", 11.0);
    EXPECT_TRUE(logLines.isEmpty());
    EXPECT_FALSE(bridge.vorConverter()->fontChosen);
    EXPECT_EQ(bridge.vorConverter()->fontName, "Calibri");
    EXPECT_EQ(bridge.vorConverter()->fontSize, 11);
}

TEST_F(BridgeFixture, OtherFontsAreLoggedAndStoredTruncated)
{
    bridge.setExcelFont("Calibri", 12.0);
    EXPECT_EQ(logLines, QStringList{"SetFont Calibri 12"});
    EXPECT_TRUE(bridge.vorConverter()->fontChosen);
    EXPECT_EQ(bridge.vorConverter()->fontSize, 12);

    bridge.setExcelFont("DejaVu Serif", 12.7);
    EXPECT_EQ(logLines.last(), QStringLiteral("SetFont DejaVu Serif 13"));
    EXPECT_EQ(bridge.vorConverter()->fontName, "DejaVu Serif");
    EXPECT_EQ(bridge.vorConverter()->fontSize, 12);

    bridge.setExcelFont("Liberation Sans", 11.0);
    EXPECT_EQ(logLines.last(), QStringLiteral("SetFont Liberation Sans 11"));
    EXPECT_EQ(bridge.vorConverter()->fontName, "Liberation Sans");

    bridge.setExcelFont(QStringLiteral("Źródło"), 9.5);
    EXPECT_EQ(logLines.last(), QStringLiteral("SetFont Źródło 10"));
    EXPECT_EQ(bridge.vorConverter()->fontName, "\xC5\xB9r\xC3\xB3" "d\xC5\x82o");
}

TEST_F(BridgeFixture, DefaultFontLaterKeepsAnEarlierChoice)
{
    bridge.setExcelFont("Calibri", 14.0);
    bridge.setExcelFont("Calibri", 11.0);
    EXPECT_EQ(logLines.size(), 1);
    EXPECT_TRUE(bridge.vorConverter()->fontChosen);
    EXPECT_EQ(bridge.vorConverter()->fontSize, 14);
}
