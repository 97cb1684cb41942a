#include "app/controller/AppDelegate.h"

#include <QStringList>

#include "app/controller/fontArchive.h"

namespace {

const FontDescriptor defaultExcelFont{QStringLiteral("Calibri"), 11.0};
constexpr double fallbackBaseFontSize = 11.0;
constexpr double rowMeasureFontSize = 16.0;
constexpr double minimumRowHeight = 10.0;

QString filled(const char* format, const QString& path)
{
    return QString::fromLatin1(format).arg(path);
}

}  // namespace

AppDelegate::AppDelegate(AppPlatform& platform) : _platform(platform), _excelFont(defaultExcelFont)
{}

AppDelegate::~AppDelegate() = default;

// ---- lifecycle

void AppDelegate::applicationDidFinishLaunching()
{
    _updateTableColumn = true;
    _platform.tableSetDataSource(this);
    _platform.tableSetDelegate(this);
    loadUserPreferencies();
}

void AppDelegate::applicationWillTerminate() {}

bool AppDelegate::applicationShouldTerminateAfterLastWindowClosed() const
{
    return true;
}

bool AppDelegate::applicationOpenFile(const QString& path)
{
    return loadTimetableFile(path);
}

// ---- preferences and font

QString AppDelegate::keyForExcelFont()
{
    return QStringLiteral("excelFont");
}

void AppDelegate::loadUserPreferencies()
{
    _excelFont = defaultExcelFont;

    const QVariant archived = _platform.preference(keyForExcelFont());
    std::optional<FontDescriptor> stored;
    if (archived.isValid())
        stored = unarchiveFont(archived.toByteArray());

    if (stored) {
        _excelFont = *stored;
    } else {
        const QVariant face = _platform.preference(QStringLiteral("excelFontFace"));
        const QVariant size = _platform.preference(QStringLiteral("excelFontSize"));
        bool sizeIsNumber = false;
        const float points = size.isValid() ? size.toFloat(&sizeIsNumber) : 0.0f;
        // A size that is no positive number would make an unusable font.
        if (face.isValid() && sizeIsNumber && points > 0.0f) {
            FontDescriptor font = _platform.systemFont(fallbackBaseFontSize);
            font = _platform.convertFontToFace(font, face.toString());
            _excelFont = _platform.convertFontToSize(font, double(points));
        }
    }
    _platform.setFontButtonFont(_excelFont);
}

void AppDelegate::onChooseExcelFont()
{
    _platform.showFontPanel(_excelFont, this);
}

void AppDelegate::changeFont(const FontDescriptor& chosen)
{
    _excelFont = chosen;
    _platform.setFontButtonTitle(QString::asprintf(
        "font: %s %.0f", qUtf8Printable(_excelFont.family), _excelFont.pointSize));
    _platform.setFontButtonFont(_excelFont);
    _platform.setPreference(keyForExcelFont(), archiveFont(_excelFont));
}

// ---- opening

std::optional<QString> AppDelegate::openFile(const QString& /*path*/, const QString& fileType)
{
    return _platform.runOpenPanel(fileType);
}

std::optional<QString> AppDelegate::saveFile(const QString& /*path*/, const QString& fileType)
{
    return _platform.runSavePanel(fileType);
}

void AppDelegate::onMenuOpenFile()
{
    onClickOpenTeacherFile();
}

void AppDelegate::onClickOpenTeacherFile()
{
    const std::optional<QString> path = openFile(QString(), QStringLiteral("xml"));
    if (!path)
        return;
    if (loadTimetableFile(*path))
        _platform.noteNewRecentDocument(*path);
}

// A file that cannot be loaded leaves the shown timetable in place; the
// path field goes back to that timetable's file and an alert tells why.
bool AppDelegate::loadTimetableFile(const QString& path)
{
    _fileInputPath = path;
    _platform.setInputPathText(path);

    auto bridge =
        std::make_unique<vorObjWrapper>([this](const QString& line) { _platform.log(line); });
    if (!bridge->loadVorTeacherXML(path)) {
        _platform.setInputPathText(_shownFilePath);
        showAlert(filled("ERROR loading timetable from:\n%1", path), AlertStyle::Warning);
        return false;
    }

    _vorWrapper = std::move(bridge);
    _shownFilePath = path;
    _updateTableColumn = true;
    updateComboBox();
    updateTableContent();
    return true;
}

// ---- choosing what to show

void AppDelegate::onRadioChange()
{
    _radioSelection = _platform.radioSelectedColumn();
    _updateTableColumn = true;
    updateComboBox();
    updateTableContent();
}

void AppDelegate::onComboChange()
{
    updateTableContent();
}

void AppDelegate::updateComboBox()
{
    if (!_vorWrapper) {
        _platform.log(QStringLiteral("vorWrapper is nil!"));
        return;
    }
    const QStringList names =
        _radioSelection == 0 ? _vorWrapper->teachers() : _vorWrapper->students();
    _platform.comboRemoveAllItems();
    _platform.comboAddItems(names);
    if (!names.isEmpty())
        _platform.comboSelectItemAtIndex(0);
}

void AppDelegate::updateTableContent()
{
    if (!_vorWrapper)
        return;

    const int index = _platform.comboIndexOfSelectedItem();
    if (index < 0) {
        _platform.log(QString::asprintf("comboIndex %d!!!", index));
        // Nothing is selected, because there are no names of this kind: an
        // earlier timetable must not stay on screen under them.
        clearTable();
        return;
    }
    const std::optional<QString> name = _platform.comboItemAtIndex(index);
    if (!name) {
        _platform.log(QString::asprintf("combo index %d selection=nil", index));
        return;
    }

    _timeTable = _radioSelection == 0 ? _vorWrapper->teacherTimeSchedule(*name)
                                      : _vorWrapper->studentsTimeSchedule(*name);

    if (_updateTableColumn) {
        rebuildTableColumns();
        _updateTableColumn = false;
    }
    _platform.tableSetNeedsDisplay();
    _platform.tableSetDataSource(this);
    _platform.tableReloadData();
}

void AppDelegate::rebuildTableColumns()
{
    while (_platform.tableColumnCount() > 0)
        _platform.tableRemoveLastColumn();
    if (const QStringList* titles = columnTitles()) {
        for (const QString& title : *titles)
            _platform.tableAddColumn(title, title);
    }
}

void AppDelegate::clearTable()
{
    _timeTable.reset();
    while (_platform.tableColumnCount() > 0)
        _platform.tableRemoveLastColumn();
    _platform.tableSetNeedsDisplay();
    _platform.tableReloadData();
}

// ---- table data source and delegate

const QStringList* AppDelegate::columnTitles() const
{
    return columnCells(headerRowKey());
}

const QStringList* AppDelegate::columnCells(const QString& title) const
{
    if (!_timeTable)
        return nullptr;
    auto found = _timeTable->constFind(title);
    return found == _timeTable->constEnd() ? nullptr : &found.value();
}

qint64 AppDelegate::numberOfRowsInTableView()
{
    const QStringList* titles = columnTitles();
    if (!titles || titles->isEmpty())
        return 0;
    const QStringList* firstColumn = columnCells(titles->first());
    return firstColumn ? firstColumn->size() : 0;
}

QString AppDelegate::objectValueForTableColumn(const QString& columnIdentifier, qint64 row)
{
    const QStringList* cells = columnCells(columnIdentifier);
    if (cells && row >= 0 && row < cells->size())
        return cells->at(int(row));

    const QString missing = QString::asprintf("row %lld:%s", static_cast<long long>(row),
                                              qUtf8Printable(columnIdentifier));
    _platform.log(QStringLiteral("??? ") + missing);
    return missing;
}

double AppDelegate::heightOfRow(qint64 row)
{
    double height = minimumRowHeight;
    const QStringList* titles = columnTitles();
    if (!titles)
        return height;

    const FontDescriptor measureFont = _platform.controlContentFont(rowMeasureFontSize);
    for (const QString& title : *titles) {
        const QStringList* cells = columnCells(title);
        if (!cells || row < 0 || row >= cells->size())
            continue;
        const double cellHeight = _platform.textHeight(cells->at(int(row)), measureFont);
        if (cellHeight > height)
            height = cellHeight;
    }
    return height;
}

// ---- exporting and alerts

void AppDelegate::onClickExportTeachers()
{
    exportWorkbook(Workbook::Teachers);
}

void AppDelegate::onClickExportStudents()
{
    exportWorkbook(Workbook::Students);
}

void AppDelegate::exportWorkbook(Workbook which)
{
    const std::optional<QString> path = saveFile(QString(), QStringLiteral("xlsx"));
    if (!path)
        return;

    bool saved = false;
    if (_vorWrapper) {
        _vorWrapper->setExcelFont(_excelFont.family, _excelFont.pointSize);
        saved = which == Workbook::Teachers ? _vorWrapper->saveVorTeachersXLSX(*path)
                                            : _vorWrapper->saveVorStudentsXLSX(*path);
    }

    if (which == Workbook::Teachers) {
        if (saved)
            showAlert(filled("teachers saved on:\n%1", *path), AlertStyle::Informational);
        else
            showAlert(filled("ERROR saving teachers at:\n%1", *path), AlertStyle::Warning);
    } else {
        if (saved)
            showAlert(filled("students saved on:\n%1", *path), AlertStyle::Informational);
        else
            showAlert(filled("ERROR saving students at:\n%1", *path), AlertStyle::Warning);
    }
}

void AppDelegate::showAlert(const QString& message, AlertStyle style)
{
    _platform.runAlert(message, style);
}
