// The real window on Qt's offscreen platform: the bundled example loaded,
// teachers and groups switched, the table checked, a screenshot saved; the
// Qt side of alerts, settings and the recent-documents menu.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <iostream>

#include "app/window/ApplicationShell.h"
#include "app/window/TimetableModel.h"
#include "support.h"

namespace {

// A combo box's items (`headers` false) or a table's column titles.
QStringList textsOf(const QAbstractItemModel* model, bool headers = false)
{
    QStringList texts;
    for (int i = 0; i < (headers ? model->columnCount() : model->rowCount()); ++i)
        texts.append((headers ? model->headerData(i, Qt::Horizontal) : model->index(i, 0).data())
                         .toString());
    return texts;
}

// Alerts and save panels are modal: a timer answers each alert with "OK" and
// keeps it as "<! for a warning> <text> [<its buttons>]" for the tests to
// check, and answers a save panel with `savePath`.
QStringList alertsShown;
QString savePath;
void answerAlerts()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* alert = qobject_cast<QMessageBox*>(modal)) {
        QStringList texts;
        for (QAbstractButton* button : alert->buttons())
            texts << button->text().remove('&');
        alertsShown << (alert->icon() == QMessageBox::Warning ? "! " : "? ") + alert->text() +
                           " [" + texts.join('|') + ']';
        alert->buttons().value(0)->click();
    } else if (auto* panel = qobject_cast<QFileDialog*>(modal)) {
        panel->setOption(QFileDialog::DontConfirmOverwrite);
        panel->selectFile(savePath);
        static_cast<QDialog*>(panel)->accept();
    }
}

}  // namespace

TEST(Window, ShowsTheExampleForTeachersAndGroups)
{
    TempFolder folder;
    QSettings settings(folder.filePath("horatab.ini"), QSettings::IniFormat);
    ApplicationShell shell(settings);
    shell.launch({HORATAB_EXAMPLE_XML});
    MainWindow& window = shell.window();
    TimetableModel* model = window.tableModel();
    vorObjWrapper* bridge = shell.delegate().vorWrapper();
    QApplication::processEvents();

    EXPECT_EQ(window.pathField()->text(), QFileInfo(HORATAB_EXAMPLE_XML).absoluteFilePath());
    window.statusBar()->showMessage("a menu hint");
    window.statusBar()->clearMessage();
    EXPECT_EQ(window.statusLabel()->text(),
              "15 teachers \u00b7 8 groups \u00b7 5 days \u00d7 8 hours");
    const QStringList teacherColumns = textsOf(model, true);
    EXPECT_EQ(textsOf(window.comboBox()->model()), bridge->teachers());
    EXPECT_EQ(teacherColumns.value(0), "hour\\day");
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(model->index(0, 1).data(),
              shell.delegate().timeTable()->value(teacherColumns.value(1)).value(0));
    EXPECT_GT(window.tableView()->rowHeight(0), 10);  // sized for the cell text

    QTest::keyClick(window.comboBox(), Qt::Key_Down);  // another teacher: the columns stay
    EXPECT_EQ(textsOf(model, true), teacherColumns);
    EXPECT_EQ(shell.delegate().timeTable(), bridge->teacherTimeSchedule(bridge->teachers()[1]));
    window.studentsRadio()->click();
    EXPECT_EQ(textsOf(window.comboBox()->model()), bridge->students());
    EXPECT_EQ(shell.delegate().timeTable(), bridge->studentsTimeSchedule(bridge->students()[0]));
    const QString screenshot = HORATAB_SCREENSHOT_DIR "/horatab-window.png";
    ASSERT_TRUE(window.grab().save(screenshot));
    std::cout << "screenshot of the groups view: " << qPrintable(screenshot) << std::endl;
    window.teachersRadio()->click();
    EXPECT_EQ(textsOf(window.comboBox()->model()), bridge->teachers());
    EXPECT_EQ(textsOf(model, true), teacherColumns);
}

TEST(Window, FontFromSettingsRecentDocumentsAndARestart)
{
    TempFolder folder;
    QSettings settings(folder.filePath("horatab.ini"), QSettings::IniFormat);
    settings.setValue("excelFontFace", "DejaVu Sans Mono");
    settings.setValue("excelFontSize", 13);
    ApplicationShell shell(settings);
    MainWindow& window = shell.window();
    shell.launch({});
    EXPECT_EQ(shell.delegate().excelFont(), (FontDescriptor{"DejaVu Sans Mono", 13.0}));
    shell.delegate().changeFont({"DejaVu Serif", 12.7});
    EXPECT_EQ(window.fontButton()->text(), "fo&nt: DejaVu Serif 13");
    EXPECT_EQ(window.fontButton()->font().pointSizeF(), QApplication::font().pointSizeF());
    EXPECT_EQ(window.fontButton()->font().family(), "DejaVu Serif");

    EXPECT_FALSE(window.openRecentMenu()->isEnabled());
    const QString first = folder.copy("two_teachers.xml");
    const QString second = folder.copy("three_line_cell.xml");
    for (const QString& path :
         {first, second, first, second})  // as the open button does after each load
        shell.platform().noteNewRecentDocument(path);
    const QList<QAction*> entries = window.openRecentMenu()->actions();
    ASSERT_EQ(entries.size(), 4);  // two documents, a separator, "Clear Menu"
    EXPECT_EQ(entries[0]->text(), "three_line_cell.xml");
    entries[1]->trigger();  // opens and moves to the front
    EXPECT_EQ(textsOf(window.comboBox()->model()), (QStringList{"Adams", "Novak"}));
    EXPECT_EQ(shell.recentDocuments().paths(), (QStringList{first, second}));
    EXPECT_EQ(window.windowFilePath(), first);

    settings.sync();
    QSettings reread(folder.filePath("horatab.ini"), QSettings::IniFormat);
    ApplicationShell restarted(reread);
    restarted.launch({});
    EXPECT_EQ(restarted.delegate().excelFont(), (FontDescriptor{"DejaVu Serif", 12.7}));
    EXPECT_EQ(restarted.window().openRecentMenu()->actions().size(), 4);
    entries[3]->trigger();
    EXPECT_FALSE(window.openRecentMenu()->isEnabled());
    EXPECT_TRUE(shell.recentDocuments().paths().isEmpty());
    EXPECT_TRUE(alertsShown.isEmpty());
}

// A district-size export through the real window: the window's timers keep
// running while it is written, the progress dialog counts the sheets, and
// its Cancel button stops the export.
TEST(Window, DistrictExportStaysResponsiveAndCanBeCancelled)
{
    TempFolder folder;
    const QString district = folder.filePath("district.xml");
    QProcess generator;
    generator.setStandardOutputFile(district);
    generator.start(HORATAB_GEN_BIN, {"--district"});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0);
    QSettings settings(folder.filePath("horatab.ini"), QSettings::IniFormat);
    ApplicationShell shell(settings);
    shell.launch({district});

    int ticks = 0;
    int largestShown = 0;
    bool cancel = false;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!progress)
            return;
        ++ticks;
        largestShown = std::max(largestShown, progress->value());
        if (cancel && progress->value() > 10)
            progress->findChild<QPushButton*>()->click();  // Cancel
    });
    heartbeat.start(20);
    savePath = folder.filePath("district-teachers.xlsx");
    shell.window().exportTeachersButton()->click();
    EXPECT_GT(ticks, 5);  // the event loop ran all along: a blocked one gives none or one
    EXPECT_GT(largestShown, 1000);
    ASSERT_EQ(alertsShown.size(), 1);
    EXPECT_EQ(alertsShown[0], "? teachers saved on:\n" + savePath + " [OK|Open|Show in folder]");

    cancel = true;
    shell.window().exportTeachersAction()->trigger();
    EXPECT_EQ(alertsShown.value(1), "! ERROR saving teachers at:\n" + savePath +
                                        "\n\nCancelled: nothing was written. [OK]");
    alertsShown.clear();
}

TEST(QtPlatform, SavePanelPathsEndInTheExtension)
{
    const std::pair<const char*, const char*> paths[] = {
        {"/t/out", "/t/out.xlsx"},      {"/t/out.xlsx", "/t/out.xlsx"},
        {"/t/OUT.XLSX", "/t/OUT.XLSX"}, {"/t/out.xml", "/t/out.xml.xlsx"},
        {"/t/out.", "/t/out.xlsx"},     {"/t.d/out", "/t.d/out.xlsx"}};
    for (const auto& [path, expected] : paths)
        EXPECT_EQ(QtPlatform::withExtension(path, "xlsx"), expected) << path;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTimer alertGuard;
    QObject::connect(&alertGuard, &QTimer::timeout, &answerAlerts);
    alertGuard.start(50);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
