#ifndef HORATAB_APP_CONTROLLER_APPPLATFORM_H
#define HORATAB_APP_CONTROLLER_APPPLATFORM_H

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

// A font as the controller keeps it: only the family and the size reach the
// spreadsheet.
struct FontDescriptor
{
    QString family;
    double pointSize = 0.0;

    bool operator==(const FontDescriptor& other) const
    {
        return family == other.family && pointSize == other.pointSize;
    }
    bool operator!=(const FontDescriptor& other) const { return !(*this == other); }
};

enum class AlertStyle : unsigned
{
    Warning = 0,
    Informational = 1
};

// What the timetable table asks for its rows and cells.
class TableDataSource
{
public:
    virtual ~TableDataSource() = default;
    virtual qint64 numberOfRowsInTableView() = 0;
    virtual QString objectValueForTableColumn(const QString& columnIdentifier, qint64 row) = 0;
};

// What the timetable table asks for its row heights.
class TableDelegate
{
public:
    virtual ~TableDelegate() = default;
    virtual double heightOfRow(qint64 row) = 0;
};

// Receives the font the user picks in the font panel.
class FontPanelTarget
{
public:
    virtual ~FontPanelTarget() = default;
    virtual void changeFont(const FontDescriptor& chosen) = 0;
};

// Every window-system operation the controller uses. The desktop build puts
// Qt Widgets behind it; tests use a scripted fake. Panels and alerts are
// modal: they return when the user has answered.
struct exportProgress;

class AppPlatform
{
public:
    virtual ~AppPlatform() = default;

    // An existing file with the extension `fileType`; empty when cancelled.
    virtual std::optional<QString> runOpenPanel(const QString& fileType) = 0;
    // A path for a new file that ends in ".<fileType>"; empty when
    // cancelled. The panel has `title` and offers `suggestedName` in the
    // folder last used.
    virtual std::optional<QString> runSavePanel(const QString& fileType, const QString& title,
                                                const QString& suggestedName) = 0;
    // An "OK" button, then `choices`; the index of the button pressed (0 for
    // OK).
    virtual int runAlert(const QString& message, AlertStyle style,
                         const QStringList& choices = QStringList()) = 0;
    // Runs `work` on another thread while a modal progress dialog shows what
    // `progress` reports, with a Cancel button that sets its flag, and a
    // busy cursor; returns work's result when it has finished.
    virtual bool runWithProgress(const QString& title, exportProgress& progress,
                                 const std::function<bool()>& work) = 0;
    virtual void setBusy(bool busy) = 0;  // the busy cursor
    // The desktop's program for the file, or its folder in the file manager.
    virtual void openWithDesktop(const QString& path) = 0;
    virtual void showInFolder(const QString& path) = 0;
    virtual bool fileExists(const QString& path) = 0;
    // Shows the font panel with `selected`; the user's pick goes to `target`.
    virtual void showFontPanel(const FontDescriptor& selected, FontPanelTarget* target) = 0;

    // Combo box of names; selecting by program sends no action.
    virtual void comboRemoveAllItems() = 0;
    virtual void comboAddItems(const QStringList& items) = 0;
    virtual void comboSelectItemAtIndex(int index) = 0;
    virtual int comboIndexOfSelectedItem() = 0;  // -1 without a selection
    virtual std::optional<QString> comboItemAtIndex(int index) = 0;

    // The timetable table. After tableReloadData it asks its data source
    // and delegate again for everything it shows.
    virtual void tableSetDataSource(TableDataSource* dataSource) = 0;
    virtual void tableSetDelegate(TableDelegate* delegate) = 0;
    virtual int tableColumnCount() = 0;
    virtual void tableRemoveLastColumn() = 0;
    virtual void tableAddColumn(const QString& identifier,
                                const QString& headerTitle) = 0;  // not editable
    virtual void tableSetNeedsDisplay() = 0;
    virtual void tableReloadData() = 0;

    virtual int radioSelectedColumn() = 0;  // 0 teachers, 1 student groups
    virtual void setRadioSelectedColumn(int column) = 0;
    // The "Rooms" and "Teachers" check boxes; the latter is offered in the
    // groups' view only.
    virtual bool roomsShown() = 0;
    virtual bool teachersShown() = 0;
    virtual void setTeachersCheckAvailable(bool available) = 0;
    // The "Print-ready layout" and "Alphabetical order" check boxes by the
    // export buttons; setting them by program sends no action.
    virtual bool printReadyChecked() = 0;
    virtual void setPrintReadyChecked(bool checked) = 0;
    virtual bool alphabeticalChecked() = 0;
    virtual void setAlphabeticalChecked(bool checked) = 0;
    // Export buttons and menu items.
    virtual void setExportEnabled(bool enabled) = 0;
    virtual void setWindowFilePath(const QString& path) = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual void setInputPathText(const QString& text) = 0;
    virtual void setFontButtonTitle(const QString& title) = 0;
    virtual void setFontButtonFont(const FontDescriptor& font) = 0;  // and redraws the button

    virtual FontDescriptor systemFont(double pointSize) = 0;
    virtual FontDescriptor controlContentFont(double pointSize) = 0;
    virtual FontDescriptor convertFontToFace(const FontDescriptor& font, const QString& face) = 0;
    virtual FontDescriptor convertFontToSize(const FontDescriptor& font, double pointSize) = 0;
    // Height in points of `text` drawn in `font`, all its lines included.
    virtual double textHeight(const QString& text, const FontDescriptor& font) = 0;

    // Per-user preferences that outlive the process; an invalid QVariant
    // for a missing key.
    virtual QVariant preference(const QString& key) = 0;
    virtual void setPreference(const QString& key, const QVariant& value) = 0;

    virtual void noteNewRecentDocument(const QString& path) = 0;
    virtual void removeRecentDocument(const QString& path) = 0;
    virtual void log(const QString& line) = 0;
};

#endif  // HORATAB_APP_CONTROLLER_APPPLATFORM_H
