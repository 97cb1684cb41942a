#ifndef HORATAB_TESTS_APP_FIXTURES_H
#define HORATAB_TESTS_APP_FIXTURES_H

#include <QByteArray>

// Small timetables written for these tests.
namespace fixtures {

// Teachers Novak (Monday: 3 hours, the third free; Tuesday: 1 hour) and
// Adams (Monday: 2 hours). Groups 1A (both teachers), 2B (Novak), 3C (Adams).
inline QByteArray twoTeachers()
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<Teachers_Timetable>
  <Teacher name="Novak">
    <Day name="Monday">
      <Hour name="1"><Subject name="Math"/><Students name="1A"/><Room name="R1"/></Hour>
      <Hour name="2"><Subject name="Physics"/><Students name="2B"/><Room name="R2"/></Hour>
      <Hour name="3"/>
    </Day>
    <Day name="Tuesday">
      <Hour name="1"><Subject name="Math"/><Students name="2B"/></Hour>
    </Day>
  </Teacher>
  <Teacher name="Adams">
    <Day name="Monday">
      <Hour name="1"><Subject name="Art"/><Students name="3C"/></Hour>
      <Hour name="2"><Subject name="Art"/><Students name="1A"/></Hour>
    </Day>
  </Teacher>
</Teachers_Timetable>
)";
}

// One teacher whose only cell names a group with a slash: a three-line cell.
inline QByteArray threeLineCell()
{
    return R"(<Teachers_Timetable>
  <Teacher name="Kral">
    <Day name="Monday">
      <Hour name="1"><Subject name="Math"/><Students name="1/2A"/></Hour>
      <Hour name="2"><Subject name="Chemistry"/><Students name="3C"/></Hour>
    </Day>
  </Teacher>
</Teachers_Timetable>
)";
}

// A teacher without any day: a timetable without rows.
inline QByteArray teacherWithoutDays()
{
    return R"(<Teachers_Timetable><Teacher name="Empty"/></Teachers_Timetable>)";
}

// Well-formed, but not a teachers timetable: loads with no names at all.
inline QByteArray otherRoot()
{
    return R"(<Timetable><Teacher name="Nobody"/></Timetable>)";
}

inline QByteArray malformed()
{
    return "<Teachers_Timetable><Teacher name=\"Novak\"><Day>";
}

} // namespace fixtures

#endif
