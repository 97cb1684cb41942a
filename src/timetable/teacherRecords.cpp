#include "timetable/teacherRecords.h"

#include <cstring>

#include <pugixml.hpp>

namespace {

std::string_view nameOf(const pugi::xml_node& node)
{
    return node.attribute("name").value();
}

}  // namespace

void teacherRecords::clear()
{
    teachers.clear();
    days.clear();
    hours.clear();
    groupNames.clear();
}

void teacherRecords::addTeacher(const pugi::xml_node& node)
{
    teachers.push_back({nameOf(node), 0});
    const size_t at = teachers.size() - 1;
    for (pugi::xml_node day : node.children()) {
        addDay(day);
        ++teachers[at].days;
    }
}

void teacherRecords::addDay(const pugi::xml_node& node)
{
    days.push_back({nameOf(node), 0});
    const size_t at = days.size() - 1;
    for (pugi::xml_node child : node.children()) {
        addHour(child);
        ++days[at].hours;
    }
}

// The hour's children are walked once, for the first Subject and Room and
// every Students child.
void teacherRecords::addHour(const pugi::xml_node& node)
{
    hourEntry entry;
    entry.name = nameOf(node);
    for (pugi::xml_node child : node.children()) {
        const char* const name = child.name();
        if (std::strcmp(name, "Students") == 0) {
            groupNames.push_back(nameOf(child));
            ++entry.groups;
        } else if (!entry.hasSubject && std::strcmp(name, "Subject") == 0) {
            entry.subject = nameOf(child);
            entry.hasSubject = true;
        } else if (!entry.hasRoom && std::strcmp(name, "Room") == 0) {
            entry.room = nameOf(child);
            entry.hasRoom = true;
        }
    }
    hours.push_back(entry);
}
