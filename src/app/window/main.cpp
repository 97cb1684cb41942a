#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include <cstdio>
#include <cstring>

#include "app/window/ApplicationShell.h"

namespace {

void describeArguments(QCommandLineParser& arguments)
{
    arguments.setApplicationDescription(
        QStringLiteral("Browse a teachers-timetable XML export and save it as .xlsx workbooks."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A timetable to open."),
                                    QStringLiteral("[FILE.xml]"));
}

// --help and --version answer without a window, so they work without a display.
bool onlyAsksForText(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "--help-all", "-?", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

// Without a display, and with no platform chosen by QT_QPA_PLATFORM or
// -platform, Qt cannot start a window and aborts the process.
bool canShowWindow(int argc, char* argv[])
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Horatab"));
    QCoreApplication::setApplicationName(QStringLiteral("Horatab"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HORATAB_VERSION));
}

}  // namespace

int main(int argc, char* argv[])
{
    const bool windowPossible = canShowWindow(argc, argv);
    if (onlyAsksForText(argc, argv) || !windowPossible) {
        QCoreApplication textOnly(argc, argv);
        nameApplication();
        QCommandLineParser arguments;
        describeArguments(arguments);
        arguments.process(textOnly);  // help, version or a wrong option: prints and exits
        if (windowPossible)
            return 0;
        std::fprintf(stderr, "horatab: no display to show the window on (DISPLAY and "
                             "WAYLAND_DISPLAY are not set); horatab-export writes the "
                             "workbooks without one.\n");
        return 1;
    }

    QApplication application(argc, argv);
    nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("horatab"));
    QCommandLineParser arguments;
    describeArguments(arguments);
    arguments.process(application);

    QSettings settings;
    ApplicationShell shell(settings);
    application.setQuitOnLastWindowClosed(
        shell.delegate().applicationShouldTerminateAfterLastWindowClosed());
    shell.launch(arguments.positionalArguments());
    return application.exec();
}
