#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

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

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Horatab"));
    QCoreApplication::setApplicationName(QStringLiteral("Horatab"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HORATAB_VERSION));
}

}  // namespace

int main(int argc, char* argv[])
{
    if (onlyAsksForText(argc, argv)) {
        QCoreApplication textOnly(argc, argv);
        nameApplication();
        QCommandLineParser arguments;
        describeArguments(arguments);
        arguments.process(textOnly);  // prints and exits
        return 0;
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
