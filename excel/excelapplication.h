#ifndef EXCELAPPLICATION_H
#define EXCELAPPLICATION_H

#include "excel/excelobject.h"

#include <QList>
#include <QVariant>
#include <memory>
#include <optional>

class ExcelRange;
class ExcelWindow;
class ExcelWorkbook;
class ExcelWorkbooks;

// The running spreadsheet application.
class ExcelApplication : public ExcelObject
{
public:
    // Tells application instances apart; 0 when the instance cannot be reached any more.
    virtual qint64 hwnd() = 0;
    virtual std::unique_ptr<ExcelWorkbook> activeWorkbook() = 0;
    virtual std::unique_ptr<ExcelWindow> activeWindow() = 0;
    virtual std::unique_ptr<ExcelWorkbooks> workbooks() = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setEnableEvents(bool enable) = 0;
    // Off: the user's documents stop repainting and the writes that follow stay out of their
    // undo history. On again: repainting resumes, and a document that was unmodified before is
    // unmodified again when every cell written in between got its old content back.
    virtual void setScreenUpdating(bool updating) = 0;
    // Evaluates scan points inside the application, where it can: for each point in order its
    // numbers (writes.size() per point) are written into writes, then every read cell is read as
    // value() reads it; one value per read cell and point, point after point. Nothing when the
    // application takes no batches or refused this one, which then changed no cell.
    virtual std::optional<QList<QVariant>> evaluatePoints(const QList<ExcelRange *> &writes,
                                                          const QList<double> &pointValues,
                                                          const QList<ExcelRange *> &reads)
    {
        Q_UNUSED(writes);
        Q_UNUSED(pointValues);
        Q_UNUSED(reads);
        return std::nullopt;
    }
};

#endif
