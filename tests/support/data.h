#ifndef HORATAB_TESTS_SUPPORT_DATA_H
#define HORATAB_TESTS_SUPPORT_DATA_H
// Files kept beside the tests, named from the tests folder: expected
// outputs in <area>/reference/, inputs and case tables in <area>/data/.

#include <string>
#include <vector>

namespace support {

typedef std::vector<std::string> tableRow;

// The path of `name` below the tests folder ("xlsx/reference/line-chart.xml").
std::string testFilePath(const std::string& name);

// The bytes of test file `name`; a missing one fails the calling test.
std::string testFile(const std::string& name);

// The rows of a case table: one row a line, cells separated by tabs; blank
// lines and lines starting with '#' are skipped. In a cell, \t, \n, \\ and
// \xHH stand for a tab, a line feed, a backslash and the byte HH.
std::vector<tableRow> testTable(const std::string& name);

}  // namespace support

#endif  // HORATAB_TESTS_SUPPORT_DATA_H
