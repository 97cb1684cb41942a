#ifndef HORATAB_APP_WINDOW_MAINWINDOW_H
#define HORATAB_APP_WINDOW_MAINWINDOW_H

#include <QMainWindow>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;
class TimetableModel;

// The main window's widgets and menus. It holds no logic: its signals are
// wired to the controller by ApplicationShell, and QtPlatform drives it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    QPushButton* openButton() const { return _openButton; }
    QLineEdit* pathField() const { return _pathField; }
    QRadioButton* teachersRadio() const { return _teachersRadio; }
    QRadioButton* studentsRadio() const { return _studentsRadio; }
    QButtonGroup* radioGroup() const { return _radioGroup; }
    QComboBox* comboBox() const { return _comboBox; }
    QTableView* tableView() const { return _tableView; }
    TimetableModel* tableModel() const { return _tableModel; }
    QPushButton* exportTeachersButton() const { return _exportTeachersButton; }
    QPushButton* exportStudentsButton() const { return _exportStudentsButton; }
    QPushButton* fontButton() const { return _fontButton; }
    QAction* openAction() const { return _openAction; }
    QMenu* openRecentMenu() const { return _openRecentMenu; }
    QAction* quitAction() const { return _quitAction; }
    QAction* exportTeachersAction() const { return _exportTeachersAction; }
    QAction* exportStudentsAction() const { return _exportStudentsAction; }
    QAction* printAction() const { return _printAction; }
    QAction* aboutAction() const { return _aboutAction; }
    QCheckBox* roomsCheck() const { return _roomsCheck; }
    QCheckBox* teachersCheck() const { return _teachersCheck; }
    QCheckBox* printReadyCheck() const { return _printReadyCheck; }
    QCheckBox* alphabeticalCheck() const { return _alphabeticalCheck; }
    // What was loaded; a widget of the status bar, so menu hints only cover it.
    QLabel* statusLabel() const { return _statusLabel; }

signals:
    // An .xml file was dropped on the window.
    void fileDropped(const QString& path);
    // The table's width changed: rows may need other heights.
    void tableResized();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFileRow();
    QWidget* buildChoiceRow();
    QWidget* buildTable();
    QWidget* buildExportRow();
    void buildMenus();

    QPushButton* _openButton = nullptr;
    QLineEdit* _pathField = nullptr;
    QRadioButton* _teachersRadio = nullptr;
    QRadioButton* _studentsRadio = nullptr;
    QButtonGroup* _radioGroup = nullptr;
    QComboBox* _comboBox = nullptr;
    QTableView* _tableView = nullptr;
    TimetableModel* _tableModel = nullptr;
    QPushButton* _exportTeachersButton = nullptr;
    QPushButton* _exportStudentsButton = nullptr;
    QPushButton* _fontButton = nullptr;
    QAction* _openAction = nullptr;
    QMenu* _openRecentMenu = nullptr;
    QAction* _quitAction = nullptr;
    QAction* _exportTeachersAction = nullptr;
    QAction* _exportStudentsAction = nullptr;
    QAction* _printAction = nullptr;
    QAction* _aboutAction = nullptr;
    QCheckBox* _roomsCheck = nullptr;
    QCheckBox* _teachersCheck = nullptr;
    QCheckBox* _printReadyCheck = nullptr;
    QCheckBox* _alphabeticalCheck = nullptr;
    QLabel* _statusLabel = nullptr;
};

#endif  // HORATAB_APP_WINDOW_MAINWINDOW_H
