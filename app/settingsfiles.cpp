#include "app/settingsfiles.h"

#include "app/applogging.h"
#include "excel/vivexcelrange.h"
#include "excel/vivexcelsheet.h"
#include "excel/vivexcelworkbook.h"
#include "graph/minmaxmultidimdata.h"
#include "sliders/vivexcelcellsliderview.h"
#include "sliders/vivslider.h"
#include "watches/vivexcelwatchview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardPaths>

#include <cmath>
#include <optional>

namespace {

const QString termsKey = QStringLiteral("TermsOfUseApproved");
const QString windowsGroup = QStringLiteral("Windows/");

// The three levels of a slider's group in the slider settings file.
struct CellGroup
{
    QString workbook;
    QString sheet;
    QString key;
};

std::optional<CellGroup> cellGroupOf(VIVExcelCellSliderView *view)
{
    VIVExcelRange *range = view ? view->range() : nullptr;
    if (!range) {
        qCDebug(lcApp) << "Slider settings need a slider on a cell";
        return std::nullopt;
    }
    VIVExcelSheet *sheet = range->sheet(true);
    CellGroup group{SettingsFiles::groupName(sheet->workbook()->name()),
                    SettingsFiles::groupName(sheet->name()),
                    SettingsFiles::groupName(SettingsFiles::cellKey(view->display()->text()))};
    // An empty level would vanish from the path and put the values a level too high, where
    // other cells' groups would read them.
    if (group.workbook.isEmpty() || group.sheet.isEmpty() || group.key.isEmpty()) {
        qCDebug(lcApp) << "No slider settings for" << range->address()
                       << "without workbook, sheet and description";
        return std::nullopt;
    }
    return group;
}

// Enters the first child group whose name equals name without regard to case.
bool enterGroup(QSettings &settings, const QString &name)
{
    const QString wanted = name.toLower();
    const QStringList groups = settings.childGroups();
    for (const QString &group : groups) {
        if (group.toLower() == wanted) {
            settings.beginGroup(group);
            return true;
        }
    }
    return false;
}

// The cell's group under any workbook and sheet, the first in the file's order.
bool enterGroupAnywhere(QSettings &settings, const QString &key)
{
    const QStringList workbooks = settings.childGroups();
    for (const QString &workbook : workbooks) {
        settings.beginGroup(workbook);
        const QStringList sheets = settings.childGroups();
        for (const QString &sheet : sheets) {
            settings.beginGroup(sheet);
            if (enterGroup(settings, key))
                return true;
            settings.endGroup();
        }
        settings.endGroup();
    }
    return false;
}

// A stored value replaces the current one only when it is a finite number.
void readNumber(const QSettings &settings, const QString &key, double &value)
{
    bool isNumber = false;
    const double stored = settings.value(key, value).toDouble(&isNumber);
    if (isNumber && std::isfinite(stored))
        value = stored;
}

} // namespace

QString SettingsFiles::defaultDirectory()
{
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo(beside).isWritable())
        return beside;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

SettingsFiles::SettingsFiles(const QString &directory) : m_directory(directory) {}

QString SettingsFiles::settingsPath() const
{
    return m_directory + QStringLiteral("/settings.cfg");
}

QString SettingsFiles::sliderSettingsPath() const
{
    return m_directory + QStringLiteral("/sliderSettings.cfg");
}

bool SettingsFiles::termsOfUseApproved() const
{
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    return settings.value(termsKey, false).toBool();
}

void SettingsFiles::setTermsOfUseApproved(bool approved) const
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(termsKey, approved);
    write(settings);
}

std::optional<QPoint> SettingsFiles::windowPosition(const QString &window) const
{
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    const QVariant stored = settings.value(windowsGroup + window);
    if (stored.typeId() != QMetaType::QPoint)
        return std::nullopt;
    return stored.toPoint();
}

void SettingsFiles::setWindowPosition(const QString &window, const QPoint &position) const
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(windowsGroup + window, position);
    write(settings);
}

void SettingsFiles::saveSliderSettings(VIVExcelCellSliderView *view) const
{
    const std::optional<CellGroup> group = cellGroupOf(view);
    if (!group)
        return;
    QSettings settings(sliderSettingsPath(), QSettings::IniFormat);
    const QString prefix =
        QStringLiteral("%1/%2/%3/").arg(group->workbook, group->sheet, group->key);
    const VIVSlider *slider = view->slider();
    settings.setValue(prefix + QStringLiteral("min"), slider->realMinimum());
    settings.setValue(prefix + QStringLiteral("max"), slider->realMaximum());
    settings.setValue(prefix + QStringLiteral("step"), slider->realStep());
    settings.setValue(prefix + QStringLiteral("label"), view->display()->text());
    write(settings);
}

bool SettingsFiles::loadSliderSettings(VIVExcelCellSliderView *view) const
{
    return loadSliderSettings(view, *openSliderSettings());
}

std::unique_ptr<QSettings> SettingsFiles::openSliderSettings() const
{
    return std::make_unique<QSettings>(sliderSettingsPath(), QSettings::IniFormat);
}

bool SettingsFiles::loadSliderSettings(VIVExcelCellSliderView *view, QSettings &settings)
{
    const std::optional<CellGroup> group = cellGroupOf(view);
    if (!group)
        return false;
    const auto leaveGroups = [&settings]() {
        while (!settings.group().isEmpty())
            settings.endGroup();
    };
    bool applied = false;
    if (enterGroup(settings, group->workbook) && enterGroup(settings, group->sheet) &&
        enterGroup(settings, group->key)) {
        applied = applySliderSettings(view, settings);
    } else {
        leaveGroups();
        if (enterGroupAnywhere(settings, group->key))
            applied = applySliderSettings(view, settings);
    }
    leaveGroups();
    return applied;
}

bool SettingsFiles::applySliderSettings(VIVExcelCellSliderView *view, QSettings &settings)
{
    VIVSlider *slider = view->slider();
    double minimum = slider->realMinimum();
    double maximum = slider->realMaximum();
    double step = slider->realStep();
    readNumber(settings, QStringLiteral("min"), minimum);
    readNumber(settings, QStringLiteral("max"), maximum);
    double storedStep = step;
    readNumber(settings, QStringLiteral("step"), storedStep);
    if (storedStep > 0)
        step = storedStep;
    // The stored label is not applied: the view keeps the labels its cell has now.
    const double value = slider->realValue();
    if (value < minimum || value > maximum) {
        qCDebug(lcApp) << "Stored slider settings" << settings.group() << "exclude the value"
                       << value;
        return false;
    }
    // The view drops what the slider emits for a position set while the view is quiet, now
    // or later from the slider's rate limiter, so blocking the view is enough.
    const QSignalBlocker quiet(view);
    slider->setConfig(minimum, maximum, step);
    view->display()->data()->setMinMax(minimum, maximum);
    slider->setRealValue(value);
    return true;
}

QString SettingsFiles::cellKey(const QString &description)
{
    return description.split(QLatin1Char('\n')).join(QStringLiteral("////"));
}

QString SettingsFiles::groupName(const QString &name)
{
    if (!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')))
        return name;
    QString encoded = name;
    encoded.replace(QLatin1Char('%'), QStringLiteral("%25"));
    encoded.replace(QLatin1Char('/'), QStringLiteral("%2F"));
    encoded.replace(QLatin1Char('\\'), QStringLiteral("%5C"));
    return encoded;
}

void SettingsFiles::write(QSettings &settings) const
{
    QDir().mkpath(m_directory);
    settings.sync();
    // A file with lines the reader skipped is still written; only a failed write is reported.
    if (settings.status() == QSettings::AccessError)
        qCWarning(lcApp) << "Could not write the settings file" << settings.fileName();
    else if (settings.status() == QSettings::FormatError)
        qCDebug(lcApp) << "The settings file had lines that could not be read"
                       << settings.fileName();
}
