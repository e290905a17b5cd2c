#ifndef CALCWORKBOOKS_H
#define CALCWORKBOOKS_H

#include "excel/excelworkbooks.h"

#include <com/sun/star/frame/XModel.hpp>

#include <QList>
#include <memory>

class CalcConnection;

// The spreadsheet documents open on the office's desktop, known by their titles.
class CalcWorkbooks : public ExcelWorkbooks
{
public:
    explicit CalcWorkbooks(std::shared_ptr<CalcConnection> connection);

    static QList<css::uno::Reference<css::frame::XModel>>
    spreadsheetModels(CalcConnection &connection);

    QString describe() const override;
    std::unique_ptr<ExcelWorkbook> add() override;
    std::unique_ptr<ExcelWorkbook> item(const QString &name) override;

private:
    std::shared_ptr<CalcConnection> connection;
};

#endif
