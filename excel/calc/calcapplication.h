#ifndef CALCAPPLICATION_H
#define CALCAPPLICATION_H

#include "excel/excelapplication.h"

#include <memory>

class CalcConnection;

// The office behind one connection: its desktop stands for Excel's Application.
class CalcApplication : public ExcelApplication
{
public:
    explicit CalcApplication(std::shared_ptr<CalcConnection> connection);

    QString describe() const override;
    qint64 hwnd() override;
    std::unique_ptr<ExcelWorkbook> activeWorkbook() override;
    std::unique_ptr<ExcelWindow> activeWindow() override;
    std::unique_ptr<ExcelWorkbooks> workbooks() override;
    void setVisible(bool visible) override;
    void setEnableEvents(bool enable) override;
    void setScreenUpdating(bool updating) override;
    std::optional<QList<QVariant>> evaluatePoints(const QList<ExcelRange *> &writes,
                                                  const QList<double> &pointValues,
                                                  const QList<ExcelRange *> &reads) override;

private:
    std::shared_ptr<CalcConnection> connection;
};

#endif
