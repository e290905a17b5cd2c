#ifndef CALCWORKSHEET_H
#define CALCWORKSHEET_H

#include "excel/excelworksheet.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/util/XChangesListener.hpp>

#include <memory>

class CalcConnection;
struct CalcChangeReceiver;

class CalcWorksheet : public ExcelWorksheet
{
public:
    CalcWorksheet(std::shared_ptr<CalcConnection> connection,
                  css::uno::Reference<css::frame::XModel> model,
                  css::uno::Reference<css::sheet::XSpreadsheet> sheet);
    ~CalcWorksheet() override;

    QString describe() const override;
    QString name() override;
    std::unique_ptr<ExcelWorkbook> parent() override;
    std::unique_ptr<ExcelRange> range(const QString &address) override;
    void setChangeHandler(QObject *receiver, ChangeHandler handler) override;

private:
    void stopListening();

    std::shared_ptr<CalcConnection> connection;
    css::uno::Reference<css::frame::XModel> model;
    css::uno::Reference<css::sheet::XSpreadsheet> sheet;
    std::shared_ptr<CalcChangeReceiver> changeReceiver;
    css::uno::Reference<css::util::XChangesListener> changesListener;
};

#endif
