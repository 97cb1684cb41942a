#include "timetable/timeTable.h"
#include "timetable/shownText.h"
#include "timetable/teacherPieces.h"
#include "timetable/xmlFile.h"

#include <cstring>
#include <iterator>
#include <new>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include <pugixml.hpp>

struct timeTable::nameIndex
{
    typedef std::unordered_map<std::string_view, namedObjects<std::string>*> byName;
    byName students;
    byName subjects;
    byName rooms;
};

namespace {

// STATUS_NO_TEACHERS when the document gives no teacher to read.
SimpleXlsx::Status teachersFound(const pugi::xml_document& document)
{
    if (document.child("Teachers_Timetable").first_child())
        return SimpleXlsx::Status();
    const std::string root = document.document_element().name();
    std::string reason = "the file holds no teachers";
    if (root != "Teachers_Timetable")
        reason += ": its root element is <" + echoedName(root) + ">, not <Teachers_Timetable>";
    return SimpleXlsx::Status(SimpleXlsx::STATUS_NO_TEACHERS, reason);
}

bool holdsNothing(const timeTable& model)
{
    return model.teachers.size() == 0 && model.students.size() == 0 && model.subjects.size() == 0 &&
           model.rooms.size() == 0;
}

}  // namespace

bool timeTable::parseInPieces(const std::string& path)
{
    nameIndex names;
    timeTable built;
    built._names = &names;
    if (!readTeachersInPieces(path,
                              [&built](const pugi::xml_node& node) { built.parseTeacher(node); }))
        return false;
    teachers.objects.swap(built.teachers.objects);
    students.objects.swap(built.students.objects);
    subjects.objects.swap(built.subjects.objects);
    rooms.objects.swap(built.rooms.objects);
    return true;
}

// The registry's object of that name, made when there is none.
namedObjects<std::string>* timeTable::registered(vorMapPtr<namedObjects<std::string>>& registry,
                                                 const char* name)
{
    if (!_names)
        return registry.findOrCreate(name);
    nameIndex::byName& index = &registry == &students   ? _names->students
                               : &registry == &subjects ? _names->subjects
                                                        : _names->rooms;
    const auto found = index.find(std::string_view(name));
    if (found != index.end())
        return found->second;
    namedObjects<std::string>* object = registry.findOrCreate(name);
    index.emplace(std::string_view(object->name), object);
    return object;
}

bool timeTable::parse(const std::string& path, SimpleXlsx::Status* status)
{
    SimpleXlsx::Status ignored;
    SimpleXlsx::Status& reason = status ? *status : ignored;
    reason = SimpleXlsx::Status();
    try {
        if (path != "-" && holdsNothing(*this) && parseInPieces(path))
            return true;
        std::string text;  // outlives the document, which points into it
        pugi::xml_document document;
        if (!loadXmlFile(path, document, text, &reason))
            return false;
        reason = teachersFound(document);
        return parse(document);
    } catch (const std::bad_alloc&) {
        reason = SimpleXlsx::Status::NoMemory();
        return false;
    }
}

bool timeTable::parse(const pugi::xml_document& document)
{
    for (pugi::xml_node node : document.child("Teachers_Timetable").children())
        parseTeacher(node);
    return true;
}

void timeTable::parseTeacher(const pugi::xml_node& node)
{
    teacher* owner = insertTeacher(node.attribute("name").value());
    std::list<teacherDay*>& days = owner->days.list();
    // A teacher spread over many elements is sized incrementally, so that
    // its import stays linear in the number of days.
    bool countsUpToDate = owner->dayCount == days.size();
    auto lastOldDay = days.empty() ? days.end() : std::prev(days.end());

    for (pugi::xml_node day : node.children())
        parseDay(owner, day);

    if (!countsUpToDate) {
        owner->fixSize();
        return;
    }
    owner->fixSizeFrom(lastOldDay == days.end() ? days.begin() : std::next(lastOldDay));
}

void timeTable::parseDay(teacher* owner, const pugi::xml_node& node)
{
    teacherDay* day = owner->addDay(node.attribute("name").value());
    for (pugi::xml_node child : node.children()) {
        hour* slot = day->addhour(child.attribute("name").value());
        parseHour(slot, child);
    }
}

// A lesson taught to several groups at once names each of them; a name
// given twice counts once. Long lists are checked through `seen`, so that a
// hostile hour with many thousands of groups still imports in linear time.
static void addGroup(hour* slot, namedObjects<std::string>* group,
                     std::unordered_set<const namedObjects<std::string>*>& seen)
{
    const size_t shortList = 16;
    if (slot->groups.size() < shortList) {
        slot->addStudents(group);
        return;
    }
    if (seen.empty())
        seen.insert(slot->groups.begin(), slot->groups.end());
    if (seen.insert(group).second)
        slot->groups.push_back(group);
}

// The hour's children are walked once: its subject and room are the first
// children of those names, its groups all the Students children in order.
void timeTable::parseHour(hour* slot, const pugi::xml_node& node)
{
    pugi::xml_node subject;
    pugi::xml_node room;
    std::unordered_set<const namedObjects<std::string>*> seen;
    for (pugi::xml_node child : node.children()) {
        const char* const name = child.name();
        if (std::strcmp(name, "Students") == 0)
            addGroup(slot, registered(students, child.attribute("name").value()), seen);
        else if (!subject && std::strcmp(name, "Subject") == 0)
            subject = child;
        else if (!room && std::strcmp(name, "Room") == 0)
            room = child;
    }
    if (subject)
        slot->subject = registered(subjects, subject.attribute("name").value());
    if (room)
        slot->room = registered(rooms, room.attribute("name").value());
}
