#include "app/bridge/scheduleDictionary.h"

QString headerRowKey()
{
    return QStringLiteral("headerRow");
}

ScheduleDictionary timeMetrixToDictionary(const BaseMatrix<std::string>& matrix)
{
    const uint32_t rows = uint32_t(matrix.rowSize());
    const uint32_t cols = uint32_t(matrix.colSize());

    ScheduleDictionary dictionary;
    dictionary.reserve(int(cols) + 1);

    QStringList header;
    if (rows == 0) {  // no heading row to read
        dictionary.insert(headerRowKey(), header);
        return dictionary;
    }
    header.reserve(int(cols));
    for (uint32_t c = 0; c < cols; ++c)
        header.append(QString::fromStdString(matrix(0, c)));
    dictionary.insert(headerRowKey(), header);

    for (uint32_t c = 0; c < cols; ++c) {
        QStringList cells;
        cells.reserve(rows > 0 ? int(rows) - 1 : 0);
        for (uint32_t r = 1; r < rows; ++r)
            cells.append(
                QString::fromStdString(matrix(r, c)).replace(QLatin1Char('/'), QLatin1Char('\n')));
        dictionary.insert(header.at(int(c)), cells);
    }
    return dictionary;
}
