#ifndef HORATAB_APP_WINDOW_APPLICATIONSHELL_H
#define HORATAB_APP_WINDOW_APPLICATIONSHELL_H

#include <QObject>
#include <QStringList>

#include "app/controller/AppDelegate.h"
#include "app/window/MainWindow.h"
#include "app/window/QtPlatform.h"
#include "app/window/RecentDocuments.h"

class QSettings;

// The running application: the main window, its platform operations and
// the controller, wired together. Preferences live in `settings`.
class ApplicationShell : public QObject
{
    Q_OBJECT

public:
    explicit ApplicationShell(QSettings& settings, QObject* parent = nullptr);
    ~ApplicationShell() override;

    MainWindow& window() { return _window; }
    AppDelegate& delegate() { return _delegate; }
    QtPlatform& platform() { return _platform; }
    RecentDocuments& recentDocuments() { return _recentDocuments; }

    // Finishes launching, shows the window and opens the given files as
    // requests from outside the window.
    void launch(const QStringList& files);

private:
    void wireControls();
    void rebuildRecentMenu();
    void showAbout();
    void printWeek();
    void saveGeometry();

    QSettings& _settings;

    MainWindow _window;
    RecentDocuments _recentDocuments;
    QtPlatform _platform;
    AppDelegate _delegate;
};

#endif  // HORATAB_APP_WINDOW_APPLICATIONSHELL_H
