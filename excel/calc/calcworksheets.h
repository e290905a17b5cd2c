#ifndef CALCWORKSHEETS_H
#define CALCWORKSHEETS_H

#include "excel/excelworksheets.h"

#include <com/sun/star/frame/XModel.hpp>

#include <memory>

class CalcConnection;

class CalcWorksheets : public ExcelWorksheets
{
public:
    CalcWorksheets(std::shared_ptr<CalcConnection> connection,
                   css::uno::Reference<css::frame::XModel> model);

    QString describe() const override;
    std::unique_ptr<ExcelWorksheet> item(const QString &name) override;

private:
    std::shared_ptr<CalcConnection> connection;
    css::uno::Reference<css::frame::XModel> model;
};

#endif
