#include "app/window/ApplicationShell.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QCheckBox>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTextDocument>

#include "app/window/TimetableModel.h"

ApplicationShell::ApplicationShell(QSettings& settings, QObject* parent)
    : QObject(parent), _settings(settings), _recentDocuments(settings),
      _platform(_window, settings, _recentDocuments), _delegate(_platform)
{
    _platform.setRecentDocumentsChanged([this] { rebuildRecentMenu(); });
    wireControls();
    rebuildRecentMenu();
}

// The controller goes before the window, which still asks its table for
// cells while it closes: the table must not reach the controller then.
ApplicationShell::~ApplicationShell()
{
    saveGeometry();
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
    connect(_window.exportTeachersAction(), &QAction::triggered, this,
            [this] { _delegate.onClickExportTeachers(); });
    connect(_window.exportStudentsAction(), &QAction::triggered, this,
            [this] { _delegate.onClickExportStudents(); });
    connect(_window.roomsCheck(), &QCheckBox::toggled, this,
            [this] { _delegate.onDetailsChange(); });
    connect(_window.teachersCheck(), &QCheckBox::toggled, this,
            [this] { _delegate.onDetailsChange(); });
    // `clicked` comes from the user only, never from setting by program.
    connect(_window.printReadyCheck(), &QCheckBox::clicked, this,
            [this] { _delegate.onPrintReadyChange(); });
    connect(_window.alphabeticalCheck(), &QCheckBox::clicked, this,
            [this] { _delegate.onOrderChange(); });
    connect(&_window, &MainWindow::fileDropped, this,
            [this](const QString& path) { _delegate.applicationOpenFile(path); });
    connect(&_window, &MainWindow::tableResized, this, [this] { _platform.fitRowHeights(); });
    connect(_window.printAction(), &QAction::triggered, this, [this] { printWeek(); });
    connect(_window.aboutAction(), &QAction::triggered, this, [this] { showAbout(); });
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
        connect(entry, &QAction::triggered, this,
                [this, path] { _delegate.openRecentDocument(path); });
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

void ApplicationShell::saveGeometry()
{
    _settings.setValue(QStringLiteral("windowGeometry"), _window.saveGeometry());
}

void ApplicationShell::showAbout()
{
    QMessageBox::about(&_window, tr("About Horatab"),
                       tr("<p><b>Horatab</b> %1</p>"
                          "<p>Browses a teachers-timetable XML export and saves it as .xlsx "
                          "workbooks.</p><p>Licence: see the README.</p>")
                           .arg(QCoreApplication::applicationVersion().toHtmlEscaped()));
}

// The week on screen as a table, landscape, scaled to fit one page.
void ApplicationShell::printWeek()
{
    const TimetableModel* model = _window.tableModel();
    QString html =
        QStringLiteral("<h3>%1</h3><table border='1' cellspacing='0' cellpadding='4'><tr>")
            .arg(_window.comboBox()->currentText().toHtmlEscaped());
    for (int column = 0; column < model->columnCount(); ++column)
        html +=
            "<th>" + model->headerData(column, Qt::Horizontal).toString().toHtmlEscaped() + "</th>";
    html += "</tr>";
    for (int row = 0; row < model->rowCount(); ++row) {
        html += "<tr>";
        for (int column = 0; column < model->columnCount(); ++column)
            html +=
                "<td align='center'>" +
                model->index(row, column).data().toString().toHtmlEscaped().replace('\n', "<br>") +
                "</td>";
        html += "</tr>";
    }
    html += "</table>";

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, &_window);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&html](QPrinter* target) {
        QTextDocument document;
        document.setHtml(html);
        document.setTextWidth(1000);
        const QRectF page = target->pageLayout().paintRectPixels(target->resolution());
        const QSizeF size = document.size();
        const double scale = std::min(page.width() / size.width(), page.height() / size.height());
        QPainter painter(target);
        painter.scale(scale, scale);
        document.drawContents(&painter);
    });
    preview.exec();
}

void ApplicationShell::launch(const QStringList& files)
{
    _delegate.applicationDidFinishLaunching();
    const QByteArray geometry = _settings.value(QStringLiteral("windowGeometry")).toByteArray();
    if (!geometry.isEmpty())
        _window.restoreGeometry(geometry);
    _window.show();
    for (const QString& file : files)
        _delegate.applicationOpenFile(QFileInfo(file).absoluteFilePath());
}
