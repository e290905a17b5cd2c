#ifndef VIEWCELLS_H
#define VIEWCELLS_H

#include <QPointer>
#include <QString>
#include <QStringList>

class ExcelAddressBlock;
class QObject;
class VIVExcelApplication;
class VIVExcelCellSliderView;
class VIVExcelRange;
class VIVExcelWatchView;

// Where the sliders' and watches' cells live. New Sliders and New Watches take their cells from
// the workbook and sheet of the selection; every view keeps that workbook title, sheet and address,
// so that it can be moved to the same cell of the office that comes back after a restart.
class ViewCells
{
public:
    VIVExcelApplication *application() const;
    // True when the application is another one than before (the office restarted), so that the
    // views must be moved to its cells.
    bool follow(VIVExcelApplication *application);
    // The selection's workbook and sheet become those of the cells taken next.
    void takeSelectionOf(VIVExcelApplication *application);

    // Only one cell makes a view: no area, row or column.
    static bool isSingleCell(const ExcelAddressBlock *block);
    VIVExcelRange *cellOf(const ExcelAddressBlock *block) const;
    void remember(QObject *view, VIVExcelRange *range) const;
    static QString addressOf(const QObject *view);
    // The labels beside the cell, one a line.
    QString descriptionOf(VIVExcelRange *range) const;

    // Binds the view to its remembered cell of the current application; false when it has none.
    bool rebind(VIVExcelCellSliderView *slider) const;
    bool rebind(VIVExcelWatchView *watch) const;

private:
    VIVExcelRange *sameCell(const QObject *view) const;

    QPointer<VIVExcelApplication> m_application;
    QString m_workbookName;
    QString m_sheetName;
};

#endif
