#ifndef HORATAB_APP_WINDOW_RECENTDOCUMENTS_H
#define HORATAB_APP_WINDOW_RECENTDOCUMENTS_H

#include <QString>
#include <QStringList>

class QSettings;

// The recent-documents list behind File > Open Recent, most recent first,
// kept in the preferences under "recentDocuments".
class RecentDocuments
{
public:
    static constexpr int maximumCount = 10;

    explicit RecentDocuments(QSettings& settings);

    QStringList paths() const;
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

    // `list` with `path` moved or added to the front, at most `maximum` long.
    static QStringList withDocument(QStringList list, const QString& path, int maximum);

private:
    QSettings& _settings;
};

#endif  // HORATAB_APP_WINDOW_RECENTDOCUMENTS_H
