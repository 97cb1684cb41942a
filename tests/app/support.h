#ifndef HORATAB_TESTS_APP_SUPPORT_H
#define HORATAB_TESTS_APP_SUPPORT_H

#include <QFileInfo>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "app/controller/AppPlatform.h"
#include "timetable/timeTable.h"
#include "support/data.h"
#include "support/scratch.h"

// A file of tests/app/data. two_teachers.xml: Novak (Monday: 3 hours, the
// third free; Tuesday: 1 hour) and Adams (Monday: 2 hours); groups 1A (both
// teachers), 2B (Novak), 3C (Adams). three_line_cell.xml: one teacher whose
// first cell names a group with a slash, a three-line cell.
inline QByteArray appData(const char* name)
{
    return QByteArray::fromStdString(support::testFile(std::string("app/data/") + name));
}
inline const char* malformed = "<Teachers_Timetable><Teacher name=\"Novak\"><Day>";

// A scratch folder with Qt paths; `copy` puts a data file in it.
struct TempFolder : support::ScratchFolder
{
    QString filePath(const QString& name) const
    {
        return QString::fromStdString(file(name.toStdString()));
    }
    QString write(const QString& name, const QByteArray& bytes) const
    {
        return QString::fromStdString(
            ScratchFolder::write(name.toStdString(), bytes.toStdString()));
    }
    QString copy(const char* data) const { return write(data, appData(data)); }
};

// The controller's platform without a display: panels answer from a script;
// alerts ("! text" for a warning, "i text" otherwise), log lines and column
// operations are recorded.
class FakePlatform : public AppPlatform
{
public:
    QStringList panelAnswers;  // the paths chosen in the next panels; none or "" is Cancel
    FontPanelTarget* fontPanel = nullptr;  // the last font panel's target
    QStringList panels, alerts, logLines, recentDocuments, comboItems, columns;
    QStringList columnOps;  // "remove", "add <identifier>|<title>"
    std::optional<FontDescriptor> fontPanelFont, fontButtonFont, measuredWith;
    QString pathText, fontButtonTitle;
    int comboSelected = -1, radioColumn = 0, reloads = 0, alertAnswer = 0;
    bool exportEnabled = true, printReady = false, alphabetical = false;
    QStringList progressLines, busy, desktop;  // desktop: "open <path>", "folder <path>"
    uint64_t cancelAtSheet = UINT64_MAX;       // the sheet report that presses Cancel
    QVariantMap preferences;
    static constexpr double lineHeight = 19.0;

    std::optional<QString> runOpenPanel(const QString& type) override
    {
        return answer("open " + type);
    }
    std::optional<QString> runSavePanel(const QString& type, const QString& title,
                                        const QString& suggested) override
    {
        return answer("save " + type + " " + title + " " + suggested);
    }
    int runAlert(const QString& t, AlertStyle s, const QStringList& choices) override
    {
        alerts << (s == AlertStyle::Warning ? "! " : "i ") + t +
                      (choices.isEmpty() ? "" : " [" + choices.join('|') + ']');
        return alertAnswer;
    }
    bool runWithProgress(const QString& title, exportProgress& progress,
                         const std::function<bool()>& work) override
    {
        progress.sheetStarted = [&](uint64_t done, uint64_t total, const std::string& name) {
            progressLines << QString("%1/%2 %3").arg(done).arg(total).arg(name.c_str());
            if (done == cancelAtSheet)
                progress.cancelled = true;
        };
        busy << title;
        return work();
    }
    void setBusy(bool on) override { busy << (on ? "busy" : "idle"); }
    void openWithDesktop(const QString& path) override { desktop << "open " + path; }
    void showInFolder(const QString& path) override { desktop << "folder " + path; }
    bool fileExists(const QString& path) override { return QFileInfo(path).isFile(); }
    void showFontPanel(const FontDescriptor& f, FontPanelTarget* to) override
    {
        fontPanelFont = f;
        fontPanel = to;
    }
    void comboRemoveAllItems() override
    {
        comboItems.clear();
        comboSelected = -1;
    }
    void comboAddItems(const QStringList& items) override { comboItems += items; }
    void comboSelectItemAtIndex(int index) override { comboSelected = index; }
    int comboIndexOfSelectedItem() override { return comboSelected; }
    std::optional<QString> comboItemAtIndex(int index) override
    {
        return index >= 0 && index < comboItems.size()
                   ? std::optional<QString>(comboItems.at(index))
                   : std::nullopt;
    }
    void tableSetDataSource(TableDataSource*) override {}
    void tableSetDelegate(TableDelegate*) override {}
    int tableColumnCount() override { return int(columns.size()); }
    void tableRemoveLastColumn() override
    {
        columns.removeLast();
        columnOps.append("remove");
    }
    void tableAddColumn(const QString& id, const QString& title) override
    {
        columns << id;
        columnOps << "add " + id + '|' + title;
    }
    void tableSetNeedsDisplay() override {}
    void tableReloadData() override { ++reloads; }
    int radioSelectedColumn() override { return radioColumn; }
    void setRadioSelectedColumn(int column) override { radioColumn = column; }
    bool roomsShown() override { return false; }
    bool teachersShown() override { return false; }
    void setTeachersCheckAvailable(bool) override {}
    bool printReadyChecked() override { return printReady; }
    void setPrintReadyChecked(bool on) override { printReady = on; }
    bool alphabeticalChecked() override { return alphabetical; }
    void setAlphabeticalChecked(bool on) override { alphabetical = on; }
    void setExportEnabled(bool on) override { exportEnabled = on; }
    void setWindowFilePath(const QString&) override {}
    void setStatusText(const QString&) override {}
    void setInputPathText(const QString& text) override { pathText = text; }
    void setFontButtonTitle(const QString& title) override { fontButtonTitle = title; }
    void setFontButtonFont(const FontDescriptor& font) override { fontButtonFont = font; }
    FontDescriptor systemFont(double size) override { return {"System Sans", size}; }
    FontDescriptor controlContentFont(double size) override { return {"Control Sans", size}; }
    FontDescriptor convertFontToFace(const FontDescriptor& f, const QString& to) override
    {
        return {to, f.pointSize};
    }
    FontDescriptor convertFontToSize(const FontDescriptor& font, double size) override
    {
        return {font.family, size};
    }
    double textHeight(const QString& text, const FontDescriptor& font) override
    {
        measuredWith = font;
        return text.isEmpty() ? 0.0 : lineHeight * double(text.count('\n') + 1);
    }
    QVariant preference(const QString& key) override { return preferences.value(key); }
    void setPreference(const QString& key, const QVariant& value) override
    {
        preferences.insert(key, value);
    }
    void noteNewRecentDocument(const QString& path) override { recentDocuments.append(path); }
    void removeRecentDocument(const QString& path) override
    {
        recentDocuments.append("removed " + path);
    }
    void log(const QString& line) override { logLines.append(line); }

private:
    std::optional<QString> answer(const QString& panel)
    {
        panels.append(panel);
        const QString path = panelAnswers.isEmpty() ? QString() : panelAnswers.takeFirst();
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }
};

#endif  // HORATAB_TESTS_APP_SUPPORT_H
