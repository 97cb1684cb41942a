// The real window on Qt's offscreen platform: the bundled example loaded,
// teachers and groups switched, the table checked, a screenshot saved; and
// the Qt side of preferences, recent documents, alerts and panels' paths.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <iostream>
#include <memory>

#include "TempFolder.h"
#include "app/controller/fontArchive.h"
#include "app/window/ApplicationShell.h"
#include "app/window/QtPlatform.h"
#include "app/window/TimetableModel.h"
#include "fixtures.h"

namespace {

const QString examplePath = QStringLiteral(HORATAB_EXAMPLE_XML);

struct Window : testing::Test
{
    TempFolder folder;
    std::unique_ptr<QSettings> settings;

    void SetUp() override
    {
        ASSERT_TRUE(folder.valid());
        settings = std::make_unique<QSettings>(folder.file("horatab.ini"), QSettings::IniFormat);
    }

    static QStringList comboItems(ApplicationShell& shell)
    {
        QStringList items;
        QComboBox* combo = shell.window().comboBox();
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        return items;
    }

    static QStringList headerTitles(ApplicationShell& shell)
    {
        QStringList titles;
        TimetableModel* model = shell.window().tableModel();
        for (int c = 0; c < model->columnCount(); ++c)
            titles.append(model->headerData(c, Qt::Horizontal).toString());
        return titles;
    }

    static QString cell(ApplicationShell& shell, int row, int column)
    {
        TimetableModel* model = shell.window().tableModel();
        return model->data(model->index(row, column)).toString();
    }

    // Presses "OK" on the next modal alert and hands back its text.
    static void answerNextAlert(QString* text, QMessageBox::Icon* icon)
    {
        QTimer::singleShot(0, [text, icon] {
            auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!alert)
                return;
            *text = alert->text();
            *icon = alert->icon();
            const QList<QAbstractButton*> buttons = alert->buttons();
            if (buttons.size() == 1 && buttons.first()->text() == QStringLiteral("OK"))
                buttons.first()->click();
            else
                alert->reject();
        });
    }
};

} // namespace

TEST_F(Window, ShowsTheExampleForTeachersAndGroups)
{
    ASSERT_TRUE(QFileInfo::exists(examplePath)) << qPrintable(examplePath);
    ApplicationShell shell(*settings);
    shell.launch({examplePath});
    MainWindow& window = shell.window();
    QApplication::processEvents();

    EXPECT_EQ(window.pathField()->text(), QFileInfo(examplePath).absoluteFilePath());
    const QStringList teachers = comboItems(shell);
    ASSERT_GE(teachers.size(), 2);
    EXPECT_EQ(window.comboBox()->currentIndex(), 0);
    QStringList sorted = teachers;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    EXPECT_EQ(teachers, sorted);

    const QStringList teacherColumns = headerTitles(shell);
    ASSERT_GE(teacherColumns.size(), 2);
    EXPECT_EQ(teacherColumns.first(), QStringLiteral("hour\\day"));
    TimetableModel* model = window.tableModel();
    ASSERT_GT(model->rowCount(), 0);
    EXPECT_FALSE(cell(shell, 0, 0).isEmpty());
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
    bool twoLineCell = false;
    for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 1; c < model->columnCount(); ++c)
            twoLineCell = twoLineCell || cell(shell, r, c).contains(QLatin1Char('\n'));
    EXPECT_TRUE(twoLineCell) << "a teacher's cells show group and subject on two lines";
    // Rows are sized for the cell text; a two-line row is taller than one line.
    EXPECT_GT(window.tableView()->rowHeight(0), 10);

    // Another teacher from the keyboard: the columns stay.
    window.comboBox()->setFocus();
    QTest::keyClick(window.comboBox(), Qt::Key_Down);
    EXPECT_EQ(window.comboBox()->currentIndex(), 1);
    EXPECT_EQ(headerTitles(shell), teacherColumns);
    EXPECT_EQ(shell.delegate().timeTable(), shell.delegate().vorWrapper()->teacherTimeSchedule(teachers.at(1)));

    window.studentsRadio()->click();
    QApplication::processEvents();
    const QStringList groups = comboItems(shell);
    ASSERT_FALSE(groups.isEmpty());
    EXPECT_NE(groups, teachers);
    EXPECT_EQ(window.comboBox()->currentIndex(), 0);
    EXPECT_EQ(headerTitles(shell).first(), QStringLiteral("hour\\day"));
    EXPECT_GT(model->rowCount(), 0);

    const QString screenshot = QStringLiteral(HORATAB_SCREENSHOT_DIR "/horatab-window.png");
    ASSERT_TRUE(window.grab().save(screenshot));
    std::cout << "screenshot of the groups view: " << qPrintable(screenshot) << std::endl;

    window.teachersRadio()->click();
    EXPECT_EQ(comboItems(shell), teachers);
    EXPECT_EQ(headerTitles(shell), teacherColumns);
    ASSERT_TRUE(window.grab().save(QStringLiteral(HORATAB_SCREENSHOT_DIR "/horatab-window-teachers.png")));
}

TEST_F(Window, FailedLoadShowsAlertAndKeepsThePath)
{
    ASSERT_TRUE(QFileInfo::exists(examplePath)) << qPrintable(examplePath);
    ApplicationShell shell(*settings);
    shell.launch({examplePath});
    const QStringList teachers = comboItems(shell);

    const QString bad = folder.write("bad.xml", fixtures::malformed());
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    answerNextAlert(&text, &icon);
    EXPECT_FALSE(shell.delegate().applicationOpenFile(bad));

    EXPECT_EQ(text, "ERROR loading timetable from:\n" + bad);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(shell.window().pathField()->text(), QFileInfo(examplePath).absoluteFilePath());
    EXPECT_EQ(comboItems(shell), teachers);
}

TEST_F(Window, FontSurvivesARestartThroughSettings)
{
    {
        ApplicationShell shell(*settings);
        shell.launch({});
        EXPECT_EQ(shell.window().fontButton()->font().family(), QStringLiteral("Calibri"));
        shell.delegate().changeFont({"DejaVu Serif", 14.0});
        EXPECT_EQ(shell.window().fontButton()->text(), QStringLiteral("font: DejaVu Serif 14"));
        EXPECT_EQ(shell.window().fontButton()->font().family(), QStringLiteral("DejaVu Serif"));
    }
    settings = std::make_unique<QSettings>(folder.file("horatab.ini"), QSettings::IniFormat);
    ApplicationShell restarted(*settings);
    restarted.launch({});
    EXPECT_EQ(restarted.delegate().excelFont(), (FontDescriptor{"DejaVu Serif", 14.0}));
    EXPECT_EQ(restarted.window().fontButton()->font().family(), QStringLiteral("DejaVu Serif"));
}

TEST_F(Window, FallbackFontKeysFromSettings)
{
    settings->setValue("excelFontFace", "DejaVu Sans Mono");
    settings->setValue("excelFontSize", 13);
    settings->sync();
    settings = std::make_unique<QSettings>(folder.file("horatab.ini"), QSettings::IniFormat);
    ApplicationShell shell(*settings);
    shell.launch({});
    EXPECT_EQ(shell.delegate().excelFont(), (FontDescriptor{"DejaVu Sans Mono", 13.0}));
}

TEST_F(Window, RecentDocumentsMenuOpensWithoutReordering)
{
    const QString first = folder.write("first.xml", fixtures::twoTeachers());
    const QString second = folder.write("second.xml", fixtures::threeLineCell());
    ApplicationShell shell(*settings);
    shell.launch({});
    QMenu* menu = shell.window().openRecentMenu();
    EXPECT_FALSE(menu->isEnabled());

    EXPECT_TRUE(shell.delegate().applicationOpenFile(first));
    EXPECT_TRUE(shell.recentDocuments().paths().isEmpty());

    // What the open button does after each successful load.
    shell.platform().noteNewRecentDocument(first);
    shell.platform().noteNewRecentDocument(second);
    ASSERT_TRUE(menu->isEnabled());
    QList<QAction*> entries = menu->actions();
    ASSERT_EQ(entries.size(), 4);  // two documents, a separator, "Clear Menu"
    EXPECT_EQ(entries[0]->text(), QStringLiteral("second.xml"));
    EXPECT_EQ(entries[1]->text(), QStringLiteral("first.xml"));

    entries[1]->trigger();
    EXPECT_EQ(shell.window().pathField()->text(), first);
    EXPECT_EQ(comboItems(shell), (QStringList{"Adams", "Novak"}));
    EXPECT_EQ(shell.recentDocuments().paths(), (QStringList{second, first}));

    // The list lives in the settings and is there after a restart.
    ApplicationShell restarted(*settings);
    EXPECT_EQ(restarted.window().openRecentMenu()->actions().size(), 4);

    entries[3]->trigger();
    EXPECT_FALSE(menu->isEnabled());
    EXPECT_TRUE(shell.recentDocuments().paths().isEmpty());
}

TEST(RecentDocuments, MostRecentFirstWithoutDuplicatesAndBounded)
{
    QStringList list;
    list = RecentDocuments::withDocument(list, "/a.xml", 3);
    list = RecentDocuments::withDocument(list, "/b.xml", 3);
    list = RecentDocuments::withDocument(list, "/a.xml", 3);
    EXPECT_EQ(list, (QStringList{"/a.xml", "/b.xml"}));
    list = RecentDocuments::withDocument(list, "/c.xml", 3);
    list = RecentDocuments::withDocument(list, "/d.xml", 3);
    EXPECT_EQ(list, (QStringList{"/d.xml", "/c.xml", "/a.xml"}));
}

TEST(QtPlatformPaths, SavePanelPathsEndInTheExtension)
{
    EXPECT_EQ(QtPlatform::withExtension("/t/out", "xlsx"), QStringLiteral("/t/out.xlsx"));
    EXPECT_EQ(QtPlatform::withExtension("/t/out.xlsx", "xlsx"), QStringLiteral("/t/out.xlsx"));
    EXPECT_EQ(QtPlatform::withExtension("/t/OUT.XLSX", "xlsx"), QStringLiteral("/t/OUT.XLSX"));
    EXPECT_EQ(QtPlatform::withExtension("/t/out.xml", "xlsx"), QStringLiteral("/t/out.xml.xlsx"));
    EXPECT_EQ(QtPlatform::withExtension("/t/out.", "xlsx"), QStringLiteral("/t/out.xlsx"));
    EXPECT_EQ(QtPlatform::withExtension("/t.d/out", "xlsx"), QStringLiteral("/t.d/out.xlsx"));
}

// An alert that no test expects would wait for a click forever: report it
// and close it.
void closeUnexpectedAlerts()
{
    auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!alert)
        return;
    ADD_FAILURE() << "unexpected alert: " << qPrintable(alert->text());
    alert->reject();
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Horatab"));
    QApplication::setApplicationName(QStringLiteral("Horatab"));
    QTimer alertGuard;
    QObject::connect(&alertGuard, &QTimer::timeout, &closeUnexpectedAlerts);
    alertGuard.start(500);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
