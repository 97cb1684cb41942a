#include "app/window/QtPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QMenu>
#include <QProgressDialog>
#include <QLabel>
#include <QTimer>
#include <QUrl>

#include <mutex>
#include <thread>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QtMath>

#include "app/window/MainWindow.h"
#include "app/window/RecentDocuments.h"
#include "app/window/TimetableModel.h"
#include "timetable/timeTable.h"

namespace {

// Room around a cell's text, over the measured height.
constexpr int rowPadding = 6;
const char* const lastFolderKey = "lastFolder";
const FontDescriptor defaultSpreadsheetFont{QStringLiteral("Calibri"), 11.0};

// The spreadsheet font's family and size, nothing else: the workbook has
// no use for style, underline or strikeout. The family is an editable list
// so that a family not installed here is kept as chosen.
class SpreadsheetFontDialog : public QDialog
{
public:
    SpreadsheetFontDialog(const FontDescriptor& selected, QWidget* parent) : QDialog(parent)
    {
        setWindowTitle(QObject::tr("Spreadsheet font"));
        _family = new QComboBox(this);
        _family->setEditable(true);
        _family->setInsertPolicy(QComboBox::NoInsert);
        QStringList families = QFontDatabase::families();
        if (!families.contains(selected.family))
            families.prepend(selected.family);
        _family->addItems(families);
        _family->setCurrentText(selected.family);
        _size = new QDoubleSpinBox(this);
        _size->setRange(1.0, 409.0);
        _size->setDecimals(1);
        _size->setValue(selected.pointSize);

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        QPushButton* useDefault =
            buttons->addButton(QObject::tr("&Use default font"), QDialogButtonBox::ResetRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(useDefault, &QPushButton::clicked, this, [this] {
            _family->setCurrentText(defaultSpreadsheetFont.family);
            _size->setValue(defaultSpreadsheetFont.pointSize);
            accept();
        });

        auto* form = new QFormLayout(this);
        form->addRow(QObject::tr("&Family:"), _family);
        form->addRow(QObject::tr("&Size:"), _size);
        form->addRow(buttons);
    }

    FontDescriptor chosen() const
    {
        return FontDescriptor{_family->currentText().trimmed(), _size->value()};
    }

private:
    QComboBox* _family;
    QDoubleSpinBox* _size;
};

// The latest report of an export, handed from its thread to the window.
struct ProgressReport
{
    std::mutex lock;
    uint64_t done = 0;
    uint64_t total = 0;
    QString title;
    bool fresh = false;
};

}  // namespace

QtPlatform::QtPlatform(MainWindow& window, QSettings& settings, RecentDocuments& recentDocuments)
    : _window(window), _settings(settings), _recentDocuments(recentDocuments)
{}

// ---- panels and alerts

QString QtPlatform::panelDirectory() const
{
    const QString last = _settings.value(QLatin1String(lastFolderKey)).toString();
    return last.isEmpty() || !QFileInfo(last).isDir() ? QDir::homePath() : last;
}

void QtPlatform::rememberPanelDirectory(const QString& path)
{
    _settings.setValue(QLatin1String(lastFolderKey), QFileInfo(path).absolutePath());
}

std::optional<QString> QtPlatform::runOpenPanel(const QString& fileType)
{
    const QString filter = QStringLiteral("%1 files (*.%2)").arg(fileType.toUpper(), fileType);
    const QString path = QFileDialog::getOpenFileName(&_window, QObject::tr("Open timetable"),
                                                      panelDirectory(), filter);
    if (path.isEmpty())
        return std::nullopt;
    rememberPanelDirectory(path);
    return path;
}

std::optional<QString> QtPlatform::runSavePanel(const QString& fileType, const QString& title,
                                                const QString& suggestedName)
{
    QFileDialog panel(&_window, title, panelDirectory());
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setNameFilter(QStringLiteral("%1 workbooks (*.%2)").arg(fileType.toUpper(), fileType));
    panel.setDefaultSuffix(fileType);
    panel.selectFile(suggestedName);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = withExtension(panel.selectedFiles().constFirst(), fileType);
    rememberPanelDirectory(path);
    return path;
}

QString QtPlatform::withExtension(const QString& path, const QString& extension)
{
    if (QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0)
        return path;
    if (path.endsWith(QLatin1Char('.')))
        return path + extension;
    return path + QLatin1Char('.') + extension;
}

int QtPlatform::runAlert(const QString& message, AlertStyle style, const QStringList& choices)
{
    const QMessageBox::Icon icon =
        style == AlertStyle::Warning ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox alert(icon, QStringLiteral("Horatab"), message, QMessageBox::NoButton, &_window);
    QList<QAbstractButton*> buttons{alert.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole)};
    for (const QString& choice : choices)
        buttons.append(alert.addButton(choice, QMessageBox::ActionRole));
    alert.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    alert.exec();
    return std::max(0, int(buttons.indexOf(alert.clickedButton())));
}

// The worker reports into `report`; a timer in the window's thread shows
// the latest report, so a fast export does not flood the event queue.
bool QtPlatform::runWithProgress(const QString& title, exportProgress& progress,
                                 const std::function<bool()>& work)
{
    QProgressDialog dialog(title, QObject::tr("Cancel"), 0, 0, &_window);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(420);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        progress.cancelled = true;
        dialog.setLabelText(QObject::tr("Cancelling…"));
    });

    ProgressReport report;
    progress.sheetStarted = [&report](uint64_t done, uint64_t total, const std::string& name) {
        std::lock_guard<std::mutex> hold(report.lock);
        report.done = done;
        report.total = total;
        report.title = QString::fromStdString(name);
        report.fresh = true;
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        std::lock_guard<std::mutex> hold(report.lock);
        if (!report.fresh || progress.cancelled)
            return;
        report.fresh = false;
        const int total = int(std::min<uint64_t>(report.total, INT_MAX));
        dialog.setMaximum(total);
        dialog.setValue(int(std::min<uint64_t>(report.done, uint64_t(total))));
        dialog.setLabelText(report.done < report.total ? QObject::tr("Sheet %1 of %2: %3")
                                                             .arg(report.done + 1)
                                                             .arg(report.total)
                                                             .arg(report.title)
                                                       : QObject::tr("Saving the workbook…"));
    });

    QEventLoop loop;
    bool result = false;
    std::thread worker([&] {
        result = work();
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    dialog.show();
    poll.start(50);
    loop.exec();
    worker.join();
    poll.stop();
    QApplication::restoreOverrideCursor();
    progress.sheetStarted = nullptr;
    return result;
}

void QtPlatform::setBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // show it now
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtPlatform::openWithDesktop(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtPlatform::showInFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool QtPlatform::fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

void QtPlatform::showFontPanel(const FontDescriptor& selected, FontPanelTarget* target)
{
    SpreadsheetFontDialog dialog(selected, &_window);
    if (dialog.exec() != QDialog::Accepted || !target)
        return;
    const FontDescriptor chosen = dialog.chosen();
    if (!chosen.family.isEmpty())
        target->changeFont(chosen);
}

// ---- combo box

void QtPlatform::comboRemoveAllItems()
{
    _window.comboBox()->clear();
}

void QtPlatform::comboAddItems(const QStringList& items)
{
    _window.comboBox()->addItems(items);
}

void QtPlatform::comboSelectItemAtIndex(int index)
{
    _window.comboBox()->setCurrentIndex(index);
}

int QtPlatform::comboIndexOfSelectedItem()
{
    return _window.comboBox()->currentIndex();
}

std::optional<QString> QtPlatform::comboItemAtIndex(int index)
{
    QComboBox* combo = _window.comboBox();
    if (index < 0 || index >= combo->count())
        return std::nullopt;
    return combo->itemText(index);
}

// ---- table

void QtPlatform::tableSetDataSource(TableDataSource* dataSource)
{
    _window.tableModel()->setDataSource(dataSource);
}

void QtPlatform::tableSetDelegate(TableDelegate* delegate)
{
    _tableDelegate = delegate;
}

int QtPlatform::tableColumnCount()
{
    return _window.tableModel()->columnCount();
}

void QtPlatform::tableRemoveLastColumn()
{
    _window.tableModel()->removeLastColumn();
}

void QtPlatform::tableAddColumn(const QString& identifier, const QString& headerTitle)
{
    TimetableModel* model = _window.tableModel();
    model->addColumn(identifier, headerTitle);
    // The first column holds the hour names: as wide as they are; the days
    // share the rest.
    const int added = model->columnCount() - 1;
    _window.tableView()->horizontalHeader()->setSectionResizeMode(
        added, added == 0 ? QHeaderView::ResizeToContents : QHeaderView::Stretch);
}

void QtPlatform::tableSetNeedsDisplay()
{
    _window.tableView()->viewport()->update();
}

void QtPlatform::tableReloadData()
{
    _window.tableModel()->reload();
    fitRowHeights();
}

// The controller's height (its lines in the measuring font) or the height
// the text needs when wrapped in the column's width, whichever is taller.
void QtPlatform::fitRowHeights()
{
    if (!_tableDelegate)
        return;
    QTableView* view = _window.tableView();
    for (int row = 0; row < _window.tableModel()->rowCount(); ++row) {
        const int measured = qCeil(_tableDelegate->heightOfRow(row)) + rowPadding;
        view->resizeRowToContents(row);
        if (view->rowHeight(row) < measured)
            view->setRowHeight(row, measured);
    }
}

// ---- other controls

int QtPlatform::radioSelectedColumn()
{
    return _window.studentsRadio()->isChecked() ? 1 : 0;
}

void QtPlatform::setRadioSelectedColumn(int column)
{
    (column == 0 ? _window.teachersRadio() : _window.studentsRadio())->setChecked(true);
}

bool QtPlatform::roomsShown()
{
    return _window.roomsCheck()->isChecked();
}

bool QtPlatform::teachersShown()
{
    return _window.teachersCheck()->isEnabled() && _window.teachersCheck()->isChecked();
}

void QtPlatform::setTeachersCheckAvailable(bool available)
{
    _window.teachersCheck()->setEnabled(available);
}

bool QtPlatform::printReadyChecked()
{
    return _window.printReadyCheck()->isChecked();
}

void QtPlatform::setPrintReadyChecked(bool checked)
{
    _window.printReadyCheck()->setChecked(checked);
}

bool QtPlatform::alphabeticalChecked()
{
    return _window.alphabeticalCheck()->isChecked();
}

void QtPlatform::setAlphabeticalChecked(bool checked)
{
    _window.alphabeticalCheck()->setChecked(checked);
}

void QtPlatform::setExportEnabled(bool enabled)
{
    for (QWidget* button : {static_cast<QWidget*>(_window.exportTeachersButton()),
                            static_cast<QWidget*>(_window.exportStudentsButton())})
        button->setEnabled(enabled);
    _window.exportTeachersAction()->setEnabled(enabled);
    _window.exportStudentsAction()->setEnabled(enabled);
    _window.printAction()->setEnabled(enabled);
}

void QtPlatform::setWindowFilePath(const QString& path)
{
    _window.setWindowFilePath(path);
    _window.setWindowTitle(QStringLiteral("%1 \u2014 Horatab").arg(QFileInfo(path).fileName()));
}

void QtPlatform::setStatusText(const QString& text)
{
    _window.statusLabel()->setText(text);
}

void QtPlatform::setInputPathText(const QString& text)
{
    _window.pathField()->setText(text);
    _window.pathField()->setCursorPosition(0);
}

// "font: <family> <size>" with Alt+N kept on "font", and any "&" of the
// family shown as itself.
void QtPlatform::setFontButtonTitle(const QString& title)
{
    QString shown = title;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    if (shown.startsWith(QLatin1String("font:")))
        shown.replace(0, 4, QStringLiteral("fo&nt"));
    _window.fontButton()->setText(shown);
}

// The family only: the button keeps the size of the other buttons.
void QtPlatform::setFontButtonFont(const FontDescriptor& font)
{
    QFont shown = QApplication::font();
    shown.setFamily(font.family);
    _window.fontButton()->setFont(shown);
    _window.fontButton()->update();
}

// ---- fonts and measuring

QFont QtPlatform::toQFont(const FontDescriptor& font)
{
    QFont qfont(font.family);
    if (font.pointSize > 0)
        qfont.setPointSizeF(font.pointSize);
    return qfont;
}

FontDescriptor QtPlatform::systemFont(double pointSize)
{
    return FontDescriptor{QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(),
                          pointSize};
}

FontDescriptor QtPlatform::controlContentFont(double pointSize)
{
    return FontDescriptor{QApplication::font().family(), pointSize};
}

FontDescriptor QtPlatform::convertFontToFace(const FontDescriptor& font, const QString& face)
{
    return FontDescriptor{face, font.pointSize};
}

FontDescriptor QtPlatform::convertFontToSize(const FontDescriptor& font, double pointSize)
{
    return FontDescriptor{font.family, pointSize};
}

double QtPlatform::textHeight(const QString& text, const FontDescriptor& font)
{
    if (text.isEmpty())
        return 0.0;
    return QFontMetricsF(toQFont(font)).size(0, text).height();
}

// ---- preferences, recent documents, log

QVariant QtPlatform::preference(const QString& key)
{
    return _settings.contains(key) ? _settings.value(key) : QVariant();
}

void QtPlatform::setPreference(const QString& key, const QVariant& value)
{
    _settings.setValue(key, value);
    _settings.sync();
}

void QtPlatform::noteNewRecentDocument(const QString& path)
{
    _recentDocuments.add(path);
    if (_recentChanged)
        _recentChanged();
}

void QtPlatform::removeRecentDocument(const QString& path)
{
    _recentDocuments.remove(path);
    if (_recentChanged)
        _recentChanged();
}

void QtPlatform::log(const QString& line)
{
    qInfo("%s", qUtf8Printable(line));
}
