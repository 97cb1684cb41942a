#include "app/bridge/vorObjWrapper.h"

#include <QFile>
#include <QtGlobal>

#include <new>
#include <string>
#include <vector>

#include "timetable/timeTable.h"

namespace {

// Flags of the window's tables: a teacher's cell shows group and subject,
// a group's cell the subject.
constexpr uint32_t teacherTableFlags = INFO_STUDENTS + INFO_SUBJECT;
constexpr uint32_t studentsTableFlags = INFO_SUBJECT;

std::string fileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

template <typename Registry>
std::vector<std::string> namesOf(const Registry& registry)
{
    std::vector<std::string> names;
    names.reserve(registry.size());
    for (const auto& entry : registry.map())
        names.push_back(entry.first);
    return names;
}

void logToQt(const QString& line)
{
    qInfo("%s", qUtf8Printable(line));
}

}  // namespace

vorObjWrapper::vorObjWrapper(LogSink log)
    : _vorConverter(new timeTable()), _log(log ? std::move(log) : LogSink(logToQt))
{}

vorObjWrapper::~vorObjWrapper()
{
    delete _vorConverter;
}

bool vorObjWrapper::loadVorTeacherXML(const QString& path)
{
    // A file can describe more than memory holds; this bridge is discarded
    // when the load fails, so a partly read model goes with it.
    try {
        return _vorConverter->parse(fileSystemPath(path));
    } catch (const std::bad_alloc&) {
        _log(QStringLiteral("not enough memory to load %1").arg(path));
        return false;
    }
}

bool vorObjWrapper::saveVorTeachersXLSX(const QString& path)
{
    return _vorConverter->teacherToExcel(fileSystemPath(path));
}

bool vorObjWrapper::saveVorStudentsXLSX(const QString& path)
{
    return _vorConverter->studentsToExcel(fileSystemPath(path));
}

void vorObjWrapper::setExcelFont(const QString& familyName, double pointSize)
{
    if (isDefaultSpreadsheetFont(familyName.toStdString(), pointSize))
        return;
    _log(QString::asprintf("SetFont %s %.0f", qUtf8Printable(familyName), pointSize));
    _vorConverter->setFontAndSize(familyName.toStdString(), int32_t(pointSize));
}

QStringList vorObjWrapper::teachers()
{
    return _teacherNames.assign(namesOf(_vorConverter->teachers));
}

QStringList vorObjWrapper::students()
{
    return _studentNames.assign(namesOf(_vorConverter->students));
}

std::optional<ScheduleDictionary> vorObjWrapper::teacherTimeSchedule(const QString& name)
{
    teacher* found = _vorConverter->teachers.find(_teacherNames.keyFor(name));
    if (!found)
        return std::nullopt;
    try {
        BaseMatrix<std::string> matrix;
        found->timeSchedule(matrix, teacherTableFlags);
        return timeMetrixToDictionary(matrix);
    } catch (const std::bad_alloc&) {
        _log(QStringLiteral("not enough memory for the timetable of %1").arg(name));
        return std::nullopt;
    }
}

std::optional<ScheduleDictionary> vorObjWrapper::studentsTimeSchedule(const QString& name)
{
    try {
        BaseMatrix<std::string> matrix;
        if (!_vorConverter->studentsTimeSchedule(_studentNames.keyFor(name), matrix,
                                                 studentsTableFlags))
            return std::nullopt;
        return timeMetrixToDictionary(matrix);
    } catch (const std::bad_alloc&) {
        _log(QStringLiteral("not enough memory for the timetable of %1").arg(name));
        return std::nullopt;
    }
}
