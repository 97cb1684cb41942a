#ifndef HORATAB_TESTS_EXPORT_WORKBOOKREADER_H
#define HORATAB_TESTS_EXPORT_WORKBOOKREADER_H

// Reads a saved workbook back through the independent reader
// (dump_workbook.py on openpyxl) into maps the tests compare against.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct cellRead
{
    std::string type;  // openpyxl's data type: "s" text, "n" number, "f" formula, ...
    std::string font;
    std::string size;
    std::string horizontal;
    std::string vertical;
    std::string value;
};

struct sheetRead
{
    std::string name;
    int rows = 0;
    int columns = 0;
    std::map<std::string, cellRead> cells;  // by reference, "A1"

    // The value at `ref`, empty when the cell holds nothing.
    std::string value(const std::string& ref) const
    {
        auto found = cells.find(ref);
        return found == cells.end() ? std::string() : found->second.value;
    }
};

struct workbookRead
{
    bool ok = false;
    std::string problem;
    int cellStyles = 0;
    int sheetCount = 0;
    std::vector<sheetRead> sheets;

    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const sheetRead& sheet : sheets)
            result.push_back(sheet.name);
        return result;
    }
};

inline std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline std::string unescaped(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        char next = text[++i];
        result += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return result;
}

inline std::vector<std::string> tabFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t'))
        fields.push_back(unescaped(field));
    if (!line.empty() && line.back() == '\t')
        fields.push_back(std::string());
    return fields;
}

// `sheetNumbers` (from 0) reads only those sheets, in read-only mode.
inline workbookRead readWorkbook(const std::string& path, const std::vector<int>& sheetNumbers = {})
{
    workbookRead book;
    std::string command = shellQuoted(HORATAB_SYSTEM_PYTHON) + " " + shellQuoted(HORATAB_WORKBOOK_DUMPER) + " " +
                          shellQuoted(path);
    for (int number : sheetNumbers)
        command += " " + std::to_string(number);
    command += " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        book.problem = "cannot run the reader";
        return book;
    }
    std::string output;
    char buffer[65536];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, count);
    if (pclose(pipe) != 0) {
        book.problem = output;
        return book;
    }

    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> f = tabFields(line);
        if (f.size() == 2 && f[0] == "STYLES")
            book.cellStyles = std::atoi(f[1].c_str());
        else if (f.size() == 2 && f[0] == "SHEETS")
            book.sheetCount = std::atoi(f[1].c_str());
        else if (f.size() == 5 && f[0] == "SHEET")
            book.sheets.push_back({f[2], std::atoi(f[3].c_str()), std::atoi(f[4].c_str()), {}});
        else if (f.size() == 8 && f[0] == "CELL" && !book.sheets.empty())
            book.sheets.back().cells[f[1]] = {f[2], f[3], f[4], f[5], f[6], f[7]};
        else {
            book.problem = "unexpected reader line: " + line;
            return book;
        }
    }
    book.ok = true;
    return book;
}

#endif
