#include "timetable/timeTable.h"

#include <algorithm>
#include <cmath>
#include <utility>

hour::hour(std::string hourName)
    : namedObjects<std::string>(std::move(hourName)), students(nullptr), subject(nullptr),
      room(nullptr)
{}

void hour::addStudents(namedObjects<std::string>* group)
{
    if (std::find(groups.begin(), groups.end(), group) != groups.end())
        return;
    if (groups.empty())
        students = group;
    groups.push_back(group);
}

bool hour::teaches(const namedObjects<std::string>* group) const
{
    if (!group)
        return false;
    return group == students || std::find(groups.begin(), groups.end(), group) != groups.end();
}

bool hour::hasLesson() const
{
    return students || !groups.empty() || subject || room;
}

teacherDay::teacherDay(std::string dayName)
    : namedObjects<std::string>(std::move(dayName)), hours(true)
{}

hour* teacherDay::addhour(std::string hourName)
{
    hour* added = new hour(std::move(hourName));
    hours.add(added);
    return added;
}

teacher::teacher(std::string teacherName)
    : namedObjects<std::string>(std::move(teacherName)), days(true), dayCount(0), hourCount(0),
      longestDay(nullptr)
{}

teacher::~teacher() = default;

teacherDay* teacher::addDay(std::string dayName)
{
    teacherDay* added = new teacherDay(std::move(dayName));
    days.add(added);
    return added;
}

void teacher::fixSize()
{
    hourCount = 0;
    longestDay = nullptr;
    fixSizeFrom(days.list().begin());
}

void teacher::fixSizeFrom(std::list<teacherDay*>::iterator firstNewDay)
{
    dayCount = days.size();
    for (auto day = firstNewDay; day != days.list().end(); ++day) {
        if (hourCount < (*day)->hours.size()) {
            longestDay = *day;
            hourCount = (*day)->hours.size();
        }
    }
}

timeTable::timeTable()
    : teachers(true), students(true), subjects(true), rooms(true), fontChosen(false),
      fontName("Calibri"), fontSize(11)
{}

timeTable::~timeTable() = default;

teacher* timeTable::insertTeacher(std::string name)
{
    return teachers.findOrCreate(std::move(name));
}

namedObjects<std::string>* timeTable::insertStudents(std::string name)
{
    return students.findOrCreate(std::move(name));
}

namedObjects<std::string>* timeTable::insertSubject(std::string name)
{
    return subjects.findOrCreate(std::move(name));
}

namedObjects<std::string>* timeTable::insertRoom(std::string name)
{
    return rooms.findOrCreate(std::move(name));
}

bool isDefaultSpreadsheetFont(const std::string& name, double size)
{
    return name == "Calibri" && std::fabs(size - 11.0) <= 0.0;
}

void timeTable::setFontAndSize(std::string name, int32_t size)
{
    fontChosen = true;
    fontName = std::move(name);
    fontSize = size;
}
