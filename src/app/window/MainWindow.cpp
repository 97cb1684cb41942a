#include "app/window/MainWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
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
    resize(900, 620);
}

QWidget* MainWindow::buildFileRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    _openButton = new QPushButton(tr("Open timetable…"), row);
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

    _teachersRadio = new QRadioButton(QStringLiteral("Teachers"), row);
    _studentsRadio = new QRadioButton(QStringLiteral("Student groups"), row);
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
    layout->addWidget(new QLabel(tr("Show:"), row));
    layout->addWidget(_comboBox, 1);
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

    _exportTeachersButton = new QPushButton(tr("Export teachers…"), row);
    _exportStudentsButton = new QPushButton(tr("Export student groups…"), row);
    _fontButton = new QPushButton(tr("Spreadsheet font…"), row);
    _fontButton->setToolTip(tr("The font of every cell in exported workbooks"));

    layout->addWidget(_exportTeachersButton);
    layout->addWidget(_exportStudentsButton);
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
    _quitAction = fileMenu->addAction(tr("&Quit"));
    _quitAction->setShortcut(QKeySequence::Quit);
    _quitAction->setMenuRole(QAction::QuitRole);
}
