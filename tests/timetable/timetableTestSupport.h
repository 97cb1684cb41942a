#ifndef HORATAB_TESTS_TIMETABLE_TIMETABLETESTSUPPORT_H
#define HORATAB_TESTS_TIMETABLE_TIMETABLETESTSUPPORT_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "timetable/timeTable.h"

typedef std::vector<std::string> names;

// A private folder, made once per run and removed when the test program ends.
inline const std::string& testFolder()
{
    static struct ownedFolder
    {
        std::string path =
            std::string(mkdtemp(&(testing::TempDir() + "horatab-timetable-XXXXXX")[0])) + "/";
        ~ownedFolder() { std::filesystem::remove_all(path); }
    } folder;
    return folder.path;
}

inline std::string writeTestFile(const std::string& name, const std::string& bytes)
{
    std::string path = testFolder() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
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

#endif  // HORATAB_TESTS_TIMETABLE_TIMETABLETESTSUPPORT_H
