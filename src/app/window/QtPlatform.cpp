#include "app/window/QtPlatform.h"

#include <QApplication>
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

namespace {

// Room around a cell's text, over the measured height.
constexpr int rowPadding = 6;
// The font button shows large spreadsheet fonts at this size at most.
constexpr double fontButtonMaximumSize = 18.0;

}  // namespace

QtPlatform::QtPlatform(MainWindow& window, QSettings& settings, RecentDocuments& recentDocuments)
    : _window(window), _settings(settings), _recentDocuments(recentDocuments)
{}

// ---- panels and alerts

QString QtPlatform::panelDirectory() const
{
    return _lastPanelDirectory.isEmpty() ? QDir::homePath() : _lastPanelDirectory;
}

std::optional<QString> QtPlatform::runOpenPanel(const QString& fileType)
{
    const QString filter = QStringLiteral("%1 files (*.%2)").arg(fileType.toUpper(), fileType);
    const QString path = QFileDialog::getOpenFileName(&_window, QObject::tr("Open timetable"),
                                                      panelDirectory(), filter);
    if (path.isEmpty())
        return std::nullopt;
    _lastPanelDirectory = QFileInfo(path).absolutePath();
    return path;
}

std::optional<QString> QtPlatform::runSavePanel(const QString& fileType)
{
    QFileDialog panel(&_window, QObject::tr("Save workbook"), panelDirectory());
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setNameFilter(QStringLiteral("%1 workbooks (*.%2)").arg(fileType.toUpper(), fileType));
    panel.setDefaultSuffix(fileType);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = withExtension(panel.selectedFiles().constFirst(), fileType);
    _lastPanelDirectory = QFileInfo(path).absolutePath();
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

void QtPlatform::runAlert(const QString& message, AlertStyle style)
{
    const QMessageBox::Icon icon =
        style == AlertStyle::Warning ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox alert(icon, QStringLiteral("Horatab"), message, QMessageBox::NoButton, &_window);
    alert.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    alert.exec();
}

void QtPlatform::showFontPanel(const FontDescriptor& selected, FontPanelTarget* target)
{
    bool picked = false;
    const QFont font =
        QFontDialog::getFont(&picked, toQFont(selected), &_window, QObject::tr("Spreadsheet font"));
    if (!picked || !target)
        return;
    const double size = font.pointSizeF() > 0 ? font.pointSizeF() : selected.pointSize;
    target->changeFont(FontDescriptor{font.family(), size});
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
    TimetableModel* model = _window.tableModel();
    model->reload();
    if (!_tableDelegate)
        return;
    QTableView* view = _window.tableView();
    for (int row = 0; row < model->rowCount(); ++row)
        view->setRowHeight(row, qCeil(_tableDelegate->heightOfRow(row)) + rowPadding);
}

// ---- other controls

int QtPlatform::radioSelectedColumn()
{
    return _window.studentsRadio()->isChecked() ? 1 : 0;
}

void QtPlatform::setInputPathText(const QString& text)
{
    _window.pathField()->setText(text);
    _window.pathField()->setCursorPosition(0);
}

void QtPlatform::setFontButtonTitle(const QString& title)
{
    _window.fontButton()->setText(title);
}

void QtPlatform::setFontButtonFont(const FontDescriptor& font)
{
    FontDescriptor shown = font;
    shown.pointSize = qMin(font.pointSize, fontButtonMaximumSize);
    _window.fontButton()->setFont(toQFont(shown));
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

void QtPlatform::log(const QString& line)
{
    qInfo("%s", qUtf8Printable(line));
}
