#ifndef HORATAB_APP_CONTROLLER_APPDELEGATE_H
#define HORATAB_APP_CONTROLLER_APPDELEGATE_H

#include <QString>

#include <memory>
#include <optional>

#include "app/bridge/vorObjWrapper.h"
#include "app/controller/AppPlatform.h"

// The controller of the main window: turns the user's actions into calls on
// the timetable bridge and shows the results through the platform. It is
// also the table's data source and delegate and the font panel's target.
class AppDelegate : public TableDataSource, public TableDelegate, public FontPanelTarget
{
public:
    explicit AppDelegate(AppPlatform& platform);
    ~AppDelegate() override;

    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Application lifecycle.
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    bool applicationShouldTerminateAfterLastWindowClosed() const;
    // A request to open a file from outside the window (command line, file
    // manager, recent documents); true when the file was loaded.
    bool applicationOpenFile(const QString& path);

    // Actions of the window's controls.
    void onClickOpenTeacherFile();
    void onMenuOpenFile();
    void onRadioChange();
    void onComboChange();
    void onClickExportTeachers();
    void onClickExportStudents();
    void onChooseExcelFont();
    void onUseDefaultFont();
    void changeFont(const FontDescriptor& chosen) override;
    // The "Rooms" or "Teachers" check box changed.
    void onDetailsChange();
    // The "Print-ready layout" check box changed: the next exports are laid
    // out for printing, or not. Remembered.
    void onPrintReadyChange();
    // The "Alphabetical order" check box changed: the name list and the
    // next exports follow the alphabet, or the names' bytes. Remembered.
    void onOrderChange();
    // An entry of Open Recent; a file that is gone leaves the list.
    void openRecentDocument(const QString& path);

    // Table data source and delegate.
    qint64 numberOfRowsInTableView() override;
    QString objectValueForTableColumn(const QString& columnIdentifier, qint64 row) override;
    double heightOfRow(qint64 row) override;

    void updateComboBox();
    void updateTableContent();
    void loadUserPreferencies();
    void showAlert(const QString& message, AlertStyle style);
    static QString keyForExcelFont();
    static QString keyForRadioSelection();
    static QString keyForPrintReady();
    static QString keyForAlphabeticalOrder();

    // State, for the window and for tests.
    const QString& fileInputPath() const { return _fileInputPath; }
    const QString& shownFilePath() const { return _shownFilePath; }
    qint64 radioSelection() const { return _radioSelection; }
    bool updateTableColumn() const { return _updateTableColumn; }
    vorObjWrapper* vorWrapper() const { return _vorWrapper.get(); }
    const std::optional<ScheduleDictionary>& timeTable() const { return _timeTable; }
    const FontDescriptor& excelFont() const { return _excelFont; }
    bool printReady() const { return _printReady; }
    bool alphabetical() const { return _alphabetical; }

private:
    enum class Workbook
    {
        Teachers,
        Students
    };

    std::optional<QString> openFile(const QString& path, const QString& fileType);
    bool loadTimetableFile(const QString& path);
    void exportWorkbook(Workbook which);
    void showSavedAlert(const QString& message, const QString& path);
    QString suggestedWorkbookName(Workbook which) const;
    QString statusLine() const;
    void showFontOnButton();
    void rebuildTableColumns();
    void clearTable();
    void fillComboBox(const QString& keep);
    nameOrder listOrder() const;
    const QStringList* columnTitles() const;
    const QStringList* columnCells(const QString& title) const;

    AppPlatform& _platform;
    QString _fileInputPath;
    QString _shownFilePath;
    qint64 _radioSelection = 0;
    bool _updateTableColumn = true;
    std::unique_ptr<vorObjWrapper> _vorWrapper;
    std::optional<ScheduleDictionary> _timeTable;
    FontDescriptor _excelFont;
    bool _printReady = false;
    bool _alphabetical = false;
};

#endif  // HORATAB_APP_CONTROLLER_APPDELEGATE_H
