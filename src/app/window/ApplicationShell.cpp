#include "app/window/ApplicationShell.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>

ApplicationShell::ApplicationShell(QSettings& settings, QObject* parent)
    : QObject(parent), _recentDocuments(settings), _platform(_window, settings, _recentDocuments),
      _delegate(_platform)
{
    _platform.setRecentDocumentsChanged([this] { rebuildRecentMenu(); });
    wireControls();
    rebuildRecentMenu();
}

// The controller goes before the window, which still asks its table for
// cells while it closes: the table must not reach the controller then.
ApplicationShell::~ApplicationShell()
{
    _platform.tableSetDataSource(nullptr);
    _platform.tableSetDelegate(nullptr);
}

void ApplicationShell::wireControls()
{
    connect(_window.openButton(), &QPushButton::clicked, this,
            [this] { _delegate.onClickOpenTeacherFile(); });
    connect(_window.openAction(), &QAction::triggered, this,
            [this] { _delegate.onMenuOpenFile(); });
    connect(_window.quitAction(), &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(_window.radioGroup(), &QButtonGroup::idClicked, this,
            [this] { _delegate.onRadioChange(); });
    // `activated` comes from the user only, never from selecting by program.
    connect(_window.comboBox(), &QComboBox::activated, this, [this] { _delegate.onComboChange(); });
    connect(_window.exportTeachersButton(), &QPushButton::clicked, this,
            [this] { _delegate.onClickExportTeachers(); });
    connect(_window.exportStudentsButton(), &QPushButton::clicked, this,
            [this] { _delegate.onClickExportStudents(); });
    connect(_window.fontButton(), &QPushButton::clicked, this,
            [this] { _delegate.onChooseExcelFont(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [this] { _delegate.applicationWillTerminate(); });
}

void ApplicationShell::rebuildRecentMenu()
{
    QMenu* menu = _window.openRecentMenu();
    // Deferred deletion: the menu may be rebuilt from one of its own actions.
    for (QAction* old : menu->actions()) {
        menu->removeAction(old);
        old->deleteLater();
    }
    const QStringList paths = _recentDocuments.paths();
    for (const QString& path : paths) {
        QAction* entry = menu->addAction(QFileInfo(path).fileName());
        entry->setToolTip(path);
        entry->setStatusTip(path);
        // An entry opens as a request from outside the window, which does
        // not reorder the list.
        connect(entry, &QAction::triggered, this,
                [this, path] { _delegate.applicationOpenFile(path); });
    }
    if (!paths.isEmpty()) {
        menu->addSeparator();
        connect(menu->addAction(tr("Clear Menu")), &QAction::triggered, this, [this] {
            _recentDocuments.clear();
            rebuildRecentMenu();
        });
    }
    menu->setEnabled(!paths.isEmpty());
}

void ApplicationShell::launch(const QStringList& files)
{
    _delegate.applicationDidFinishLaunching();
    _window.show();
    for (const QString& file : files)
        _delegate.applicationOpenFile(QFileInfo(file).absoluteFilePath());
}
