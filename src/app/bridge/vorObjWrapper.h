#ifndef HORATAB_APP_BRIDGE_VOROBJWRAPPER_H
#define HORATAB_APP_BRIDGE_VOROBJWRAPPER_H

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "app/bridge/displayNames.h"
#include "app/bridge/scheduleDictionary.h"
#include "timetable/nameOrder.h"

class timeTable;
struct exportProgress;

// What a loaded timetable holds, for the status line.
struct TimetableSize
{
    qsizetype teachers = 0;
    qsizetype groups = 0;
    quint64 days = 0;   // the most days of any teacher
    quint64 hours = 0;  // the most hours of any teacher's day
};

// The window layer's door to the timetable core. Owns one timeTable and is
// the only place where the core's byte strings become shown texts: it
// loads an export, lists teachers and student groups, hands out one
// schedule as a ScheduleDictionary, passes the spreadsheet font on and
// starts the two exports. Every name listed by teachers() or students() is
// accepted back by the matching schedule call.
class vorObjWrapper
{
public:
    using LogSink = std::function<void(const QString& line)>;

    // `log` receives the diagnostic lines; by default they go to Qt's log.
    explicit vorObjWrapper(LogSink log = LogSink());
    ~vorObjWrapper();

    vorObjWrapper(const vorObjWrapper&) = delete;
    vorObjWrapper& operator=(const vorObjWrapper&) = delete;

    // True exactly when the file was read into the timetable; otherwise
    // `reason`, when given, says why (missing file, not well-formed XML...).
    bool loadVorTeacherXML(const QString& path, QString* reason = nullptr);

    // True exactly when the workbook was written to `path`; otherwise
    // `reason`, when given, says why. `progress` (may be null) receives
    // each sheet and can cancel; the calls may run on another thread.
    bool saveVorTeachersXLSX(const QString& path, exportProgress* progress = nullptr,
                             QString* reason = nullptr);
    bool saveVorStudentsXLSX(const QString& path, exportProgress* progress = nullptr,
                             QString* reason = nullptr);

    TimetableSize size() const;

    // The default font ("Calibri" at 11 points) changes nothing, so a font
    // set earlier stays in force; any other is logged and stored with its
    // size truncated to whole points.
    void setExcelFont(const QString& familyName, double pointSize);

    // The next exports are laid out for printing, or not; the footer names
    // the loaded file.
    void setPrintReady(bool printReady);
    // The order of the name lists below and of the next exports' sheets and
    // summary rows; byte order until set.
    void setNameOrder(nameOrder order);

    // Names in the order set (ascending byte order by default).
    QStringList teachers();
    QStringList students();

    // Empty for a name that is neither listed nor registered.
    // `extraFlags` adds facts (INFO_ROOM, INFO_TEACHER) to the cells.
    std::optional<ScheduleDictionary> teacherTimeSchedule(const QString& name,
                                                          uint32_t extraFlags = 0);
    std::optional<ScheduleDictionary> studentsTimeSchedule(const QString& name,
                                                           uint32_t extraFlags = 0);

    timeTable* vorConverter() const { return _vorConverter; }

    static QString headerRowKey() { return ::headerRowKey(); }

private:
    enum class Workbook
    {
        Teachers,
        Students
    };
    bool save(Workbook which, const QString& path, exportProgress* progress, QString* reason);
    std::vector<std::string> namesInOrder(std::vector<std::string> names);

    timeTable* _vorConverter;
    LogSink _log;
    std::string _fileName;  // of the loaded file, for the print layout's footer
    nameOrder _order = nameOrder::bytes;
    DisplayNames _teacherNames;
    DisplayNames _studentNames;
};

#endif  // HORATAB_APP_BRIDGE_VOROBJWRAPPER_H
