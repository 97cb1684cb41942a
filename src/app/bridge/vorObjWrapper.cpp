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

bool vorObjWrapper::loadVorTeacherXML(const QString& path, QString* reason)
{
    // The import reports every failure, running out of memory included, in
    // its status; this bridge is discarded when the load fails, so a partly
    // read model goes with it.
    SimpleXlsx::Status failure;
    const bool loaded = _vorConverter->parse(fileSystemPath(path), &failure);
    if (!loaded && reason)
        *reason = QString::fromStdString(failure.Text());
    if (loaded)
        _fileName = path.section(QLatin1Char('/'), -1).toStdString();
    return loaded;
}

bool vorObjWrapper::saveVorTeachersXLSX(const QString& path, exportProgress* progress,
                                        QString* reason)
{
    return save(Workbook::Teachers, path, progress, reason);
}

bool vorObjWrapper::saveVorStudentsXLSX(const QString& path, exportProgress* progress,
                                        QString* reason)
{
    return save(Workbook::Students, path, progress, reason);
}

bool vorObjWrapper::save(Workbook which, const QString& path, exportProgress* progress,
                         QString* reason)
{
    SimpleXlsx::Status failure;
    _vorConverter->setExportProgress(progress);
    const bool saved = which == Workbook::Teachers
                           ? _vorConverter->teacherToExcel(fileSystemPath(path), &failure)
                           : _vorConverter->studentsToExcel(fileSystemPath(path), &failure);
    _vorConverter->setExportProgress(nullptr);
    if (!saved && reason)
        *reason = failure.kind == SimpleXlsx::STATUS_CANCELLED
                      ? QStringLiteral("Cancelled: nothing was written.")
                      : QString::fromStdString(failure.Text());
    return saved;
}

TimetableSize vorObjWrapper::size() const
{
    TimetableSize size;
    size.teachers = qsizetype(_vorConverter->teachers.size());
    size.groups = qsizetype(_vorConverter->students.size());
    for (const auto& entry : _vorConverter->teachers.map()) {
        if (!entry.second)
            continue;
        size.days = std::max<quint64>(size.days, entry.second->dayCount);
        size.hours = std::max<quint64>(size.hours, entry.second->hourCount);
    }
    return size;
}

void vorObjWrapper::setExcelFont(const QString& familyName, double pointSize)
{
    if (isDefaultSpreadsheetFont(familyName.toStdString(), pointSize))
        return;
    _log(QString::asprintf("SetFont %s %.0f", qUtf8Printable(familyName), pointSize));
    _vorConverter->setFontAndSize(familyName.toStdString(), int32_t(pointSize));
}

void vorObjWrapper::setPrintReady(bool printReady)
{
    _vorConverter->setPrintReady(printReady, _fileName);
}

void vorObjWrapper::setNameOrder(nameOrder order)
{
    _order = order;
    _vorConverter->setNameOrder(order);
}

// A list that cannot be put in the alphabet's order stays in byte order.
std::vector<std::string> vorObjWrapper::namesInOrder(std::vector<std::string> names)
{
    std::string problem;
    if (!sortNames(names, _order, problem))
        _log(QString::fromStdString(problem));
    return names;
}

QStringList vorObjWrapper::teachers()
{
    return _teacherNames.assign(namesInOrder(namesOf(_vorConverter->teachers)));
}

QStringList vorObjWrapper::students()
{
    return _studentNames.assign(namesInOrder(namesOf(_vorConverter->students)));
}

std::optional<ScheduleDictionary> vorObjWrapper::teacherTimeSchedule(const QString& name,
                                                                     uint32_t extraFlags)
{
    teacher* found = _vorConverter->teachers.find(_teacherNames.keyFor(name));
    if (!found)
        return std::nullopt;
    try {
        BaseMatrix<std::string> matrix;
        found->timeSchedule(matrix, teacherTableFlags | extraFlags);
        return timeMetrixToDictionary(matrix);
    } catch (const std::bad_alloc&) {
        _log(QStringLiteral("not enough memory for the timetable of %1").arg(name));
        return std::nullopt;
    }
}

std::optional<ScheduleDictionary> vorObjWrapper::studentsTimeSchedule(const QString& name,
                                                                      uint32_t extraFlags)
{
    try {
        BaseMatrix<std::string> matrix;
        if (!_vorConverter->studentsTimeSchedule(_studentNames.keyFor(name), matrix,
                                                 studentsTableFlags | extraFlags))
            return std::nullopt;
        return timeMetrixToDictionary(matrix);
    } catch (const std::bad_alloc&) {
        _log(QStringLiteral("not enough memory for the timetable of %1").arg(name));
        return std::nullopt;
    }
}
