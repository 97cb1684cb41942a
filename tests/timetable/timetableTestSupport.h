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

// The name of `object`, "-" for none.
inline std::string nameOf(const namedObjects<std::string>* object)
{
    return object ? object->name : "-";
}

// Everything an import put into `model`, as text: each teacher with its
// counts and longest day, its days and hours (name, subject, room, group,
// groups), then the registries.
inline std::string modelText(const timeTable& model)
{
    std::string text;
    for (const auto& [name, person] : model.teachers.map()) {
        text += "T " + name + " " + std::to_string(person->dayCount) + " " +
                std::to_string(person->hourCount) + " " + nameOf(person->longestDay) + "\n";
        for (const teacherDay* day : person->days.list()) {
            text += " D " + day->name + "\n";
            for (const hour* slot : day->hours.list()) {
                text += "  H " + slot->name + " " + nameOf(slot->subject) + " " +
                        nameOf(slot->room) + " " + nameOf(slot->students);
                for (const namedObjects<std::string>* group : slot->groups)
                    text += "," + group->name;
                text += "\n";
            }
        }
    }
    const std::pair<const char*, decltype(&model.rooms)> registries[] = {
        {"groups:", &model.students}, {"subjects:", &model.subjects}, {"rooms:", &model.rooms}};
    for (const auto& [label, registry] : registries) {
        text += label;
        for (const auto& entry : registry->map())
            text += " " + entry.first;
        text += "\n";
    }
    return text;
}

#endif  // HORATAB_TESTS_TIMETABLE_TIMETABLETESTSUPPORT_H
