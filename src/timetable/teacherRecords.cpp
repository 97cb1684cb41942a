#include "timetable/teacherRecords.h"

#include <cstring>

#include <pugixml.hpp>

namespace {

// The "name" attribute, which the exports write first.
std::string_view nameOf(const pugi::xml_node& node)
{
    const pugi::xml_attribute first = node.first_attribute();
    if (first && std::strcmp(first.name(), "name") == 0)
        return first.value();
    return node.attribute("name").value();
}

// Appends the entry of `node` to `entries`, then each child of the node with
// `addChild`, counting them in the entry's `count`. Children are walked by
// their links: each is visited once, as children() would, without building
// a range for every node.
template <typename Entry, typename AddChild>
void addCounted(std::vector<Entry>& entries, size_t Entry::*count, const pugi::xml_node& node,
                AddChild addChild)
{
    entries.push_back(Entry{nameOf(node), 0});
    const size_t at = entries.size() - 1;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        addChild(child);
        ++(entries[at].*count);
    }
}

bool named(const char* name, const char* wanted)
{
    return name[0] == wanted[0] && std::strcmp(name, wanted) == 0;
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
    addCounted(teachers, &teacherEntry::days, node,
               [this](const pugi::xml_node& day) { addDay(day); });
}

void teacherRecords::addDay(const pugi::xml_node& node)
{
    addCounted(days, &dayEntry::hours, node,
               [this](const pugi::xml_node& child) { addHour(child); });
}

// The hour's children are walked once, for the first Subject and Room and
// every Students child.
void teacherRecords::addHour(const pugi::xml_node& node)
{
    hourEntry entry;
    entry.name = nameOf(node);
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        const char* const name = child.name();
        if (named(name, "Students")) {
            groupNames.push_back(nameOf(child));
            ++entry.groups;
        } else if (!entry.hasSubject && named(name, "Subject")) {
            entry.subject = nameOf(child);
            entry.hasSubject = true;
        } else if (!entry.hasRoom && named(name, "Room")) {
            entry.room = nameOf(child);
            entry.hasRoom = true;
        }
    }
    hours.push_back(entry);
}
