#include "app/window/TimetableModel.h"

#include <QFont>
#include <QtGlobal>

#include <climits>

#include "app/controller/AppPlatform.h"

TimetableModel::TimetableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TimetableModel::setDataSource(TableDataSource* dataSource)
{
    _dataSource = dataSource;
}

void TimetableModel::addColumn(const QString& identifier, const QString& headerTitle)
{
    const int at = int(_columns.size());
    beginInsertColumns(QModelIndex(), at, at);
    _columns.append(Column{identifier, headerTitle});
    endInsertColumns();
}

void TimetableModel::removeLastColumn()
{
    if (_columns.isEmpty())
        return;
    const int last = int(_columns.size()) - 1;
    beginRemoveColumns(QModelIndex(), last, last);
    _columns.removeLast();
    endRemoveColumns();
}

void TimetableModel::reload()
{
    beginResetModel();
    const qint64 rows = _dataSource ? _dataSource->numberOfRowsInTableView() : 0;
    _rowCount = int(qBound(qint64(0), rows, qint64(INT_MAX)));
    endResetModel();
}

QString TimetableModel::columnIdentifier(int column) const
{
    return column >= 0 && column < _columns.size() ? _columns.at(column).identifier : QString();
}

int TimetableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : _rowCount;
}

int TimetableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(_columns.size());
}

QVariant TimetableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !_dataSource || index.column() >= _columns.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return _dataSource->objectValueForTableColumn(_columns.at(index.column()).identifier,
                                                      index.row());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::FontRole:
        if (index.column() == 0) {  // the hour names
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TimetableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= _columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return _columns.at(section).headerTitle;
}

Qt::ItemFlags TimetableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
