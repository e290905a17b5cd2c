#ifndef VIVEXCELAPPLICATION_H
#define VIVEXCELAPPLICATION_H

#include "excel/vivexcelbase.h"

#include <QList>
#include <QStringList>
#include <optional>

class VIVExcelRange;
class VIVExcelWindow;
class VIVExcelWorkbook;
class VIVExcelWorkbooks;

// The spreadsheet program the window works with; the root of the wrapper tree.
class VIVExcelApplication : public VIVExcelBase
{
    Q_OBJECT

public:
    explicit VIVExcelApplication(std::unique_ptr<ExcelObject> object = nullptr,
                                 QObject *parent = nullptr);

    // Tells instances apart; 0 for a wrapper without a reachable instance. Never makes the
    // wrapper reach for the program.
    qint64 hwnd() const;
    void setVisible(bool visible);
    void setScreenUpdating(bool updating);
    VIVExcelWorkbooks *workbooks();
    VIVExcelWorkbook *activeWorkbook(bool keep);
    VIVExcelWindow *activeWindow(bool keep);
    // The texts left of and above the cell that name it: (row label, column label).
    QStringList cellLabels(VIVExcelRange *range);
    // Writes every value into its cell, then reads each read cell as a number in double
    // precision (NaN for anything that is not a number, a text that looks like one included).
    // Empty, and nothing touched, when writeRanges and values differ in length.
    QList<qreal> setCellValuesGetCellValues(const QList<VIVExcelRange *> &writeRanges,
                                            const QList<qreal> &values,
                                            const QList<VIVExcelRange *> &readRanges);
    // Evaluates the points of a scan in order. pointValues holds writeRanges.size() numbers
    // per point; for each point they are written into writeRanges, then every read cell is
    // read. The result holds readRanges.size() numbers per point, point after point. Empty,
    // and nothing touched, when pointValues is not a whole number of points. The application
    // evaluates the batch itself when it can, else the points are exchanged one by one; the
    // numbers are the same either way.
    QList<qreal> evaluatePoints(const QList<VIVExcelRange *> &writeRanges,
                                const QList<qreal> &pointValues,
                                const QList<VIVExcelRange *> &readRanges);

    // Recalculates the workbooks of the ranges that the program wrote since their last full
    // recalculation, so the office itself shows true values again after the program's writes.
    void recalculateFullyWhereNeeded(const QList<VIVExcelRange *> &ranges);
    // Recalculates the workbooks of the ranges fully, whoever changed them last.
    void recalculateFully(const QList<VIVExcelRange *> &ranges);

public slots:
    void show();

protected:
    std::unique_ptr<ExcelObject> createObject() override;

private:
    std::optional<QList<qreal>> evaluateInApplication(const QList<VIVExcelRange *> &writeRanges,
                                                      const QList<qreal> &pointValues,
                                                      const QList<VIVExcelRange *> &readRanges);

    VIVExcelWorkbooks *workbooksWrapper = nullptr;
};

#endif
