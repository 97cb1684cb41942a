#include "app/window/RecentDocuments.h"

#include <QSettings>

namespace {

const char* const settingsKey = "recentDocuments";

}  // namespace

RecentDocuments::RecentDocuments(QSettings& settings) : _settings(settings) {}

QStringList RecentDocuments::paths() const
{
    return _settings.value(QLatin1String(settingsKey)).toStringList();
}

void RecentDocuments::add(const QString& path)
{
    _settings.setValue(QLatin1String(settingsKey), withDocument(paths(), path, maximumCount));
}

void RecentDocuments::remove(const QString& path)
{
    QStringList list = paths();
    list.removeAll(path);
    _settings.setValue(QLatin1String(settingsKey), list);
}

void RecentDocuments::clear()
{
    _settings.remove(QLatin1String(settingsKey));
}

QStringList RecentDocuments::withDocument(QStringList list, const QString& path, int maximum)
{
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > maximum)
        list.removeLast();
    return list;
}
