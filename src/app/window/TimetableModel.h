#ifndef HORATAB_APP_WINDOW_TIMETABLEMODEL_H
#define HORATAB_APP_WINDOW_TIMETABLEMODEL_H

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

class TableDataSource;

// The table's columns (identifier and header title, as the controller adds
// them) over the controller's rows and cells. Cells are read only.
class TimetableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TimetableModel(QObject* parent = nullptr);

    void setDataSource(TableDataSource* dataSource);
    void addColumn(const QString& identifier, const QString& headerTitle);
    void removeLastColumn();
    // Asks the data source again for every row and cell.
    void reload();

    QString columnIdentifier(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Column
    {
        QString identifier;
        QString headerTitle;
    };

    TableDataSource* _dataSource = nullptr;
    QVector<Column> _columns;
    int _rowCount = 0;
};

#endif  // HORATAB_APP_WINDOW_TIMETABLEMODEL_H
