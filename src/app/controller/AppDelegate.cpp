#include "app/controller/AppDelegate.h"

#include <QStringList>

#include <algorithm>

#include "app/controller/fontArchive.h"
#include "timetable/timeTable.h"

namespace {

const FontDescriptor defaultExcelFont{QStringLiteral("Calibri"), 11.0};
constexpr double fallbackBaseFontSize = 11.0;
constexpr double rowMeasureFontSize = 16.0;
constexpr double minimumRowHeight = 10.0;

QString filled(const char* format, const QString& path)
{
    return QString::fromLatin1(format).arg(path);
}

// The alert's text with the reason, when there is one, as a second
// paragraph.
QString withReason(const QString& message, const QString& reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\n\n") + reason;
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
    _platform.setExportEnabled(false);
    _radioSelection = _platform.preference(keyForRadioSelection()).toInt() == 1 ? 1 : 0;
    _platform.setRadioSelectedColumn(int(_radioSelection));
    _platform.setTeachersCheckAvailable(_radioSelection != 0);
    _printReady = _platform.preference(keyForPrintReady()).toBool();
    _platform.setPrintReadyChecked(_printReady);
    _alphabetical = _platform.preference(keyForAlphabeticalOrder()).toBool();
    _platform.setAlphabeticalChecked(_alphabetical);
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

void AppDelegate::openRecentDocument(const QString& path)
{
    if (!_platform.fileExists(path)) {
        _platform.removeRecentDocument(path);
        showAlert(withReason(filled("ERROR loading timetable from:\n%1", path),
                             QStringLiteral("The file no longer exists; it was removed from "
                                            "Open Recent.")),
                  AlertStyle::Warning);
        return;
    }
    loadTimetableFile(path);
}

// ---- preferences and font

QString AppDelegate::keyForExcelFont()
{
    return QStringLiteral("excelFont");
}

QString AppDelegate::keyForRadioSelection()
{
    return QStringLiteral("showStudentGroups");
}

QString AppDelegate::keyForPrintReady()
{
    return QStringLiteral("printReady");
}

QString AppDelegate::keyForAlphabeticalOrder()
{
    return QStringLiteral("alphabeticalOrder");
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
    showFontOnButton();
}

// The title names the font; the button keeps its normal size.
void AppDelegate::showFontOnButton()
{
    _platform.setFontButtonTitle(QString::asprintf(
        "font: %s %.0f", qUtf8Printable(_excelFont.family), _excelFont.pointSize));
    _platform.setFontButtonFont(_excelFont);
}

void AppDelegate::onUseDefaultFont()
{
    changeFont(defaultExcelFont);
}

void AppDelegate::onChooseExcelFont()
{
    _platform.showFontPanel(_excelFont, this);
}

void AppDelegate::changeFont(const FontDescriptor& chosen)
{
    _excelFont = chosen;
    showFontOnButton();
    _platform.setPreference(keyForExcelFont(), archiveFont(_excelFont));
}

// ---- opening

std::optional<QString> AppDelegate::openFile(const QString& /*path*/, const QString& fileType)
{
    return _platform.runOpenPanel(fileType);
}

void AppDelegate::onMenuOpenFile()
{
    onClickOpenTeacherFile();
}

void AppDelegate::onClickOpenTeacherFile()
{
    const std::optional<QString> path = openFile(QString(), QStringLiteral("xml"));
    if (path)
        loadTimetableFile(*path);
}

// A file that cannot be loaded leaves the shown timetable in place; the
// path field goes back to that timetable's file and an alert tells why.
// Every file loaded, by whatever route, joins the recent documents.
bool AppDelegate::loadTimetableFile(const QString& path)
{
    _fileInputPath = path;
    _platform.setInputPathText(path);

    auto bridge =
        std::make_unique<vorObjWrapper>([this](const QString& line) { _platform.log(line); });
    QString reason;
    _platform.setBusy(true);
    const bool loaded = bridge->loadVorTeacherXML(path, &reason);
    _platform.setBusy(false);
    if (!loaded) {
        _platform.setInputPathText(_shownFilePath);
        showAlert(withReason(filled("ERROR loading timetable from:\n%1", path), reason),
                  AlertStyle::Warning);
        return false;
    }

    _vorWrapper = std::move(bridge);
    _vorWrapper->setNameOrder(listOrder());
    _shownFilePath = path;
    _updateTableColumn = true;
    _platform.setWindowFilePath(path);
    _platform.setStatusText(statusLine());
    _platform.setExportEnabled(true);
    updateComboBox();
    updateTableContent();
    _platform.noteNewRecentDocument(path);
    return true;
}

QString AppDelegate::statusLine() const
{
    const TimetableSize size = _vorWrapper->size();
    return QStringLiteral("%1 teachers \u00b7 %2 groups \u00b7 %3 days \u00d7 %4 hours")
        .arg(size.teachers)
        .arg(size.groups)
        .arg(size.days)
        .arg(size.hours);
}

// ---- choosing what to show

void AppDelegate::onRadioChange()
{
    _radioSelection = _platform.radioSelectedColumn();
    _platform.setPreference(keyForRadioSelection(), int(_radioSelection != 0));
    _platform.setTeachersCheckAvailable(_radioSelection != 0);
    _updateTableColumn = true;
    updateComboBox();
    updateTableContent();
}

void AppDelegate::onComboChange()
{
    updateTableContent();
}

void AppDelegate::onDetailsChange()
{
    updateTableContent();
}

void AppDelegate::onPrintReadyChange()
{
    _printReady = _platform.printReadyChecked();
    _platform.setPreference(keyForPrintReady(), _printReady);
}

// The list is sorted again; the name shown stays selected.
void AppDelegate::onOrderChange()
{
    _alphabetical = _platform.alphabeticalChecked();
    _platform.setPreference(keyForAlphabeticalOrder(), _alphabetical);
    if (!_vorWrapper)
        return;
    const std::optional<QString> shown =
        _platform.comboItemAtIndex(_platform.comboIndexOfSelectedItem());
    _vorWrapper->setNameOrder(listOrder());
    fillComboBox(shown.value_or(QString()));
    updateTableContent();
}

nameOrder AppDelegate::listOrder() const
{
    return _alphabetical ? nameOrder::alphabet : nameOrder::bytes;
}

void AppDelegate::updateComboBox()
{
    if (!_vorWrapper) {
        _platform.log(QStringLiteral("vorWrapper is nil!"));
        return;
    }
    fillComboBox(QString());
}

// Selects `keep` when it is listed, else the first name.
void AppDelegate::fillComboBox(const QString& keep)
{
    const QStringList names =
        _radioSelection == 0 ? _vorWrapper->teachers() : _vorWrapper->students();
    _platform.comboRemoveAllItems();
    _platform.comboAddItems(names);
    if (!names.isEmpty())
        _platform.comboSelectItemAtIndex(std::max(0, int(names.indexOf(keep))));
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

    const uint32_t rooms = _platform.roomsShown() ? INFO_ROOM : 0;
    const uint32_t teachers = _platform.teachersShown() ? INFO_TEACHER : 0;
    _timeTable = _radioSelection == 0 ? _vorWrapper->teacherTimeSchedule(*name, rooms)
                                      : _vorWrapper->studentsTimeSchedule(*name, rooms | teachers);

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

QString AppDelegate::suggestedWorkbookName(Workbook which) const
{
    QString base = _shownFilePath.section(QLatin1Char('/'), -1);
    if (base.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        base.chop(4);
    return base + (which == Workbook::Teachers ? QStringLiteral("-teachers.xlsx")
                                               : QStringLiteral("-students.xlsx"));
}

// The export runs away from the window, which keeps repainting and shows
// its progress; a cancelled export is a failure that leaves nothing.
void AppDelegate::exportWorkbook(Workbook which)
{
    if (!_vorWrapper)
        return;  // the export controls are disabled until a timetable is loaded
    const bool teachers = which == Workbook::Teachers;
    const QString title =
        teachers ? QStringLiteral("Export Teachers") : QStringLiteral("Export Student Groups");
    const std::optional<QString> path =
        _platform.runSavePanel(QStringLiteral("xlsx"), title, suggestedWorkbookName(which));
    if (!path)
        return;

    _vorWrapper->setExcelFont(_excelFont.family, _excelFont.pointSize);
    _vorWrapper->setPrintReady(_printReady);
    exportProgress progress;
    QString reason;
    vorObjWrapper* bridge = _vorWrapper.get();
    const bool saved = _platform.runWithProgress(title, progress, [&] {
        return teachers ? bridge->saveVorTeachersXLSX(*path, &progress, &reason)
                        : bridge->saveVorStudentsXLSX(*path, &progress, &reason);
    });

    if (saved)
        showSavedAlert(
            filled(teachers ? "teachers saved on:\n%1" : "students saved on:\n%1", *path), *path);
    else
        showAlert(withReason(filled(teachers ? "ERROR saving teachers at:\n%1"
                                             : "ERROR saving students at:\n%1",
                                    *path),
                             reason),
                  AlertStyle::Warning);
}

void AppDelegate::showSavedAlert(const QString& message, const QString& path)
{
    const int choice =
        _platform.runAlert(message, AlertStyle::Informational,
                           {QStringLiteral("Open"), QStringLiteral("Show in folder")});
    if (choice == 1)
        _platform.openWithDesktop(path);
    else if (choice == 2)
        _platform.showInFolder(path);
}

void AppDelegate::showAlert(const QString& message, AlertStyle style)
{
    _platform.runAlert(message, style);
}
