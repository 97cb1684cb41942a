#ifndef HORATAB_APP_BRIDGE_SCHEDULEDICTIONARY_H
#define HORATAB_APP_BRIDGE_SCHEDULEDICTIONARY_H

#include <QHash>
#include <QString>
#include <QStringList>

#include <string>

#include "timetable/BaseMatrix.h"

// A schedule as the window shows it: headerRowKey() maps to the column
// titles, each title to that column's cells from row 1 down. A later column
// whose title repeats an earlier one replaces that one's cells.
using ScheduleDictionary = QHash<QString, QStringList>;

// The key of the list of column titles: "headerRow".
QString headerRowKey();

// Every "/" of a cell becomes a line break, so "1A / Math" shows as two lines.
ScheduleDictionary timeMetrixToDictionary(const BaseMatrix<std::string>& matrix);

#endif  // HORATAB_APP_BRIDGE_SCHEDULEDICTIONARY_H
