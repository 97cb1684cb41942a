#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include "app/window/ApplicationShell.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Horatab"));
    QApplication::setApplicationName(QStringLiteral("Horatab"));
    QApplication::setApplicationVersion(QStringLiteral(HORATAB_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("horatab"));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Browse a teachers-timetable XML export and save it as .xlsx workbooks."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A timetable to open."),
                                    QStringLiteral("[FILE.xml]"));
    arguments.process(application);

    QSettings settings;
    ApplicationShell shell(settings);
    application.setQuitOnLastWindowClosed(shell.delegate().applicationShouldTerminateAfterLastWindowClosed());
    shell.launch(arguments.positionalArguments());
    return application.exec();
}
