#ifndef HORATAB_TESTS_EXPORT_EXPORTTESTSUPPORT_H
#define HORATAB_TESTS_EXPORT_EXPORTTESTSUPPORT_H

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "timetable/timeTable.h"
#include "workbookReader.h"

// A new private folder under the test temporary directory.
inline std::string makeTestFolder()
{
    std::string pattern = testing::TempDir() + "horatab-export-XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    EXPECT_NE(made, nullptr);
    return made ? std::string(made) + "/" : testing::TempDir();
}

inline bool fileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

inline std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> entries;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                entries.push_back(name);
        }
        closedir(dir);
    }
    return entries;
}

// Points TMPDIR at a private folder for the lifetime of the object.
class privateTempDir
{
public:
    privateTempDir() : folder(makeTestFolder())
    {
        const char* old = std::getenv("TMPDIR");
        hadOld = old != nullptr;
        if (hadOld)
            oldValue = old;
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~privateTempDir()
    {
        if (hadOld)
            setenv("TMPDIR", oldValue.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    std::vector<std::string> entries() const { return folderEntries(folder); }

private:
    std::string folder;
    bool hadOld = false;
    std::string oldValue;
};

// Reads the XML text into `table` as the import does for a file.
inline void loadTimetableXml(timeTable& table, const std::string& xml)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(xml.c_str())) << xml;
    ASSERT_TRUE(table.parse(document));
}

inline std::string xmlEscaped(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

struct hourFacts
{
    std::string subject;
    std::string students;
    std::string room;
    bool free = false;  // an hour element without children
};

// One <Teacher> element: `days` named days of `hours` hours each, hour i
// named hourNames[i]; `facts(day, hour)` (both from 1) fills each hour.
template <typename Facts>
std::string teacherXml(const std::string& name, const std::vector<std::string>& days,
                       const std::vector<std::string>& hourNames, Facts facts)
{
    std::string xml = "<Teacher name=\"" + xmlEscaped(name) + "\">";
    for (size_t d = 0; d < days.size(); ++d) {
        xml += "<Day name=\"" + xmlEscaped(days[d]) + "\">";
        for (size_t h = 0; h < hourNames.size(); ++h) {
            hourFacts slot = facts(int(d + 1), int(h + 1));
            xml += "<Hour name=\"" + xmlEscaped(hourNames[h]) + "\">";
            if (!slot.free) {
                if (!slot.subject.empty())
                    xml += "<Subject name=\"" + xmlEscaped(slot.subject) + "\"/>";
                xml += "<Students name=\"" + xmlEscaped(slot.students) + "\"/>";
                if (!slot.room.empty())
                    xml += "<Room name=\"" + xmlEscaped(slot.room) + "\"/>";
            }
            xml += "</Hour>";
        }
        xml += "</Day>";
    }
    return xml + "</Teacher>";
}

inline std::string timetableXml(const std::string& teachers)
{
    return "<Teachers_Timetable>" + teachers + "</Teachers_Timetable>";
}

// "A", "B", ..., "Z", "AA", ... for a column counted from 0.
inline std::string columnName(int column)
{
    std::string name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), char('A' + (n - 1) % 26));
    return name;
}

inline std::string cellRef(int row, int column)
{
    return columnName(column) + std::to_string(row);
}

typedef std::map<std::string, std::string> expectedCells;

// Every expected cell holds its text as text, and no other cell holds anything.
inline void expectExactCells(const sheetRead& sheet, const expectedCells& expected)
{
    for (const auto& want : expected) {
        if (want.second.empty()) {
            EXPECT_EQ(sheet.cells.count(want.first), 0u) << sheet.name << "!" << want.first << " should be empty";
            continue;
        }
        auto found = sheet.cells.find(want.first);
        if (found == sheet.cells.end()) {
            ADD_FAILURE() << sheet.name << "!" << want.first << " is empty, expected \"" << want.second << "\"";
            continue;
        }
        EXPECT_EQ(found->second.value, want.second) << sheet.name << "!" << want.first;
        EXPECT_EQ(found->second.type, "s") << sheet.name << "!" << want.first;
    }
    for (const auto& cell : sheet.cells) {
        auto want = expected.find(cell.first);
        EXPECT_TRUE(want != expected.end() && !want->second.empty())
            << sheet.name << "!" << cell.first << " holds unexpected \"" << cell.second.value << "\"";
    }
}

// Adds a matrix's elements to `cells` with its corner at sheet row
// `firstRow`, column A.
inline void placeMatrix(expectedCells& cells, int firstRow, const std::vector<std::vector<std::string>>& rows)
{
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].empty())
                cells[cellRef(firstRow + int(r), int(c))] = rows[r][c];
}

#endif
