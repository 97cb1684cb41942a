#ifndef HORATAB_APP_WINDOW_QTPLATFORM_H
#define HORATAB_APP_WINDOW_QTPLATFORM_H

#include <QFont>

#include <functional>

#include "app/controller/AppPlatform.h"

class MainWindow;
class QSettings;
class RecentDocuments;

// The controller's platform operations over Qt Widgets: the main window's
// controls, QFileDialog, QMessageBox, QFontDialog, QFontMetricsF, QSettings
// and Qt's log (stderr).
class QtPlatform : public AppPlatform
{
public:
    QtPlatform(MainWindow& window, QSettings& settings, RecentDocuments& recentDocuments);

    // Called after a document was added to the recent-documents list.
    void setRecentDocumentsChanged(std::function<void()> changed)
    {
        _recentChanged = std::move(changed);
    }

    std::optional<QString> runOpenPanel(const QString& fileType) override;
    std::optional<QString> runSavePanel(const QString& fileType, const QString& title,
                                        const QString& suggestedName) override;
    int runAlert(const QString& message, AlertStyle style,
                 const QStringList& choices = QStringList()) override;
    bool runWithProgress(const QString& title, exportProgress& progress,
                         const std::function<bool()>& work) override;
    void setBusy(bool busy) override;
    void openWithDesktop(const QString& path) override;
    void showInFolder(const QString& path) override;
    bool fileExists(const QString& path) override;
    void showFontPanel(const FontDescriptor& selected, FontPanelTarget* target) override;

    void comboRemoveAllItems() override;
    void comboAddItems(const QStringList& items) override;
    void comboSelectItemAtIndex(int index) override;
    int comboIndexOfSelectedItem() override;
    std::optional<QString> comboItemAtIndex(int index) override;

    void tableSetDataSource(TableDataSource* dataSource) override;
    void tableSetDelegate(TableDelegate* delegate) override;
    int tableColumnCount() override;
    void tableRemoveLastColumn() override;
    void tableAddColumn(const QString& identifier, const QString& headerTitle) override;
    void tableSetNeedsDisplay() override;
    void tableReloadData() override;

    int radioSelectedColumn() override;
    void setRadioSelectedColumn(int column) override;
    bool roomsShown() override;
    bool teachersShown() override;
    void setTeachersCheckAvailable(bool available) override;
    bool printReadyChecked() override;
    void setPrintReadyChecked(bool checked) override;
    bool alphabeticalChecked() override;
    void setAlphabeticalChecked(bool checked) override;
    void setExportEnabled(bool enabled) override;
    void setWindowFilePath(const QString& path) override;
    void setStatusText(const QString& text) override;
    // Rows as tall as their wrapped text in the columns' present widths.
    void fitRowHeights();
    void setInputPathText(const QString& text) override;
    void setFontButtonTitle(const QString& title) override;
    void setFontButtonFont(const FontDescriptor& font) override;

    FontDescriptor systemFont(double pointSize) override;
    FontDescriptor controlContentFont(double pointSize) override;
    FontDescriptor convertFontToFace(const FontDescriptor& font, const QString& face) override;
    FontDescriptor convertFontToSize(const FontDescriptor& font, double pointSize) override;
    double textHeight(const QString& text, const FontDescriptor& font) override;

    QVariant preference(const QString& key) override;
    void setPreference(const QString& key, const QVariant& value) override;

    void noteNewRecentDocument(const QString& path) override;
    void removeRecentDocument(const QString& path) override;
    void log(const QString& line) override;

    static QFont toQFont(const FontDescriptor& font);
    // `path` ending in ".<extension>" (any letter case), appended if missing.
    static QString withExtension(const QString& path, const QString& extension);

private:
    QString panelDirectory() const;
    void rememberPanelDirectory(const QString& path);

    MainWindow& _window;
    QSettings& _settings;
    RecentDocuments& _recentDocuments;
    std::function<void()> _recentChanged;
    TableDelegate* _tableDelegate = nullptr;
};

#endif  // HORATAB_APP_WINDOW_QTPLATFORM_H
