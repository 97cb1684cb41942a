#ifndef HORATAB_TESTS_TIMETABLE_TIMETABLETESTSUPPORT_H
#define HORATAB_TESTS_TIMETABLE_TIMETABLETESTSUPPORT_H
// What the timetable tests share: reading XML text into a model, looking
// into the model, and exported sheets as text.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "support/data.h"
#include "support/reader.h"
#include "support/scratch.h"
#include "timetable/timeTable.h"

using support::names;

// Writes `bytes` to file `name` in the program's scratch folder; returns its path.
inline std::string writeTestFile(const std::string& name, const std::string& bytes)
{
    return support::programScratch().write(name, bytes);
}

// The path and the bytes of file `name` in timetable/data.
inline std::string dataPath(const std::string& name)
{
    return support::testFilePath("timetable/data/" + name);
}

inline std::string dataFile(const std::string& name)
{
    return support::testFile("timetable/data/" + name);
}

inline std::string newFolder()
{
    return support::programScratch().newFolder();
}

inline size_t temporaryFiles()
{
    return support::programScratch().temporaryFiles();
}

// Reads `xml` into `model` as the import reads a loaded file.
inline void readInto(timeTable& model, const std::string& xml)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(xml.c_str())) << xml;
    EXPECT_TRUE(model.parse(document));
}

template <typename T>
names keys(const vorMapPtr<T>& registry)
{
    names result;
    for (const auto& entry : registry.map())
        result.push_back(entry.first);
    return result;
}

inline names dayNames(const teacher* owner)
{
    names result;
    for (const teacherDay* day : owner->days.list())
        result.push_back(day->name);
    return result;
}

inline hour* firstHour(teacher* owner)
{
    return owner->days.list().front()->hours.list().front();
}

// A workbook as read back: each sheet's name on a line of its own after
// "== ", then its grid.
inline std::string sheetsText(const support::WorkbookRead& book)
{
    std::string text = book.problem;
    for (size_t i = 0; i < book.sheetNames.size() && i < book.grids.size(); ++i)
        text += "== " + book.sheetNames[i] + "\n" + book.grids[i];
    return text;
}

#endif  // HORATAB_TESTS_TIMETABLE_TIMETABLETESTSUPPORT_H
