#ifndef HORATAB_TESTS_APP_FAKEPLATFORM_H
#define HORATAB_TESTS_APP_FAKEPLATFORM_H

#include <QStringList>
#include <QVariantMap>

#include <deque>
#include <optional>
#include <vector>

#include "app/controller/AppPlatform.h"

// The controller's platform without a display: panels answer from scripts,
// alerts, log lines and table operations are recorded, the preferences are
// a map that can outlive one controller (a "restart").
class FakePlatform : public AppPlatform
{
public:
    struct Alert
    {
        QString message;
        AlertStyle style;
    };

    explicit FakePlatform(QVariantMap& preferences) : preferences(preferences) {}

    // Scripted answers: a path, or std::nullopt for Cancel.
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::optional<FontDescriptor> fontPanelPick;

    // What happened.
    QStringList openPanelTypes;
    QStringList savePanelTypes;
    std::vector<Alert> alerts;
    std::vector<FontDescriptor> fontPanelShown;
    QStringList logLines;
    QStringList recentDocuments;
    QStringList tableOperations;  // "remove", "add <identifier>|<title>"
    int reloads = 0;

    // Control state.
    QStringList comboItems;
    int comboSelected = -1;
    int radioColumn = 0;
    QStringList columns;
    TableDataSource* dataSource = nullptr;
    TableDelegate* tableDelegate = nullptr;
    QString pathText;
    QString fontButtonTitle;
    std::optional<FontDescriptor> fontButtonFont;
    std::vector<FontDescriptor> measuredWith;
    QVariantMap& preferences;

    static constexpr double lineHeight = 19.0;

    std::optional<QString> runOpenPanel(const QString& fileType) override
    {
        openPanelTypes.append(fileType);
        return next(openAnswers);
    }
    std::optional<QString> runSavePanel(const QString& fileType) override
    {
        savePanelTypes.append(fileType);
        return next(saveAnswers);
    }
    void runAlert(const QString& message, AlertStyle style) override { alerts.push_back(Alert{message, style}); }
    void showFontPanel(const FontDescriptor& selected, FontPanelTarget* target) override
    {
        fontPanelShown.push_back(selected);
        if (fontPanelPick && target)
            target->changeFont(*fontPanelPick);
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
        if (index < 0 || index >= comboItems.size())
            return std::nullopt;
        return comboItems.at(index);
    }

    void tableSetDataSource(TableDataSource* source) override { dataSource = source; }
    void tableSetDelegate(TableDelegate* delegate) override { tableDelegate = delegate; }
    int tableColumnCount() override { return int(columns.size()); }
    void tableRemoveLastColumn() override
    {
        columns.removeLast();
        tableOperations.append(QStringLiteral("remove"));
    }
    void tableAddColumn(const QString& identifier, const QString& headerTitle) override
    {
        columns.append(identifier);
        tableOperations.append(QStringLiteral("add ") + identifier + QLatin1Char('|') + headerTitle);
    }
    void tableSetNeedsDisplay() override {}
    void tableReloadData() override { ++reloads; }

    int radioSelectedColumn() override { return radioColumn; }
    void setInputPathText(const QString& text) override { pathText = text; }
    void setFontButtonTitle(const QString& title) override { fontButtonTitle = title; }
    void setFontButtonFont(const FontDescriptor& font) override { fontButtonFont = font; }

    FontDescriptor systemFont(double size) override { return FontDescriptor{QStringLiteral("System Sans"), size}; }
    FontDescriptor controlContentFont(double size) override
    {
        return FontDescriptor{QStringLiteral("Control Sans"), size};
    }
    FontDescriptor convertFontToFace(const FontDescriptor& font, const QString& face) override
    {
        return FontDescriptor{face, font.pointSize};
    }
    FontDescriptor convertFontToSize(const FontDescriptor& font, double size) override
    {
        return FontDescriptor{font.family, size};
    }
    // Each line is lineHeight tall; an empty text has no height.
    double textHeight(const QString& text, const FontDescriptor& font) override
    {
        measuredWith.push_back(font);
        return text.isEmpty() ? 0.0 : lineHeight * double(text.count(QLatin1Char('\n')) + 1);
    }

    QVariant preference(const QString& key) override { return preferences.value(key); }
    void setPreference(const QString& key, const QVariant& value) override { preferences.insert(key, value); }

    void noteNewRecentDocument(const QString& path) override { recentDocuments.append(path); }
    void log(const QString& line) override { logLines.append(line); }

private:
    static std::optional<QString> next(std::deque<std::optional<QString>>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

#endif
