#include "timetable/timeTable.h"
#include "timetable/shownText.h"
#include "timetable/teacherPieces.h"
#include "timetable/teacherRecords.h"
#include "timetable/xmlFile.h"

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
    if (!readTeachersInPieces(
            path, [&built](const teacherRecords& records) { built.addTeachers(records); }))
        return false;
    teachers.objects.swap(built.teachers.objects);
    students.objects.swap(built.students.objects);
    subjects.objects.swap(built.subjects.objects);
    rooms.objects.swap(built.rooms.objects);
    return true;
}

// The registry's object of that name, made when there is none.
namedObjects<std::string>* timeTable::registered(vorMapPtr<namedObjects<std::string>>& registry,
                                                 std::string_view name)
{
    if (!_names)
        return registry.findOrCreate(std::string(name));
    nameIndex::byName& index = &registry == &students   ? _names->students
                               : &registry == &subjects ? _names->subjects
                                                        : _names->rooms;
    const auto found = index.find(name);
    if (found != index.end())
        return found->second;
    namedObjects<std::string>* object = registry.findOrCreate(std::string(name));
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
    teacherRecords records;
    for (pugi::xml_node node : document.child("Teachers_Timetable").children()) {
        records.clear();
        records.addTeacher(node);
        addTeachers(records);
    }
    return true;
}

// How far building from records has gone in each list.
struct timeTable::recordCursor
{
    size_t day = 0;
    size_t hour = 0;
    size_t group = 0;
};

void timeTable::addTeachers(const teacherRecords& records)
{
    recordCursor at;
    for (const teacherRecords::teacherEntry& entry : records.teachers)
        buildTeacher(entry, records, at);
}

void timeTable::parseTeacher(const pugi::xml_node& node)
{
    teacherRecords records;
    records.addTeacher(node);
    addTeachers(records);
}

void timeTable::parseDay(teacher* owner, const pugi::xml_node& node)
{
    teacherRecords records;
    records.addDay(node);
    recordCursor at;
    buildDay(owner, records, at);
}

void timeTable::parseHour(hour* slot, const pugi::xml_node& node)
{
    teacherRecords records;
    records.addHour(node);
    recordCursor at;
    fillHour(slot, records, at);
}

void timeTable::buildTeacher(const teacherRecords::teacherEntry& entry,
                             const teacherRecords& records, recordCursor& at)
{
    teacher* owner = insertTeacher(std::string(entry.name));
    std::list<teacherDay*>& days = owner->days.list();
    // A teacher spread over many elements is sized incrementally, so that
    // its import stays linear in the number of days.
    bool countsUpToDate = owner->dayCount == days.size();
    auto lastOldDay = days.empty() ? days.end() : std::prev(days.end());

    for (size_t day = 0; day < entry.days; ++day)
        buildDay(owner, records, at);

    if (!countsUpToDate) {
        owner->fixSize();
        return;
    }
    owner->fixSizeFrom(lastOldDay == days.end() ? days.begin() : std::next(lastOldDay));
}

void timeTable::buildDay(teacher* owner, const teacherRecords& records, recordCursor& at)
{
    const teacherRecords::dayEntry& entry = records.days[at.day++];
    teacherDay* day = owner->addDay(std::string(entry.name));
    for (size_t i = 0; i < entry.hours; ++i) {
        hour* slot = day->addhour(std::string(records.hours[at.hour].name));
        fillHour(slot, records, at);
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

void timeTable::fillHour(hour* slot, const teacherRecords& records, recordCursor& at)
{
    const teacherRecords::hourEntry& entry = records.hours[at.hour++];
    if (entry.hasSubject)
        slot->subject = registered(subjects, entry.subject);
    std::unordered_set<const namedObjects<std::string>*> seen;
    for (size_t i = 0; i < entry.groups; ++i)
        addGroup(slot, registered(students, records.groupNames[at.group++]), seen);
    if (entry.hasRoom)
        slot->room = registered(rooms, entry.room);
}
