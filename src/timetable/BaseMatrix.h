#ifndef HORATAB_TIMETABLE_BASEMATRIX_H
#define HORATAB_TIMETABLE_BASEMATRIX_H

#include <cstdint>
#include <string>
#include <vector>

// A rows-by-columns matrix stored row by row. Row 0 and column 0 are
// ordinary elements; schedules use them for their headings.
template <typename T>
class BaseMatrix
{
public:
    std::vector<T> values;
    uint64_t nRows;
    uint64_t nCols;

    BaseMatrix() : nRows(0), nCols(0) {}

    BaseMatrix(uint64_t rows, uint64_t cols) : values(rows * cols), nRows(rows), nCols(cols) {}

    BaseMatrix(const BaseMatrix& other) = default;
    BaseMatrix& operator=(const BaseMatrix& other) = default;

    uint64_t rowSize() const { return nRows; }
    uint64_t colSize() const { return nCols; }

    int64_t index(int32_t row, int32_t col) const
    {
        return int64_t(row) * int64_t(nCols) + int64_t(col);
    }

    // No bounds check: callers stay inside the dimensions they set.
    T& operator()(uint32_t row, uint32_t col)
    {
        return values[size_t(index(int32_t(row), int32_t(col)))];
    }

    const T& operator()(uint32_t row, uint32_t col) const
    {
        return values[size_t(index(int32_t(row), int32_t(col)))];
    }

    // Keeps the elements below the new flat size where they stand (they are
    // not re-laid out by row and column); added elements are empty.
    void setSize(uint64_t rows, uint64_t cols)
    {
        nRows = rows;
        nCols = cols;
        values.resize(rows * cols);
    }

    // Sets every element to `value`; the dimensions stay.
    BaseMatrix& operator=(const T& value)
    {
        for (T& element : values)
            element = value;
        return *this;
    }
};

#endif  // HORATAB_TIMETABLE_BASEMATRIX_H
