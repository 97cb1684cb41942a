// The main window controller through a fake platform: the font chain,
// opening, switching, the table, exports and their alerts.
#include <QFile>

#include "app/controller/AppDelegate.h"
#include "app/controller/fontArchive.h"
#include "support.h"
#include "support/zip.h"

namespace {

const FontDescriptor calibri11{"Calibri", 11.0};

struct Controller : testing::Test
{
    TempFolder folder;
    FakePlatform platform;
    AppDelegate delegate{platform};

    void SetUp() override { delegate.applicationDidFinishLaunching(); }
    void openWithButton(const QString& path)
    {
        platform.panelAnswers.append(path);
        delegate.onClickOpenTeacherFile();
    }
    void exportAs(void (AppDelegate::*button)(), const QString& name)
    {
        platform.panelAnswers.append(folder.filePath(name));
        (delegate.*button)();
    }
    // The alerts shown so far against a reference file: "--" between two,
    // the scratch folder written as {folder}.
    void expectAlerts(const char* reference)
    {
        QString expected =
            QString::fromStdString(support::testFile(std::string("app/reference/") + reference));
        expected.replace("{folder}", folder.path().c_str());
        EXPECT_EQ(platform.alerts.join("\n--\n").toStdString() + '\n', expected.toStdString());
    }
};

}  // namespace

TEST(ControllerLaunch, FontChainFromThePreferences)
{
    const QString mono = "Liberation Mono";
    const QByteArray stored = archiveFont({"Serif", 14.5});
    const struct
    {
        const char* name;
        QVariantMap preferences;
        FontDescriptor expected;
    } rows[] = {
        {"nothing stored", {}, calibri11},
        {"stored font first",
         {{"excelFont", stored}, {"excelFontFace", mono}, {"excelFontSize", 2}},
         {"Serif", 14.5}},
        {"face and size as a float",
         {{"excelFontFace", mono}, {"excelFontSize", 12.3}},
         {mono, double(12.3f)}},
        {"cut short",
         {{"excelFont", stored.chopped(1)}, {"excelFontFace", mono}, {"excelFontSize", 9}},
         {mono, 9}},
        {"stored font with bytes after it", {{"excelFont", stored + "x"}}, calibri11},
        {"stored font of size 0", {{"excelFont", archiveFont({"Serif", 0.0})}}, calibri11},
        {"face only", {{"excelFontFace", mono}}, calibri11},
        {"size only", {{"excelFontSize", 15}}, calibri11},
        {"size not a number", {{"excelFontFace", mono}, {"excelFontSize", "large"}}, calibri11},
        {"size zero", {{"excelFontFace", mono}, {"excelFontSize", 0}}, calibri11},
    };
    for (auto row : rows) {
        SCOPED_TRACE(row.name);
        FakePlatform platform;
        platform.preferences = row.preferences;
        AppDelegate delegate{platform};
        delegate.applicationDidFinishLaunching();
        EXPECT_EQ(delegate.excelFont(), row.expected);
        EXPECT_EQ(platform.fontButtonFont, row.expected);
    }
}

// The font panel starts from the spreadsheet font; "Use default font" goes
// back to Calibri 11 and stores it.
TEST_F(Controller, FontPanelAndTheDefaultFont)
{
    delegate.onChooseExcelFont();
    EXPECT_EQ(platform.fontPanelFont, calibri11);
    EXPECT_EQ(platform.fontPanel, &delegate);
    delegate.changeFont({"Serif", 14.0});
    EXPECT_EQ(platform.fontButtonTitle, "font: Serif 14");
    delegate.onUseDefaultFont();
    EXPECT_EQ(delegate.excelFont(), calibri11);
    EXPECT_EQ(platform.fontButtonTitle, "font: Calibri 11");
    EXPECT_EQ(unarchiveFont(platform.preferences.value("excelFont").toByteArray()), calibri11);
}

TEST_F(Controller, BeforeAnyFileAndAfterCancelNothingChanges)
{
    delegate.onClickOpenTeacherFile();
    platform.radioColumn = 1;
    delegate.onRadioChange();
    delegate.onComboChange();
    EXPECT_EQ(platform.logLines, QStringList{"vorWrapper is nil!"});
    EXPECT_TRUE(platform.pathText.isEmpty());
    EXPECT_TRUE(platform.comboItems.isEmpty());
    EXPECT_TRUE(platform.columnOps.isEmpty());
    EXPECT_EQ(platform.reloads, 0);

    delegate.onClickExportTeachers();  // disabled: no panel
    EXPECT_FALSE(platform.exportEnabled);

    openWithButton(folder.copy("two_teachers.xml"));
    EXPECT_TRUE(platform.exportEnabled);
    delegate.onClickExportTeachers();
    delegate.onClickExportStudents();
    EXPECT_EQ(
        platform.panels,
        (QStringList{"open xml", "open xml", "save xlsx Export Teachers two_teachers-teachers.xlsx",
                     "save xlsx Export Student Groups two_teachers-students.xlsx"}));
    EXPECT_TRUE(platform.alerts.isEmpty());
    EXPECT_TRUE(platform.progressLines.isEmpty());
}

// Files opened by every route join the recents; a failed load names its
// reason and leaves the shown timetable; a recent file that is gone leaves
// the list with a message.
TEST_F(Controller, LoadReasonsAndRecentsFromEveryRoute)
{
    const QString good = folder.copy("two_teachers.xml"), missing = folder.filePath("missing.xml");
    const QString bad = folder.write("bad.xml", malformed);
    openWithButton(missing);
    EXPECT_TRUE(platform.pathText.isEmpty());  // no timetable on screen yet
    EXPECT_TRUE(delegate.applicationOpenFile(good));
    const ScheduleDictionary shownTable = *delegate.timeTable();
    platform.columnOps.clear();
    EXPECT_FALSE(delegate.applicationOpenFile(bad));
    EXPECT_EQ(platform.pathText, good);
    EXPECT_EQ(*delegate.timeTable(), shownTable);
    EXPECT_EQ(platform.comboItems, (QStringList{"Adams", "Novak"}));
    EXPECT_TRUE(platform.columnOps.isEmpty());

    openWithButton(good);
    platform.panelAnswers.append(good);
    delegate.onMenuOpenFile();
    delegate.openRecentDocument(good);
    delegate.openRecentDocument(missing);
    EXPECT_EQ(platform.recentDocuments,
              (QStringList{good, good, good, good, "removed " + missing}));
    expectAlerts("load_alerts.txt");
    EXPECT_EQ(platform.busy.join(' '), QString("busy idle ").repeated(6).trimmed());  // every load
}

// Each export reports its sheets and ends in an alert: the reason of a
// failure, a cancelled one included, or the choices after a success.
TEST_F(Controller, ExportsTheirProgressAndReasons)
{
    ASSERT_TRUE(delegate.applicationOpenFile(folder.copy("no_groups.xml")));
    exportAs(&AppDelegate::onClickExportStudents, "nogroups.xlsx");  // no group to export
    ASSERT_TRUE(delegate.applicationOpenFile(folder.copy("two_teachers.xml")));
    exportAs(&AppDelegate::onClickExportTeachers, "no-such-folder/t.xlsx");
    platform.alertAnswer = 2;  // "Show in folder"
    exportAs(&AppDelegate::onClickExportTeachers, "teachers.xlsx");
    EXPECT_TRUE(platform.logLines.isEmpty());  // Calibri 11 passes no font on
    EXPECT_EQ(platform.progressLines.mid(platform.progressLines.size() - 4),
              (QStringList{"0/3 All teachers", "1/3 Adams", "2/3 Novak", "3/3 "}));

    platform.progressLines.clear();
    platform.cancelAtSheet = 1;  // Cancel at the second sheet
    exportAs(&AppDelegate::onClickExportTeachers, "teachers.xlsx");
    EXPECT_EQ(platform.progressLines, (QStringList{"0/3 All teachers", "1/3 Adams"}));
    platform.cancelAtSheet = UINT64_MAX;
    platform.alertAnswer = 1;  // "Open"
    delegate.changeFont({"DejaVu Serif", 12.7});
    exportAs(&AppDelegate::onClickExportStudents, "groups.xlsx");

    expectAlerts("export_alerts.txt");
    const QString in = QString::fromStdString(folder.path());
    EXPECT_EQ(platform.desktop,
              (QStringList{"folder " + in + "teachers.xlsx", "open " + in + "groups.xlsx"}));
    EXPECT_FALSE(QFile::exists(in + "nogroups.xlsx"));
    EXPECT_EQ(support::entryCount(folder.path()), 5u);  // two .xml, two workbooks, tmp
    EXPECT_EQ(folder.temporaryFiles(), 0u);
    EXPECT_EQ(platform.logLines, QStringList{"SetFont DejaVu Serif 13"});
}

TEST_F(Controller, ComboChangeKeepsColumnsRadioSwitchRebuildsThem)
{
    const QStringList teacherColumns{"add hour\\day|hour\\day", "add Monday|Monday"};
    openWithButton(folder.copy("two_teachers.xml"));
    EXPECT_EQ(platform.columnOps, teacherColumns);
    platform.columnOps.clear();
    platform.comboSelected = 1;  // Novak, who also teaches on Tuesday
    delegate.onComboChange();
    EXPECT_EQ(delegate.timeTable()->value("Tuesday"), (QStringList{"2B \n Math", "", ""}));
    EXPECT_TRUE(platform.columnOps.isEmpty());
    EXPECT_EQ(platform.reloads, 2);

    platform.radioColumn = 1;
    delegate.onRadioChange();
    EXPECT_EQ(platform.comboItems, (QStringList{"1A", "2B", "3C"}));
    EXPECT_EQ(platform.comboSelected, 0);
    // 1A's week takes its days from Novak, the teacher with the most days.
    EXPECT_EQ(platform.columnOps, QStringList({"remove", "remove"}) + teacherColumns +
                                      QStringList{"add Tuesday|Tuesday"});
    EXPECT_EQ(delegate.timeTable()->value("Monday"), (QStringList{"Math", "Art", ""}));
    platform.columnOps.clear();
    platform.radioColumn = 0;
    delegate.onRadioChange();
    EXPECT_EQ(platform.columnOps, QStringList({"remove", "remove", "remove"}) + teacherColumns);

    platform.comboSelected = 7;  // no item there: only logged
    delegate.onComboChange();
    EXPECT_EQ(platform.logLines, QStringList{"combo index 7 selection=nil"});
}

TEST_F(Controller, FileWithoutNamesClearsTheOldTimetable)
{
    openWithButton(folder.copy("two_teachers.xml"));
    openWithButton(folder.write("other.xml", R"(<Timetable><Teacher name="Nobody"/></Timetable>)"));
    EXPECT_TRUE(platform.comboItems.isEmpty());
    EXPECT_TRUE(platform.columns.isEmpty());
    EXPECT_EQ(platform.logLines, QStringList{"comboIndex -1!!!"});
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 0);
    // The next timetable gets its columns again.
    openWithButton(folder.filePath("two_teachers.xml"));
    EXPECT_EQ(platform.columns, (QStringList{"hour\\day", "Monday"}));
}

TEST_F(Controller, CellsRowHeightsAndTheTextForMissingCells)
{
    EXPECT_EQ(delegate.objectValueForTableColumn("Monday", 0), "row 0:Monday");  // no timetable
    EXPECT_EQ(delegate.heightOfRow(0), 10.0);
    ASSERT_TRUE(delegate.applicationOpenFile(folder.copy("three_line_cell.xml")));
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 2);
    EXPECT_EQ(delegate.objectValueForTableColumn("hour\\day", 1), "2");
    EXPECT_EQ(delegate.objectValueForTableColumn("Monday", 4), "row 4:Monday");
    EXPECT_EQ(delegate.objectValueForTableColumn("Sunday", 0), "row 0:Sunday");
    EXPECT_EQ(platform.logLines,
              (QStringList{"??? row 0:Monday", "??? row 4:Monday", "??? row 0:Sunday"}));
    // "1\n2A \n Math": three lines; "3C \n Chemistry": two.
    EXPECT_EQ(delegate.heightOfRow(0), 3 * FakePlatform::lineHeight);
    EXPECT_EQ(platform.measuredWith, (FontDescriptor{"Control Sans", 16.0}));
    EXPECT_EQ(delegate.heightOfRow(1), 2 * FakePlatform::lineHeight);
    EXPECT_EQ(delegate.heightOfRow(5), 10.0);

    const char* withoutDays = R"(<Teachers_Timetable><Teacher name="Empty"/></Teachers_Timetable>)";
    ASSERT_TRUE(delegate.applicationOpenFile(folder.write("empty.xml", withoutDays)));
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 0);
    EXPECT_EQ(delegate.heightOfRow(0), 10.0);
}

// Both remembered check boxes reach the name list and the export; a change
// is stored and sorts the list again, the name shown staying selected.
struct ControllerWithChoices : Controller
{
    void SetUp() override
    {
        platform.preferences = {{"printReady", true}, {"alphabeticalOrder", true}};
        Controller::SetUp();
    }
};

TEST_F(ControllerWithChoices, PrintReadyAndAlphabeticalOrderAreRememberedAndExported)
{
    EXPECT_TRUE(platform.printReady);
    EXPECT_TRUE(platform.alphabetical);
    ASSERT_TRUE(delegate.applicationOpenFile(folder.copy("czech_names.xml")));
    EXPECT_EQ(platform.comboItems, (QStringList{"Cerny", "Černý", "Zeman"}));
    exportAs(&AppDelegate::onClickExportTeachers, "print.xlsx");

    platform.comboSelected = 1;
    delegate.onComboChange();
    platform.printReady = false;
    delegate.onPrintReadyChange();
    platform.alphabetical = false;
    delegate.onOrderChange();
    EXPECT_EQ(platform.comboItems, (QStringList{"Cerny", "Zeman", "Černý"}));
    EXPECT_EQ(platform.comboSelected, 2);
    EXPECT_EQ(delegate.timeTable()->value("Po"), QStringList{"2B"});
    EXPECT_EQ(platform.preferences.value("printReady"), false);
    EXPECT_EQ(platform.preferences.value("alphabeticalOrder"), false);
    exportAs(&AppDelegate::onClickExportTeachers, "plain.xlsx");

    // The sheets follow the list's order; only the print layout's footer
    // names the file.
    EXPECT_EQ(platform.progressLines,
              (QStringList{"0/4 All teachers", "1/4 Cerny", "2/4 Černý", "3/4 Zeman", "4/4 ",
                           "0/4 All teachers", "1/4 Cerny", "2/4 Zeman", "3/4 Černý", "4/4 "}));
    const char* sheet2 = "xl/worksheets/sheet2.xml";
    EXPECT_NE(support::zipEntry(folder.file("print.xlsx"), sheet2).find("czech_names.xml"),
              std::string::npos);
    EXPECT_EQ(support::zipEntry(folder.file("plain.xlsx"), sheet2).find("czech_names.xml"),
              std::string::npos);
}
