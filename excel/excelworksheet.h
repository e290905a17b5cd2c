#ifndef EXCELWORKSHEET_H
#define EXCELWORKSHEET_H

#include "excel/excelobject.h"

#include <QObject>
#include <functional>
#include <memory>

class ExcelRange;
class ExcelWorkbook;

class ExcelWorksheet : public ExcelObject
{
public:
    // Receives the range whose cells the user changed; the receiver owns it.
    using ChangeHandler = std::function<void(std::unique_ptr<ExcelRange>)>;

    virtual QString name() = 0;
    virtual std::unique_ptr<ExcelWorkbook> parent() = 0;
    // Null when the address names no cells of this sheet.
    virtual std::unique_ptr<ExcelRange> range(const QString &address) = 0;
    // The handler runs in receiver's thread, and never after receiver is gone; an empty
    // handler disconnects.
    virtual void setChangeHandler(QObject *receiver, ChangeHandler handler) = 0;
};

#endif
