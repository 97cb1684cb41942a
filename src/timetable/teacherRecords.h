#ifndef HORATAB_TIMETABLE_TEACHERRECORDS_H
#define HORATAB_TIMETABLE_TEACHERRECORDS_H

// Teacher elements of a parsed timetable, read off into flat lists of the
// names that the model takes from them, so that walking the document and
// building the model can run on two threads. Each name is what the element
// gives ("" for a missing attribute) and points into the parsed text, or
// into pugixml's own empty string: the lists stay valid as long as the
// text, even once the document is gone.

#include <cstddef>
#include <string_view>
#include <vector>

namespace pugi {
class xml_node;
}

struct teacherRecords
{
    // One child node of a day. Its subject and room are those of its first
    // child of that name; its groups are those of all its Students
    // children, in order: the next `groups` names of groupNames.
    struct hourEntry
    {
        std::string_view name;
        std::string_view subject;
        std::string_view room;
        bool hasSubject = false;
        bool hasRoom = false;
        size_t groups = 0;
    };
    // One child node of a teacher, with the next `hours` entries of hours.
    struct dayEntry
    {
        std::string_view name;
        size_t hours = 0;
    };
    // One teacher element, with the next `days` entries of days.
    struct teacherEntry
    {
        std::string_view name;
        size_t days = 0;
    };

    std::vector<teacherEntry> teachers;
    std::vector<dayEntry> days;
    std::vector<hourEntry> hours;
    std::vector<std::string_view> groupNames;

    void clear();
    // Appends a teacher with all its days and hours, one day with its
    // hours, or one hour.
    void addTeacher(const pugi::xml_node& node);
    void addDay(const pugi::xml_node& node);
    void addHour(const pugi::xml_node& node);
};

#endif  // HORATAB_TIMETABLE_TEACHERRECORDS_H
