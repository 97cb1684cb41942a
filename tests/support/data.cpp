#include "support/data.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace support {

namespace {

// A cell with its escapes replaced by the bytes they stand for.
std::string unescaped(const std::string& cell)
{
    std::string bytes;
    for (size_t at = 0; at < cell.size(); ++at) {
        if (cell[at] != '\\' || at + 1 == cell.size()) {
            bytes += cell[at];
            continue;
        }
        const char kind = cell[++at];
        if (kind == 't')
            bytes += '\t';
        else if (kind == 'n')
            bytes += '\n';
        else if (kind == 'x' && at + 2 < cell.size()) {
            bytes += char(std::stoi(cell.substr(at + 1, 2), nullptr, 16));
            at += 2;
        } else
            bytes += kind;
    }
    return bytes;
}

}  // namespace

std::string testFilePath(const std::string& name)
{
    return std::string(HORATAB_TESTS_DIR) + "/" + name;
}

std::string testFile(const std::string& name)
{
    std::ifstream in(testFilePath(name), std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing test file " << name;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<tableRow> testTable(const std::string& name)
{
    std::vector<tableRow> rows;
    std::istringstream lines(testFile(name));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        tableRow row;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            row.push_back(unescaped(cell));
        if (line.back() == '\t')
            row.push_back(std::string());
        rows.push_back(row);
    }
    EXPECT_FALSE(rows.empty()) << "empty case table " << name;
    return rows;
}

}  // namespace support
