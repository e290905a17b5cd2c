#ifndef SETTINGSFILES_H
#define SETTINGSFILES_H

#include <QPoint>
#include <QString>

#include <memory>
#include <optional>

class QSettings;
class VIVExcelCellSliderView;

// The program's two settings files, in INI format: "settings.cfg" holds whether the user
// approved the terms of use and where the program's windows were, "sliderSettings.cfg" the limits
// and step users gave their sliders, one group per cell under its workbook's and sheet's names and
// the cell's labels. Every access opens the file anew; nothing is kept in memory. A missing,
// unreadable or garbled file gives the defaults; a failed write is logged.
class SettingsFiles
{
public:
    // Beside the program when its folder is writable, otherwise the user's configuration folder,
    // so that an installed program still keeps what the user sets.
    static QString defaultDirectory();

    explicit SettingsFiles(const QString &directory = defaultDirectory());

    QString directory() const { return m_directory; }
    QString settingsPath() const;
    QString sliderSettingsPath() const;

    bool termsOfUseApproved() const;
    void setTermsOfUseApproved(bool approved) const;
    // The top-left corner the named window had when it was last put away; nothing when none
    // was stored or the stored one is not a point.
    std::optional<QPoint> windowPosition(const QString &window) const;
    void setWindowPosition(const QString &window, const QPoint &position) const;

    // Stores the limits, the step and the description of the view's slider under its cell.
    void saveSliderSettings(VIVExcelCellSliderView *view) const;
    // Finds the view's cell group (by workbook, sheet and labels, else by the labels in any
    // workbook and sheet) and applies it; true when stored settings were applied.
    bool loadSliderSettings(VIVExcelCellSliderView *view) const;
    // The slider settings file, read once for several sliders: those one New Sliders makes.
    std::unique_ptr<QSettings> openSliderSettings() const;
    // As above, from a file already read; leaves it at its top level.
    static bool loadSliderSettings(VIVExcelCellSliderView *view, QSettings &settings);
    // Applies the values of the group settings is in to the view's slider, unless the stored
    // limits exclude the slider's current value; true when they were applied.
    static bool applySliderSettings(VIVExcelCellSliderView *view, QSettings &settings);

    // The group a description is stored under: its lines joined with "////".
    static QString cellKey(const QString &description);
    // A name as it is used as one group: "/" and "\" would make nested groups of it, so a
    // name holding them is stored with them (and "%") percent-encoded. Other names are
    // stored as they are.
    static QString groupName(const QString &name);

private:
    void write(QSettings &settings) const;

    QString m_directory;
};

#endif
