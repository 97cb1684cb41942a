#include "app/window/MainWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStatusBar>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/window/TimetableModel.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Horatab"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildFileRow());
    layout->addWidget(buildChoiceRow());
    layout->addWidget(buildTable(), 1);
    layout->addWidget(buildExportRow());
    setCentralWidget(central);

    buildMenus();
    _statusLabel = new QLabel(tr("No timetable loaded"), this);
    statusBar()->addWidget(_statusLabel, 1);
    setAcceptDrops(true);
    resize(900, 620);
}

namespace {

// The first local .xml file among dropped URLs; empty when there is none.
QString droppedTimetable(const QMimeData* data)
{
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            QFileInfo(url.toLocalFile()).suffix().compare("xml", Qt::CaseInsensitive) == 0)
            return url.toLocalFile();
    }
    return QString();
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedTimetable(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedTimetable(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    emit fileDropped(path);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _tableView && event->type() == QEvent::Resize)
        emit tableResized();
    return QMainWindow::eventFilter(watched, event);
}

QWidget* MainWindow::buildFileRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    _openButton = new QPushButton(tr("&Open timetable…"), row);
    _pathField = new QLineEdit(row);
    _pathField->setReadOnly(true);
    _pathField->setPlaceholderText(tr("No timetable loaded"));

    layout->addWidget(_openButton);
    layout->addWidget(_pathField, 1);
    return row;
}

QWidget* MainWindow::buildChoiceRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    _teachersRadio = new QRadioButton(QStringLiteral("&Teachers"), row);
    _studentsRadio = new QRadioButton(QStringLiteral("Student &groups"), row);
    _teachersRadio->setChecked(true);
    _radioGroup = new QButtonGroup(row);
    _radioGroup->addButton(_teachersRadio, 0);
    _radioGroup->addButton(_studentsRadio, 1);

    _comboBox = new QComboBox(row);
    _comboBox->setMinimumContentsLength(24);
    _comboBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    layout->addWidget(_teachersRadio);
    layout->addWidget(_studentsRadio);
    layout->addSpacing(16);
    auto* show = new QLabel(tr("S&how:"), row);
    show->setBuddy(_comboBox);
    layout->addWidget(show);
    layout->addWidget(_comboBox, 1);
    // Facts added to the cells on screen; "Teachers" only in the groups' view.
    _roomsCheck = new QCheckBox(tr("&Rooms"), row);
    _teachersCheck = new QCheckBox(tr("T&eachers"), row);
    _teachersCheck->setEnabled(false);
    layout->addWidget(_roomsCheck);
    layout->addWidget(_teachersCheck);
    return row;
}

QWidget* MainWindow::buildTable()
{
    _tableModel = new TimetableModel(this);
    _tableView = new QTableView(this);
    _tableView->setModel(_tableModel);
    _tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    _tableView->setWordWrap(true);
    _tableView->setTabKeyNavigation(false);  // Tab moves on to the buttons
    _tableView->installEventFilter(this);
    _tableView->setAlternatingRowColors(true);
    _tableView->verticalHeader()->hide();
    _tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    _tableView->horizontalHeader()->setHighlightSections(false);
    _tableView->horizontalHeader()->setMinimumSectionSize(72);
    return _tableView;
}

QWidget* MainWindow::buildExportRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    _exportTeachersButton = new QPushButton(tr("E&xport teachers…"), row);
    _exportStudentsButton = new QPushButton(tr("Export stu&dent groups…"), row);
    _fontButton = new QPushButton(tr("Spreadsheet fo&nt…"), row);
    _fontButton->setToolTip(tr("The font of every cell in exported workbooks"));
    _printReadyCheck = new QCheckBox(tr("&Print-ready layout"), row);
    _printReadyCheck->setToolTip(
        tr("Exported sheets get titles, captions, borders and fitted columns, each "
           "teacher or group on one landscape page"));
    _alphabeticalCheck = new QCheckBox(tr("&Alphabetical order"), row);
    _alphabeticalCheck->setToolTip(
        tr("The name list and the exported sheets follow the alphabet (Černý after Cerny) "
           "instead of the names' bytes"));

    layout->addWidget(_exportTeachersButton);
    layout->addWidget(_exportStudentsButton);
    layout->addSpacing(12);
    layout->addWidget(_printReadyCheck);
    layout->addWidget(_alphabeticalCheck);
    layout->addStretch(1);
    layout->addWidget(_fontButton);
    return row;
}

void MainWindow::buildMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    _openAction = fileMenu->addAction(tr("&Open…"));
    _openAction->setShortcut(QKeySequence::Open);
    _openRecentMenu = fileMenu->addMenu(tr("Open &Recent"));
    fileMenu->addSeparator();
    _exportTeachersAction = fileMenu->addAction(tr("Export &Teachers…"));
    _exportTeachersAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    _exportStudentsAction = fileMenu->addAction(tr("Export &Student Groups…"));
    _exportStudentsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    fileMenu->addSeparator();
    _printAction = fileMenu->addAction(tr("&Print…"));
    _printAction->setShortcut(QKeySequence::Print);
    fileMenu->addSeparator();
    _quitAction = fileMenu->addAction(tr("&Quit"));
    _quitAction->setShortcut(QKeySequence::Quit);
    _quitAction->setMenuRole(QAction::QuitRole);

    QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
    _aboutAction = helpMenu->addAction(tr("&About Horatab"));
    _aboutAction->setMenuRole(QAction::AboutRole);
}
