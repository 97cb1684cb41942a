// The main window controller, driven through a fake platform: launch and
// the font chain, opening, switching, the table, exports and alerts.
#include <gtest/gtest.h>

#include <QProcess>

#include "FakePlatform.h"
#include "TempFolder.h"
#include "app/controller/AppDelegate.h"
#include "app/controller/fontArchive.h"
#include "fixtures.h"
#include "timetable/timeTable.h"

namespace {

const FontDescriptor calibri11{QStringLiteral("Calibri"), 11.0};

// Opens a workbook with the independent reader and reports the first
// sheet's title, the text of A3 (the first name of a summary) and that
// cell's font name, size and horizontal alignment, joined by "|".
QString readBack(const QString& workbook)
{
    const char* script = R"(import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
cell = sheet["A3"]
print(sheet.title, cell.value, cell.font.name, int(cell.font.sz), cell.alignment.horizontal, sep="|"))";
    QProcess python;
    python.start(QStringLiteral(HORATAB_SYSTEM_PYTHON), {QStringLiteral("-c"), QString::fromLatin1(script), workbook});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return QStringLiteral("reader failed: ") + QString::fromUtf8(python.readAllStandardError());
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

struct Controller : testing::Test
{
    TempFolder folder;
    QVariantMap preferences;
    FakePlatform platform{preferences};
    AppDelegate delegate{platform};

    void SetUp() override { ASSERT_TRUE(folder.valid()); }

    QString fixture(const char* name, const QByteArray& xml) { return folder.write(QString::fromLatin1(name), xml); }

    // Opens `path` with the open button; the panel answers with it.
    void openWithButton(const QString& path)
    {
        platform.openAnswers.push_back(path);
        delegate.onClickOpenTeacherFile();
    }

    void launchAndOpenTwoTeachers()
    {
        delegate.applicationDidFinishLaunching();
        openWithButton(fixture("two.xml", fixtures::twoTeachers()));
        ASSERT_NE(delegate.vorWrapper(), nullptr);
    }

    QStringList alertTexts() const
    {
        QStringList texts;
        for (const FakePlatform::Alert& alert : platform.alerts)
            texts.append(alert.message);
        return texts;
    }
};

} // namespace

// ---- launch and the spreadsheet font

TEST_F(Controller, LaunchWithNothingStoredUsesCalibri11)
{
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.excelFont(), calibri11);
    EXPECT_EQ(platform.fontButtonFont, calibri11);
    EXPECT_TRUE(platform.fontButtonTitle.isEmpty());  // the title stays until a font is picked
    EXPECT_EQ(platform.dataSource, &delegate);
    EXPECT_EQ(platform.tableDelegate, &delegate);
    EXPECT_TRUE(delegate.updateTableColumn());
    EXPECT_EQ(delegate.radioSelection(), 0);
    EXPECT_TRUE(delegate.applicationShouldTerminateAfterLastWindowClosed());
}

TEST_F(Controller, LaunchPrefersTheStoredFont)
{
    preferences.insert("excelFont", archiveFont({"DejaVu Serif", 14.5}));
    preferences.insert("excelFontFace", "Ignored Face");
    preferences.insert("excelFontSize", 20);
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.excelFont(), (FontDescriptor{"DejaVu Serif", 14.5}));
    EXPECT_EQ(platform.fontButtonFont, delegate.excelFont());
}

TEST_F(Controller, LaunchFallsBackToFaceAndSize)
{
    preferences.insert("excelFontFace", "Liberation Mono");
    preferences.insert("excelFontSize", 12.3);
    delegate.applicationDidFinishLaunching();
    // The system font converted to the face, then to the size read as a float.
    EXPECT_EQ(delegate.excelFont(), (FontDescriptor{"Liberation Mono", double(12.3f)}));
}

TEST_F(Controller, LaunchWithHalfAFallbackKeepsCalibri11)
{
    preferences.insert("excelFontFace", "Liberation Mono");
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.excelFont(), calibri11);

    preferences.clear();
    preferences.insert("excelFontSize", 15);
    delegate.loadUserPreferencies();
    EXPECT_EQ(delegate.excelFont(), calibri11);

    // A size that is no positive number would give an unusable font.
    preferences.insert("excelFontFace", "Liberation Mono");
    preferences.insert("excelFontSize", "large");
    delegate.loadUserPreferencies();
    EXPECT_EQ(delegate.excelFont(), calibri11);
    preferences.insert("excelFontSize", 0);
    delegate.loadUserPreferencies();
    EXPECT_EQ(delegate.excelFont(), calibri11);
}

TEST_F(Controller, UnreadableStoredFontFallsBack)
{
    preferences.insert("excelFont", QByteArray("not an archived font"));
    preferences.insert("excelFontFace", "Liberation Mono");
    preferences.insert("excelFontSize", 9);
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.excelFont(), (FontDescriptor{"Liberation Mono", 9.0}));
}

TEST(FontArchive, RoundTripsAndRejectsDamage)
{
    const FontDescriptor font{QStringLiteral("Noto Sans Čeština"), 12.25};
    const QByteArray bytes = archiveFont(font);
    EXPECT_EQ(unarchiveFont(bytes), font);

    EXPECT_FALSE(unarchiveFont(QByteArray()).has_value());
    EXPECT_FALSE(unarchiveFont(bytes.left(bytes.size() - 1)).has_value());
    EXPECT_FALSE(unarchiveFont(bytes + "x").has_value());
    QByteArray otherTag = bytes;
    otherTag[0] = char(otherTag[0] ^ 0x20);
    EXPECT_FALSE(unarchiveFont(otherTag).has_value());
    EXPECT_FALSE(unarchiveFont(archiveFont({QString(), 12.0})).has_value());
    EXPECT_FALSE(unarchiveFont(archiveFont({"Serif", 0.0})).has_value());
    EXPECT_FALSE(unarchiveFont(archiveFont({"Serif", -3.0})).has_value());
}

TEST_F(Controller, FontChangeUpdatesButtonAndSurvivesRestart)
{
    delegate.applicationDidFinishLaunching();
    platform.fontPanelPick = FontDescriptor{"DejaVu Serif", 12.7};
    delegate.onChooseExcelFont();

    ASSERT_EQ(platform.fontPanelShown.size(), 1u);
    EXPECT_EQ(platform.fontPanelShown.front(), calibri11);
    EXPECT_EQ(delegate.excelFont(), (FontDescriptor{"DejaVu Serif", 12.7}));
    EXPECT_EQ(platform.fontButtonTitle, QStringLiteral("font: DejaVu Serif 13"));
    EXPECT_EQ(platform.fontButtonFont, delegate.excelFont());
    ASSERT_TRUE(preferences.contains("excelFont"));

    FakePlatform restartedPlatform{preferences};
    AppDelegate restarted{restartedPlatform};
    restarted.applicationDidFinishLaunching();
    EXPECT_EQ(restarted.excelFont(), (FontDescriptor{"DejaVu Serif", 12.7}));
    EXPECT_EQ(restartedPlatform.fontButtonFont, restarted.excelFont());
}

TEST_F(Controller, CancelledFontPanelChangesNothing)
{
    delegate.applicationDidFinishLaunching();
    delegate.onChooseExcelFont();
    EXPECT_EQ(platform.fontPanelShown.size(), 1u);
    EXPECT_EQ(delegate.excelFont(), calibri11);
    EXPECT_FALSE(preferences.contains("excelFont"));
}

// ---- opening files

TEST_F(Controller, CancelledOpenPanelChangesNothing)
{
    delegate.applicationDidFinishLaunching();
    delegate.onClickOpenTeacherFile();
    EXPECT_EQ(platform.openPanelTypes, QStringList{"xml"});
    EXPECT_EQ(delegate.vorWrapper(), nullptr);
    EXPECT_TRUE(platform.pathText.isEmpty());
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_TRUE(platform.logLines.isEmpty());
}

TEST_F(Controller, OpenButtonLoadsFillsComboAndTable)
{
    launchAndOpenTwoTeachers();
    const QString path = folder.file("two.xml");
    EXPECT_EQ(platform.pathText, path);
    EXPECT_EQ(delegate.fileInputPath(), path);
    EXPECT_EQ(platform.comboItems, (QStringList{"Adams", "Novak"}));
    EXPECT_EQ(platform.comboSelected, 0);
    EXPECT_EQ(platform.tableOperations,
              (QStringList{"add hour\\day|hour\\day", "add Monday|Monday"}));
    EXPECT_FALSE(delegate.updateTableColumn());
    EXPECT_EQ(platform.reloads, 1);
    EXPECT_EQ(platform.recentDocuments, QStringList{path});
    EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(Controller, MenuOpenBehavesLikeTheButton)
{
    delegate.applicationDidFinishLaunching();
    const QString path = fixture("two.xml", fixtures::twoTeachers());
    platform.openAnswers.push_back(path);
    delegate.onMenuOpenFile();
    EXPECT_EQ(platform.openPanelTypes, QStringList{"xml"});
    EXPECT_EQ(platform.comboItems.size(), 2);
    EXPECT_EQ(platform.recentDocuments, QStringList{path});
}

TEST_F(Controller, FailedOpenKeepsTheShownTimetableAndSaysSo)
{
    launchAndOpenTwoTeachers();
    const QString good = folder.file("two.xml");
    vorObjWrapper* shownBridge = delegate.vorWrapper();
    const ScheduleDictionary shownTable = *delegate.timeTable();
    platform.tableOperations.clear();

    const QString bad = fixture("bad.xml", fixtures::malformed());
    openWithButton(bad);

    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].message, "ERROR loading timetable from:\n" + bad);
    EXPECT_EQ(platform.alerts[0].style, AlertStyle::Warning);
    EXPECT_EQ(platform.pathText, good);
    EXPECT_EQ(delegate.vorWrapper(), shownBridge);
    EXPECT_EQ(*delegate.timeTable(), shownTable);
    EXPECT_EQ(platform.comboItems, (QStringList{"Adams", "Novak"}));
    EXPECT_TRUE(platform.tableOperations.isEmpty());
    EXPECT_EQ(platform.recentDocuments, QStringList{good});

    openWithButton(folder.file("missing.xml"));
    EXPECT_EQ(platform.alerts.size(), 2u);
    EXPECT_EQ(platform.pathText, good);
}

TEST_F(Controller, FailedFirstOpenLeavesThePathFieldEmpty)
{
    delegate.applicationDidFinishLaunching();
    openWithButton(folder.file("missing.xml"));
    EXPECT_EQ(alertTexts(), QStringList{"ERROR loading timetable from:\n" + folder.file("missing.xml")});
    EXPECT_TRUE(platform.pathText.isEmpty());
    EXPECT_EQ(delegate.vorWrapper(), nullptr);
    EXPECT_TRUE(platform.recentDocuments.isEmpty());
}

TEST_F(Controller, OpenRequestsDoNotTouchRecentDocuments)
{
    delegate.applicationDidFinishLaunching();
    const QString missing = folder.file("missing.xml");
    EXPECT_FALSE(delegate.applicationOpenFile(missing));
    EXPECT_EQ(alertTexts(), QStringList{"ERROR loading timetable from:\n" + missing});
    EXPECT_TRUE(platform.recentDocuments.isEmpty());

    const QString good = fixture("two.xml", fixtures::twoTeachers());
    EXPECT_TRUE(delegate.applicationOpenFile(good));
    EXPECT_EQ(platform.pathText, good);
    EXPECT_EQ(platform.comboItems, (QStringList{"Adams", "Novak"}));
    EXPECT_TRUE(platform.recentDocuments.isEmpty());
    EXPECT_TRUE(platform.openPanelTypes.isEmpty());
}

TEST_F(Controller, FileWithoutNamesClearsTheOldTimetable)
{
    launchAndOpenTwoTeachers();
    const QString other = fixture("other.xml", fixtures::otherRoot());
    openWithButton(other);

    EXPECT_EQ(platform.pathText, other);
    EXPECT_TRUE(platform.comboItems.isEmpty());
    EXPECT_EQ(platform.logLines, QStringList{"comboIndex -1!!!"});
    EXPECT_TRUE(platform.columns.isEmpty());
    EXPECT_FALSE(delegate.timeTable().has_value());
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 0);
    EXPECT_TRUE(delegate.updateTableColumn());
    EXPECT_TRUE(platform.alerts.empty());

    // The next timetable shown gets its columns again.
    openWithButton(folder.file("two.xml"));
    EXPECT_EQ(platform.columns, (QStringList{"hour\\day", "Monday"}));
}

// ---- switching and the combo box

TEST_F(Controller, SwitchingBeforeAnyFileOnlyLogs)
{
    delegate.applicationDidFinishLaunching();
    platform.radioColumn = 1;
    delegate.onRadioChange();
    EXPECT_EQ(platform.logLines, QStringList{"vorWrapper is nil!"});
    EXPECT_TRUE(platform.comboItems.isEmpty());
    EXPECT_TRUE(platform.tableOperations.isEmpty());
    EXPECT_EQ(platform.reloads, 0);
    EXPECT_TRUE(platform.alerts.empty());

    delegate.onComboChange();  // no bridge: nothing at all
    EXPECT_EQ(platform.logLines.size(), 1);
    EXPECT_EQ(platform.reloads, 0);
}

TEST_F(Controller, ComboChangeKeepsColumnsRadioSwitchRebuildsThem)
{
    launchAndOpenTwoTeachers();
    platform.tableOperations.clear();

    platform.comboSelected = 1;  // Novak
    delegate.onComboChange();
    EXPECT_TRUE(platform.tableOperations.isEmpty());
    EXPECT_EQ(platform.reloads, 2);
    EXPECT_EQ(delegate.timeTable()->value("Monday"), (QStringList{"1A \n Math", "2B \n Physics", ""}));
    // Adams' columns stay, so Novak's Tuesday is not among them.
    EXPECT_EQ(platform.columns, (QStringList{"hour\\day", "Monday"}));

    platform.radioColumn = 1;
    delegate.onRadioChange();
    EXPECT_EQ(delegate.radioSelection(), 1);
    EXPECT_EQ(platform.comboItems, (QStringList{"1A", "2B", "3C"}));
    EXPECT_EQ(platform.comboSelected, 0);
    EXPECT_EQ(platform.tableOperations,
              (QStringList{"remove", "remove", "add hour\\day|hour\\day", "add Monday|Monday", "add |"}));
    EXPECT_EQ(delegate.timeTable()->value("Monday"), (QStringList{"Math", "Art", ""}));

    platform.tableOperations.clear();
    platform.radioColumn = 0;
    delegate.onRadioChange();
    EXPECT_EQ(platform.comboItems, (QStringList{"Adams", "Novak"}));
    EXPECT_EQ(platform.tableOperations.count("remove"), 3);
    EXPECT_EQ(platform.columns, (QStringList{"hour\\day", "Monday"}));
}

TEST_F(Controller, ComboWithoutItemAtSelectionLogs)
{
    launchAndOpenTwoTeachers();
    const int reloads = platform.reloads;
    platform.comboSelected = 7;
    delegate.onComboChange();
    EXPECT_EQ(platform.logLines, QStringList{"combo index 7 selection=nil"});
    EXPECT_EQ(platform.reloads, reloads);
}

// ---- table data source and row heights

TEST_F(Controller, TableWithoutTimetable)
{
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 0);
    EXPECT_EQ(delegate.heightOfRow(0), 10.0);
    EXPECT_EQ(delegate.objectValueForTableColumn("Monday", 0), QStringLiteral("row 0:Monday"));
    EXPECT_EQ(platform.logLines, QStringList{"??? row 0:Monday"});
}

TEST_F(Controller, TableShowsCellsAndMarksMissingOnes)
{
    launchAndOpenTwoTeachers();
    platform.comboSelected = 1;  // Novak: Monday has 3 rows
    delegate.onComboChange();
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 3);
    EXPECT_EQ(delegate.objectValueForTableColumn("hour\\day", 2), QStringLiteral("3"));
    EXPECT_EQ(delegate.objectValueForTableColumn("Tuesday", 0), QStringLiteral("2B \n Math"));
    EXPECT_TRUE(platform.logLines.isEmpty());

    EXPECT_EQ(delegate.objectValueForTableColumn("Monday", 4), QStringLiteral("row 4:Monday"));
    EXPECT_EQ(delegate.objectValueForTableColumn("Sunday", 0), QStringLiteral("row 0:Sunday"));
    EXPECT_EQ(platform.logLines, (QStringList{"??? row 4:Monday", "??? row 0:Sunday"}));
}

TEST_F(Controller, RowsAreAsTallAsTheirTallestCell)
{
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(delegate.applicationOpenFile(fixture("kral.xml", fixtures::threeLineCell())));
    // "1\n2A \n Math": three lines; "3C \n Chemistry": two.
    EXPECT_EQ(delegate.heightOfRow(0), 3 * FakePlatform::lineHeight);
    EXPECT_EQ(delegate.heightOfRow(1), 2 * FakePlatform::lineHeight);
    EXPECT_EQ(delegate.heightOfRow(5), 10.0);
    ASSERT_FALSE(platform.measuredWith.empty());
    for (const FontDescriptor& font : platform.measuredWith)
        EXPECT_EQ(font, (FontDescriptor{"Control Sans", 16.0}));
}

TEST_F(Controller, TimetableWithoutRowsHasTenPointRows)
{
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(delegate.applicationOpenFile(fixture("empty.xml", fixtures::teacherWithoutDays())));
    ASSERT_TRUE(delegate.timeTable().has_value());
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 0);
    EXPECT_EQ(delegate.heightOfRow(0), 10.0);
    EXPECT_TRUE(platform.measuredWith.empty());
}

// ---- exporting

TEST_F(Controller, ExportBeforeAnyFileShowsTheErrorAlert)
{
    delegate.applicationDidFinishLaunching();
    platform.saveAnswers.push_back(folder.file("t.xlsx"));
    delegate.onClickExportTeachers();
    platform.saveAnswers.push_back(folder.file("s.xlsx"));
    delegate.onClickExportStudents();

    EXPECT_EQ(platform.savePanelTypes, (QStringList{"xlsx", "xlsx"}));
    ASSERT_EQ(platform.alerts.size(), 2u);
    EXPECT_EQ(platform.alerts[0].message, "ERROR saving teachers at:\n" + folder.file("t.xlsx"));
    EXPECT_EQ(platform.alerts[0].style, AlertStyle::Warning);
    EXPECT_EQ(platform.alerts[1].message, "ERROR saving students at:\n" + folder.file("s.xlsx"));
    EXPECT_EQ(platform.alerts[1].style, AlertStyle::Warning);
    EXPECT_TRUE(platform.logLines.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file("t.xlsx")));
}

TEST_F(Controller, CancelledSavePanelChangesNothing)
{
    launchAndOpenTwoTeachers();
    delegate.onClickExportTeachers();
    delegate.onClickExportStudents();
    EXPECT_EQ(platform.savePanelTypes.size(), 2);
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_FALSE(delegate.vorWrapper()->vorConverter()->fontChosen);
}

TEST_F(Controller, ExportsWriteWorkbooksInTheSpreadsheetFont)
{
    launchAndOpenTwoTeachers();
    const QString teachersPath = folder.file("teachers.xlsx");
    platform.saveAnswers.push_back(teachersPath);
    delegate.onClickExportTeachers();

    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].message, "teachers saved on:\n" + teachersPath);
    EXPECT_EQ(platform.alerts[0].style, AlertStyle::Informational);
    // Calibri 11 passes no font on: every cell keeps the default style.
    const timeTable* core = delegate.vorWrapper()->vorConverter();
    EXPECT_FALSE(core->fontChosen);
    EXPECT_TRUE(platform.logLines.isEmpty());
    EXPECT_EQ(readBack(teachersPath), QStringLiteral("All teachers|Adams|Calibri|11|None"));

    delegate.changeFont({"DejaVu Serif", 12.7});
    const QString groupsPath = folder.file("groups.xlsx");
    platform.saveAnswers.push_back(groupsPath);
    delegate.onClickExportStudents();

    ASSERT_EQ(platform.alerts.size(), 2u);
    EXPECT_EQ(platform.alerts[1].message, "students saved on:\n" + groupsPath);
    EXPECT_EQ(platform.alerts[1].style, AlertStyle::Informational);
    EXPECT_EQ(platform.logLines, QStringList{"SetFont DejaVu Serif 13"});
    EXPECT_TRUE(core->fontChosen);
    EXPECT_EQ(core->fontName, "DejaVu Serif");
    EXPECT_EQ(core->fontSize, 12);
    EXPECT_EQ(readBack(groupsPath), QStringLiteral("All students|1A|DejaVu Serif|12|center"));
}

TEST_F(Controller, FailedExportsShowTheWarning)
{
    launchAndOpenTwoTeachers();
    const QString unreachable = folder.file("no-such-folder/teachers.xlsx");
    platform.saveAnswers.push_back(unreachable);
    delegate.onClickExportTeachers();
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].message, "ERROR saving teachers at:\n" + unreachable);
    EXPECT_EQ(platform.alerts[0].style, AlertStyle::Warning);

    // Hours without any student group: there is no group to export.
    ASSERT_TRUE(delegate.applicationOpenFile(fixture("nogroups.xml", R"(<Teachers_Timetable>
      <Teacher name="T"><Day name="Mo"><Hour name="1"><Subject name="Math"/></Hour></Day></Teacher>
    </Teachers_Timetable>)")));
    const QString groupsPath = folder.file("groups.xlsx");
    platform.saveAnswers.push_back(groupsPath);
    delegate.onClickExportStudents();
    ASSERT_EQ(platform.alerts.size(), 2u);
    EXPECT_EQ(platform.alerts[1].message, "ERROR saving students at:\n" + groupsPath);
    EXPECT_EQ(platform.alerts[1].style, AlertStyle::Warning);
    EXPECT_FALSE(QFile::exists(groupsPath));
}
