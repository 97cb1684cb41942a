// The main window controller through a fake platform: the font chain,
// opening, switching, the table, exports and their alerts.
#include <QFile>

#include "app/controller/AppDelegate.h"
#include "app/controller/fontArchive.h"
#include "support.h"
#include "support/reader.h"
#include "support/zip.h"

namespace {

const FontDescriptor calibri11{"Calibri", 11.0};

// The independent reader's view of a workbook: the first sheet's title, A3
// (a summary's first name) and the fonts and alignments of its cells.
QString readBack(const QString& workbook)
{
    const support::WorkbookRead book = support::readWorkbook(workbook.toStdString(), {0});
    if (!book.problem.empty() || book.grids.empty())
        return "reader failed: " + QString::fromStdString(book.problem);
    const QStringList rows = QString::fromStdString(book.grids[0]).split('\n');
    const QString a3 = rows.size() > 2 ? rows[2].section('\t', 0, 0) : QString();
    return QString::fromStdString(book.sheetNames[0]) + '|' + a3 + '|' +
           QString::fromStdString(book.header.at("FONTS"));
}

struct Controller : testing::Test
{
    TempFolder folder;
    FakePlatform platform;
    AppDelegate delegate{platform};

    void SetUp() override { delegate.applicationDidFinishLaunching(); }
    QString twoTeachers() { return folder.write("two.xml", fixtures::twoTeachers); }
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

TEST_F(Controller, BeforeAnyFileAndAfterCancelNothingChanges)
{
    delegate
        .onChooseExcelFont();  // the panel shows the spreadsheet font and reports to the controller
    EXPECT_EQ(platform.fontPanelFont, calibri11);
    EXPECT_EQ(platform.fontPanel, &delegate);
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

    openWithButton(twoTeachers());
    EXPECT_TRUE(platform.exportEnabled);
    EXPECT_EQ(platform.windowFilePath, folder.filePath("two.xml"));
    EXPECT_EQ(platform.statusText, "2 teachers \u00b7 3 groups \u00b7 2 days \u00d7 3 hours");
    delegate.onClickExportTeachers();
    delegate.onClickExportStudents();
    EXPECT_EQ(platform.panels,
              (QStringList{"open xml", "open xml", "save xlsx Export Teachers two-teachers.xlsx",
                           "save xlsx Export Student Groups two-students.xlsx"}));
    EXPECT_TRUE(platform.alerts.isEmpty());
    EXPECT_TRUE(platform.progressLines.isEmpty());
}

// Files opened by every route join the recents; a failed load names its
// reason; a recent file that is gone leaves the list with a message.
TEST_F(Controller, LoadReasonsAndRecentsFromEveryRoute)
{
    const QString good = twoTeachers(), missing = folder.filePath("missing.xml");
    const QString bad = folder.write("bad.xml", fixtures::malformed);
    openWithButton(missing);
    EXPECT_TRUE(platform.pathText.isEmpty());  // no timetable on screen yet
    EXPECT_TRUE(delegate.applicationOpenFile(good));
    const ScheduleDictionary shownTable = *delegate.timeTable();
    platform.columnOps.clear();
    EXPECT_FALSE(delegate.applicationOpenFile(bad));
    ASSERT_EQ(platform.alerts.size(), 2);
    EXPECT_TRUE(
        platform.alerts[0].startsWith("! ERROR loading timetable from:\n" + missing + "\n\n"));
    EXPECT_TRUE(platform.alerts[0].contains("No such file or directory"))
        << qPrintable(platform.alerts[0]);
    EXPECT_TRUE(platform.alerts[1].startsWith("! ERROR loading timetable from:\n" + bad + "\n\n"));
    EXPECT_TRUE(platform.alerts[1].contains("line 1")) << qPrintable(platform.alerts[1]);
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
    EXPECT_EQ(platform.alerts.last(),
              "! ERROR loading timetable from:\n" + missing +
                  "\n\nThe file no longer exists; it was removed from Open Recent.");
    EXPECT_EQ(platform.busy.join(' '), QString("busy idle ").repeated(6).trimmed());  // every load
}

TEST_F(Controller, ExportsTheirProgressReasonsAndTheSpreadsheetFont)
{
    ASSERT_TRUE(delegate.applicationOpenFile(
        folder.write("nogroups.xml", R"(<Teachers_Timetable><Teacher name="T">
      <Day name="Mo"><Hour name="1"><Subject name="Math"/></Hour></Day></Teacher></Teachers_Timetable>)")));
    exportAs(&AppDelegate::onClickExportStudents, "nogroups.xlsx");  // no group to export
    ASSERT_TRUE(delegate.applicationOpenFile(twoTeachers()));
    exportAs(&AppDelegate::onClickExportTeachers, "no-such-folder/t.xlsx");
    platform.alertAnswer = 2;  // "Show in folder"
    exportAs(&AppDelegate::onClickExportTeachers, "teachers.xlsx");
    EXPECT_TRUE(platform.logLines.isEmpty());  // Calibri 11 passes no font on
    const QString in = QString::fromStdString(folder.path());
    EXPECT_EQ(platform.desktop, QStringList{"folder " + in + "teachers.xlsx"});
    EXPECT_EQ(platform.progressLines.mid(platform.progressLines.size() - 4),
              (QStringList{"0/3 All teachers", "1/3 Adams", "2/3 Novak", "3/3 "}));

    // Cancel at the second sheet: the file already there stays as it was.
    platform.progressLines.clear();
    platform.cancelAtSheet = 1;
    exportAs(&AppDelegate::onClickExportTeachers, "teachers.xlsx");
    EXPECT_EQ(platform.progressLines, (QStringList{"0/3 All teachers", "1/3 Adams"}));
    EXPECT_EQ(readBack(in + "teachers.xlsx"), "All teachers|Adams|Calibri 11 None None");
    platform.cancelAtSheet = UINT64_MAX;
    platform.alertAnswer = 0;
    delegate.changeFont({"DejaVu Serif", 12.7});
    exportAs(&AppDelegate::onClickExportStudents, "groups.xlsx");

    const QString choices = " [Open|Show in folder]";
    EXPECT_EQ(platform.alerts,
              (QStringList{"! ERROR saving students at:\n" + in +
                               "nogroups.xlsx\n\nnothing to export: no hour names a student group",
                           "! ERROR saving teachers at:\n" + in +
                               "no-such-folder/t.xlsx\n\ncannot write the file " + in +
                               "no-such-folder/t.xlsx: No such file or directory",
                           "i teachers saved on:\n" + in + "teachers.xlsx" + choices,
                           "! ERROR saving teachers at:\n" + in +
                               "teachers.xlsx\n\nCancelled: nothing was written.",
                           "i students saved on:\n" + in + "groups.xlsx" + choices}));
    EXPECT_FALSE(QFile::exists(in + "nogroups.xlsx"));
    EXPECT_EQ(support::entryCount(folder.path()), 5u);  // two .xml, two workbooks, tmp
    EXPECT_EQ(folder.temporaryFiles(), 0u);
    EXPECT_EQ(platform.logLines, QStringList{"SetFont DejaVu Serif 13"});
    EXPECT_EQ(readBack(in + "groups.xlsx"), "All students|1A|DejaVu Serif 12 center center");
}

// The stored family stays as chosen even when it is not installed; the
// button names it; "Use default font" goes back to Calibri 11.
TEST_F(Controller, FontRulesIncludingAFamilyNotInstalled)
{
    EXPECT_EQ(platform.fontButtonTitle, "font: Calibri 11");
    delegate.changeFont({"No Such Family Anywhere", 14.0});
    EXPECT_EQ(platform.fontButtonTitle, "font: No Such Family Anywhere 14");
    EXPECT_EQ(platform.fontButtonFont, (FontDescriptor{"No Such Family Anywhere", 14.0}));
    FakePlatform restarted;
    restarted.preferences = platform.preferences;
    AppDelegate again{restarted};
    again.applicationDidFinishLaunching();
    EXPECT_EQ(again.excelFont(), (FontDescriptor{"No Such Family Anywhere", 14.0}));
    EXPECT_EQ(restarted.fontButtonTitle, "font: No Such Family Anywhere 14");
    again.onUseDefaultFont();
    EXPECT_EQ(again.excelFont(), calibri11);
    EXPECT_EQ(unarchiveFont(restarted.preferences.value("excelFont").toByteArray()), calibri11);
}

TEST_F(Controller, ComboChangeKeepsColumnsRadioSwitchRebuildsThem)
{
    const QStringList teacherColumns{"add hour\\day|hour\\day", "add Monday|Monday"};
    openWithButton(twoTeachers());
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
    openWithButton(twoTeachers());
    openWithButton(folder.write("other.xml", R"(<Timetable><Teacher name="Nobody"/></Timetable>)"));
    EXPECT_TRUE(platform.comboItems.isEmpty());
    EXPECT_TRUE(platform.columns.isEmpty());
    EXPECT_EQ(platform.logLines, QStringList{"comboIndex -1!!!"});
    EXPECT_EQ(delegate.numberOfRowsInTableView(), 0);
    openWithButton(folder.filePath("two.xml"));  // the next timetable gets its columns again
    EXPECT_EQ(platform.columns, (QStringList{"hour\\day", "Monday"}));
}

TEST_F(Controller, CellsRowHeightsAndTheTextForMissingCells)
{
    EXPECT_EQ(delegate.objectValueForTableColumn("Monday", 0), "row 0:Monday");  // no timetable
    EXPECT_EQ(delegate.heightOfRow(0), 10.0);
    ASSERT_TRUE(delegate.applicationOpenFile(folder.write("kral.xml", fixtures::threeLineCell)));
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
TEST(ControllerExportChoices, PrintReadyAndAlphabeticalOrderAreRememberedAndExported)
{
    TempFolder folder;
    FakePlatform platform;
    platform.preferences = {{"printReady", true}, {"alphabeticalOrder", true}};
    AppDelegate delegate{platform};
    delegate.applicationDidFinishLaunching();
    EXPECT_TRUE(platform.printReady);
    EXPECT_TRUE(platform.alphabetical);
    ASSERT_TRUE(delegate.applicationOpenFile(folder.write("czech.xml", R"(<Teachers_Timetable>
<Teacher name="Zeman"><Day name="Po"><Hour name="1"><Students name="1A"/></Hour></Day></Teacher>
<Teacher name="Černý"><Day name="Po"><Hour name="1"><Students name="2B"/></Hour></Day></Teacher>
<Teacher name="Cerny"><Day name="Po"><Hour name="1"><Students name="3C"/></Hour></Day></Teacher>
</Teachers_Timetable>)")));
    EXPECT_EQ(platform.comboItems, (QStringList{"Cerny", "Černý", "Zeman"}));
    platform.panelAnswers.append(folder.filePath("print.xlsx"));
    delegate.onClickExportTeachers();

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
    platform.panelAnswers.append(folder.filePath("plain.xlsx"));
    delegate.onClickExportTeachers();

    const support::WorkbookRead print = support::readWorkbook(folder.file("print.xlsx"));
    const support::WorkbookRead plain = support::readWorkbook(folder.file("plain.xlsx"));
    ASSERT_EQ(print.grids.size(), 4u);
    ASSERT_EQ(plain.grids.size(), 4u);
    EXPECT_EQ(print.sheetNames, (support::names{"All teachers", "Cerny", "Černý", "Zeman"}));
    EXPECT_EQ(print.grids[1].substr(0, 6), "Cerny\n");  // the print layout's title
    EXPECT_NE(
        support::zipEntry(folder.file("print.xlsx"), "xl/worksheets/sheet2.xml").find("czech.xml"),
        std::string::npos);  // the footer names the file
    EXPECT_EQ(plain.sheetNames, (support::names{"All teachers", "Cerny", "Zeman", "Černý"}));
    EXPECT_EQ(plain.grids[1].substr(0, 9), "hour\\day\t");
}
